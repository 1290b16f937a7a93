#include "script/ui/monitor_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/dialog_pattern.h"
#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "app/ui/task_dialog.h"
#include "link/codepage.h"
#include "link/engine.h"
#include "script/monitor_lines.h"
#include "script/recent_files.h"
#include "script/ui/variables_window.h"

namespace tolvanet::ui {

namespace {

constexpr const char* kBadCode = TrNoop("Неверный код команды!");
constexpr const char* kTimeout = TrNoop("Ошибка выполнения команды. Таймаут");
constexpr const char* kChecksum = TrNoop("Неверная контрольная сумма");
constexpr const char* kNothingToRepeat = TrNoop(
    "Повторять нечего: команда ещё не отправлялась, или после последней команды связь с "
    "регистратором восстанавливалась.");
constexpr const char* kRepeatWhileBusy =
    TrNoop("Команда не повторена: предыдущая команда ещё ждёт ответа регистратора.");
constexpr const char* kOpenTitle = TrNoop("Открыть файл скрипта");
constexpr const char* kScriptFilter = TrNoop("Текстовые файлы (*.txt *.TXT);;Все (*)");

bool IsEnter(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void Say(const std::string& text) {
  ThePlatform().ShowMessage(text);
}

}  // namespace

TForm28::TForm28(QWidget* parent)
    : QDialog(parent),
      interpreter_(std::make_unique<script::Interpreter>(TheEngine(),
                                                         static_cast<script::ScriptHost&>(*this))) {
  setObjectName("Form28");
  setWindowTitle(QTr("Монитор для фискального регистратора + запуск скриптов"));

  // The command panel.
  GroupBox2 = new QGroupBox(QTr("Выполнение команды"), this);
  auto* panel = new QGridLayout(GroupBox2);
  Edit2 = new QLineEdit(kDefaultPassword, GroupBox2);
  Edit2->setObjectName("Edit2");
  Edit2->setMaxLength(6);
  Edit1 = new QLineEdit(GroupBox2);
  Edit1->setObjectName("Edit1");
  Edit1->setMaxLength(2);
  Edit3 = new QLineEdit(GroupBox2);
  Edit3->setObjectName("Edit3");
  Edit5 = new QLineEdit(GroupBox2);
  Edit5->setObjectName("Edit5");
  Edit6 = new QLineEdit(GroupBox2);
  Edit6->setObjectName("Edit6");
  SpeedButton1 = new QToolButton(GroupBox2);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton1->setText(".?.");
  Button2 = new QPushButton(QTr("Выполнить"), GroupBox2);
  Button2->setEnabled(false);
  Button9 = new QPushButton(QTr("Повторить команду"), GroupBox2);
  Button3 = new QPushButton(QTr("В список"), GroupBox2);
  ListBox1 = new QListWidget(GroupBox2);
  ListBox1->setObjectName("ListBox1");
  panel->addWidget(new QLabel(QTr("Пароль: "), GroupBox2), 0, 0);
  panel->addWidget(Edit2, 0, 1);
  panel->addWidget(new QLabel(QTr("Код команды: "), GroupBox2), 1, 0);
  panel->addWidget(Edit1, 1, 1);
  panel->addWidget(new QLabel(QTr("Данные:"), GroupBox2), 2, 0);
  panel->addWidget(Edit3, 2, 1, 1, 2);
  panel->addWidget(new QLabel(QTr("Код ошибки:"), GroupBox2), 3, 0);
  panel->addWidget(Edit5, 3, 1);
  panel->addWidget(new QLabel(QTr("Статус:"), GroupBox2), 4, 0);
  panel->addWidget(Edit6, 4, 1);
  panel->addWidget(SpeedButton1, 4, 2);
  auto* panel_buttons = new QHBoxLayout();
  panel_buttons->addWidget(Button2);
  panel_buttons->addWidget(Button9);
  panel_buttons->addWidget(Button3);
  panel->addLayout(panel_buttons, 5, 0, 1, 3);
  panel->addWidget(ListBox1, 6, 0, 1, 3);
  GroupBox2->setEnabled(false);  // until the window is activated

  Button4 = new QPushButton(QTr("Очистить сообщения"), this);
  CheckBox2 = new QCheckBox(QTr("Не выводить данные"), this);
  CheckBox2->setObjectName("CheckBox2");

  // The script runner.
  Button5 = new QPushButton(QTr("Открыть файл"), this);
  Button5->setEnabled(false);  // until the window is first activated
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setEditable(false);
  Button6 = new QPushButton(QTr("Выполнить"), this);
  Button7 = new QPushButton(QTr("Стоп"), this);
  Button8 = new QPushButton(QTr("Продолжить"), this);
  Button11 = new QPushButton(QTr("Шаг"), this);
  Edit4 = new QLineEdit("0", this);
  Edit4->setObjectName("Edit4");
  Button10 = new QPushButton(QTr("Переменные"), this);
  CheckBox1 = new QCheckBox(QTr("Не перерисовывать форму"), this);
  CheckBox1->setObjectName("CheckBox1");
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Button1 = new QPushButton(QTr("Выход"), this);

  auto* script = new QGridLayout();
  script->addWidget(new QLabel(QTr("Имя  файла:"), this), 0, 0);
  script->addWidget(ComboBox1, 0, 1, 1, 3);
  script->addWidget(Button5, 1, 0);
  script->addWidget(Button6, 1, 1);
  script->addWidget(Button7, 1, 2);
  script->addWidget(Button8, 2, 1);
  script->addWidget(Button11, 2, 2);
  script->addWidget(new QLabel(QTr("Ном. стр. скрипта:"), this), 3, 0);
  script->addWidget(Edit4, 3, 1);
  script->addWidget(Button10, 3, 2);
  script->addWidget(CheckBox1, 4, 0, 1, 3);
  script->setRowStretch(5, 1);

  auto* left = new QVBoxLayout();
  left->addWidget(GroupBox2);
  left->addWidget(Button4);
  left->addWidget(CheckBox2);
  auto* top = new QHBoxLayout();
  top->addLayout(left, 1);
  top->addLayout(script, 1);
  auto* bottom = new QHBoxLayout();
  bottom->addStretch();
  bottom->addWidget(Button1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(Memo1, 1);
  layout->addLayout(bottom);

  // Enter belongs to the fields, never to a default button.
  for (QPushButton* b : findChildren<QPushButton*>())
    b->setAutoDefault(false);
  Edit1->installEventFilter(this);
  Edit3->installEventFilter(this);

  connect(Edit1, &QLineEdit::textChanged, this, &TForm28::Edit1Change);
  connect(Edit2, &QLineEdit::textChanged, this, &TForm28::Edit2Change);
  connect(Button2, &QPushButton::clicked, this, &TForm28::Button2Click);
  connect(Button9, &QPushButton::clicked, this, &TForm28::Button9Click);
  connect(Button3, &QPushButton::clicked, this, &TForm28::Button3Click);
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TForm28::ListBox1DblClick);
  connect(Button4, &QPushButton::clicked, this, &TForm28::Button4Click);
  connect(SpeedButton1, &QToolButton::clicked, this, &TForm28::SpeedButton1Click);
  connect(Button5, &QPushButton::clicked, this, &TForm28::Button5Click);
  connect(ComboBox1, &QComboBox::activated, this, &TForm28::ComboBox1Change);
  connect(Button6, &QPushButton::clicked, this, &TForm28::Button6Click);
  connect(Button7, &QPushButton::clicked, this, &TForm28::Button7Click);
  connect(Button8, &QPushButton::clicked, this, &TForm28::Button8Click);
  connect(Button11, &QPushButton::clicked, this, &TForm28::Button11Click);
  connect(Button10, &QPushButton::clicked, this, &TForm28::Button10Click);
  connect(Button1, &QPushButton::clicked, this, &TForm28::Button1Click);
  resize(820, 560);
}

TForm28::~TForm28() = default;

// ---------------------------------------------------------------------------------------------
// Activation and closing.

void TForm28::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  FormActivate();
}

void TForm28::hideEvent(QHideEvent* e) {
  if (variables_ != nullptr)
    variables_->hide();
  QDialog::hideEvent(e);
}

void TForm28::FormActivate() {
  GroupBox2->setEnabled(true);
  Button3->setEnabled(true);
  Button5->setEnabled(!interpreter_->running());
  UpdateSendButton();
  Edit1->setFocus();

  const script::RecentList list = script::ShownRecentFiles(TheAppState().config_path);
  int selected = -1;
  for (std::size_t i = 0; i < list.shown.size(); ++i) {
    if (list.shown[i] == interpreter_->file())
      selected = static_cast<int>(i);
  }
  FillRecentFiles(list.shown, selected);
}

void TForm28::reject() {
  if (interpreter_->running())
    interpreter_->RequestStop();
  QDialog::reject();
}

void TForm28::Button1Click() {
  close();
}

// ---------------------------------------------------------------------------------------------
// The command panel.

void TForm28::UpdateSendButton() {
  Button2->setEnabled(!interpreter_->running() && Edit1->text().size() == 2 &&
                      Edit2->text().size() == 6 && code_.has_value());
}

void TForm28::Edit1Change() {
  if (Edit1->text().size() == 2) {
    code_ = script::ParseCommandCode(S(Edit1->text()));
    // A command line of a script reports its own bad code.
    if (!code_ && !filling_fields_)
      Say(Tr(kBadCode));
  } else {
    code_.reset();
  }
  UpdateSendButton();
}

void TForm28::Edit2Change() {
  UpdateSendButton();
}

bool TForm28::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == Edit1 || watched == Edit3)) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (IsEnter(key)) {
      if (watched == Edit1) {
        Edit1KeyDown(key);
      } else {
        Edit3KeyDown(key);
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm28::Edit1KeyDown(int key) {
  if (IsEnter(key))
    Edit3->setFocus();
}

void TForm28::Edit3KeyDown(int key) {
  if (!IsEnter(key) || interpreter_->running())
    return;
  // Enter sends what the fields hold now; a code field that is not two hexadecimal digits
  // sends nothing.
  const std::optional<int> code = script::ParseCommandCode(S(Edit1->text()));
  if (!code) {
    Say(Tr(kBadCode));
    Edit1->setFocus();
    return;
  }
  SendCommand(*code, true);
}

void TForm28::Button2Click() {
  if (!code_ || interpreter_->running())
    return;
  SendCommand(*code_, false);
}

bool TForm28::AcceptReply(const ReplyRecord& reply) {
  TheAppState().current_reply = &reply;
  if (reply.NoAnswer()) {
    Say(ReplyFailureMessage(reply, "", Tr(kTimeout)));
    return false;
  }
  if (reply.checksum_error != 0) {
    Say(Tr(kChecksum));
    return false;
  }
  return true;
}

void TForm28::SendCommand(int code, bool whole_lines) {
  const std::string text = RegisterText(Edit2) + ";" + RegisterText(Edit3);
  const ReplyRecord& reply = ExecuteCommand(code, text);
  if (!AcceptReply(reply))
    return;
  if (!CheckBox2->isChecked()) {
    const script::ExchangeLines lines =
        whole_lines ? script::WholeExchangeLines(reply)
                    : script::ShortExchangeLines(reply, RegisterText(Edit1));
    AddMessageLine(lines.sent);
    AddMessageLine(lines.answer);
  }
  ReplyFields(reply.error_code, StatusText(reply));
}

void TForm28::Button9Click() {
  if (interpreter_->running())
    return;
  Engine& engine = TheEngine();
  if (engine.busy()) {
    Say(Tr(kRepeatWhileBusy));
    return;
  }
  const ReplyRecord* reply = engine.ResendLastCommand(false);
  if (reply == nullptr) {
    Say(Tr(kNothingToRepeat));
    return;
  }
  if (!AcceptReply(*reply))
    return;
  if (!CheckBox2->isChecked()) {
    const script::ExchangeLines lines = script::WholeExchangeLines(*reply);
    AddMessageLine(lines.sent);
    AddMessageLine(lines.answer);
  }
  ReplyFields(reply->error_code, StatusText(*reply));
}

void TForm28::Button3Click() {
  ListBox1->addItem(Q(script::KeptCommand(S(Edit1->text()), S(Edit3->text()))));
}

void TForm28::ListBox1DblClick() {
  const QListWidgetItem* item = ListBox1->currentItem();
  if (item == nullptr)
    return;
  const script::KeptFields kept = script::ParseKeptCommand(S(item->text()));
  Edit1->setText(Q(kept.code));
  Edit3->setText(Q(kept.data));
}

void TForm28::Button4Click() {
  Memo1->clear();
  repaint();
}

void TForm28::SpeedButton1Click() {
  if (TheAppState().status_available)
    ShowStatusWindow();
}

// ---------------------------------------------------------------------------------------------
// The script runner.

void TForm28::ChooseFile(const std::string& path) {
  interpreter_->SetFile(path);
  Edit4->setText("0");
  if (variables_ != nullptr)
    variables_->Clear();
}

void TForm28::FillRecentFiles(const std::vector<std::string>& shown, int selected) {
  const QSignalBlocker block(ComboBox1);
  ComboBox1->clear();
  for (const std::string& name : shown)
    ComboBox1->addItem(Q(name));
  ComboBox1->setCurrentIndex(selected);
  // A chosen file that is no longer remembered is still the one a run reads.
  ComboBox1->setPlaceholderText(selected < 0 ? Q(interpreter_->file()) : QString());
}

void TForm28::Button5Click() {
  if (interpreter_->running())
    return;
  const std::optional<std::string> path =
      ThePlatform().OpenFileName(Tr(kOpenTitle), Tr(kScriptFilter));
  if (!path)
    return;
  ChooseFile(*path);
  const script::RecentList list = script::RememberRecentFile(TheAppState().config_path, *path);
  FillRecentFiles(list.shown, list.selected);
}

void TForm28::ComboBox1Change() {
  if (interpreter_->running() || ComboBox1->currentIndex() < 0)
    return;
  ChooseFile(S(ComboBox1->currentText()));
}

bool TForm28::TakeLineCount() {
  bool ok = false;
  const int count = Edit4->text().trimmed().toInt(&ok);
  if (!ok || count < 0) {
    Say(TrArgs(Tr("Неверный номер строки скрипта: \"%1\"."), {S(Edit4->text())}));
    return false;
  }
  interpreter_->set_line_count(count);
  return true;
}

void TForm28::SetRunning(bool running) {
  for (QWidget* w :
       std::initializer_list<QWidget*>{Button5, ComboBox1, Button6, Button8, Button11, Button9})
    w->setEnabled(!running);
  UpdateSendButton();
}

void TForm28::RunMode(script::RunOutcome (script::Interpreter::*mode)()) {
  script::Interpreter& runner = *interpreter_;
  if (runner.running()) {
    (runner.*mode)();  // refused, with the runner's own message
    return;
  }
  if (mode != &script::Interpreter::Run && !TakeLineCount())
    return;
  SetRunning(true);
  (runner.*mode)();
  SetRunning(false);
}

void TForm28::Button6Click() {
  RunMode(&script::Interpreter::Run);
}

void TForm28::Button7Click() {
  interpreter_->RequestStop();
}

void TForm28::Button8Click() {
  RunMode(&script::Interpreter::Continue);
}

void TForm28::Button11Click() {
  RunMode(&script::Interpreter::Step);
}

void TForm28::Button10Click() {
  if (variables_ != nullptr)
    variables_->ShowBeside(this);
}

// ---------------------------------------------------------------------------------------------
// What the runner shows.

void TForm28::AddMessageLine(const std::string& line) {
  Memo1->appendPlainText(Q(FromCp1251(line)));
}

void TForm28::ShowMessage(const std::string& text) {
  Say(text);
}

void TForm28::VariableAdded(int number, const std::string& name) {
  if (variables_ != nullptr)
    variables_->VariableAdded(number, Q(FromCp1251(name)));
}

void TForm28::VariableChanged(int number, const std::string&, const std::string& value) {
  if (variables_ != nullptr)
    variables_->VariableChanged(number, Q(FromCp1251(value)));
}

void TForm28::LineCountChanged(int count) {
  Edit4->setText(QString::number(count));
  Edit4->repaint();
}

void TForm28::ProcessPendingMessages() {
  ThePlatform().ProcessEvents();
}

void TForm28::Pause(int milliseconds) {
  ThePlatform().Pause(milliseconds);
}

void TForm28::Repaint() {
  if (!CheckBox1->isChecked())
    repaint();
}

bool TForm28::QuietOutput() {
  return CheckBox2->isChecked();
}

void TForm28::CommandFields(const std::string& code, const std::string& password,
                            const std::string& data) {
  filling_fields_ = true;
  Edit1->setText(Q(FromCp1251(code)));
  Edit2->setText(Q(FromCp1251(password)));
  Edit3->setText(Q(FromCp1251(data)));
  filling_fields_ = false;
}

void TForm28::ReplyFields(const std::string& error_code, const std::string& status) {
  Edit5->setText(Q(FromCp1251(error_code)));
  Edit6->setText(Q(status));
}

void TForm28::ReplyReceived(const ReplyRecord& reply) {
  TheAppState().current_reply = &reply;
}

}  // namespace tolvanet::ui
