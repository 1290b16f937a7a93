#include "app/ui/main_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <filesystem>

#include "app/app_state.h"
#include "app/config.h"
#include "app/dialog_pattern.h"
#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "app/ui/task_dialog.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/engine.h"

namespace tolvanet::ui {

namespace {

constexpr char kPassword[] = "406172";
const QString kNotYet = QStringLiteral("Это окно ещё не готово в этой версии программы");

void Pause(int ms) {
  ThePlatform().PauseWithoutInput(ms);  // connecting and closing take no clicks
}
void Say(const std::string& text) {
  ThePlatform().ShowMessage(text);
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setObjectName("Form1");
  setWindowTitle("Tolvanet ver. 1.73 20.05.2015");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);

  GroupBox1 = new QGroupBox("Подключение к последовательному порту", central);
  auto* grid = new QGridLayout(GroupBox1);
  Label1 = new QLabel("IP адрес:", GroupBox1);
  Edit1 = new QLineEdit(GroupBox1);
  Edit1->setObjectName("Edit1");
  Label2 = new QLabel("ID_DEV:", GroupBox1);
  Edit2 = new QLineEdit(GroupBox1);
  Edit2->setObjectName("Edit2");
  Label3 = new QLabel("Подключение регистратора:", GroupBox1);
  Shape1 = new Indicator(true, GroupBox1);
  Label4 = new QLabel("Состояние сокета:", GroupBox1);
  Shape2 = new Indicator(false, GroupBox1);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(Edit1, 0, 1);
  grid->addWidget(Label2, 1, 0);
  grid->addWidget(Edit2, 1, 1);
  grid->addWidget(Label3, 2, 0);
  grid->addWidget(Shape1, 2, 1, Qt::AlignLeft);
  grid->addWidget(Label4, 3, 0);
  grid->addWidget(Shape2, 3, 1, Qt::AlignLeft);
  outer->addWidget(GroupBox1);

  auto* buttons = new QGridLayout();
  Button3 = new QPushButton("Подключить", central);
  Button4 = new QPushButton("Прервать соединение", central);
  Button2 = new QPushButton("Состояние регистратора", central);
  Button1 = new QPushButton("Закрыть", central);
  Button4->setEnabled(false);
  Button2->setEnabled(false);
  buttons->addWidget(Button3, 0, 0);
  buttons->addWidget(Button4, 0, 1);
  buttons->addWidget(Button2, 1, 0);
  buttons->addWidget(Button1, 1, 1);
  outer->addLayout(buttons);

  GroupBox2 = new QGroupBox("Разрыв соединения", central);
  auto* g2 = new QVBoxLayout(GroupBox2);
  BitBtn1 = new QPushButton("Прервать соединение", GroupBox2);
  CheckBox1 = new QCheckBox("С отключением регистратора от сервера", GroupBox2);
  g2->addWidget(BitBtn1);
  g2->addWidget(CheckBox1);
  GroupBox2->hide();
  outer->addWidget(GroupBox2);
  outer->addStretch();
  setCentralWidget(central);

  StatusBar1 = new QLabel(this);
  StatusBar1->setObjectName("StatusBar1");
  statusBar()->addWidget(StatusBar1, 1);

  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);

  BuildMenus();
  EnableMenus(false);

  RelayLink& link = TheLink();
  link.SetIdleHook([] { ThePlatform().ProcessEvents(); });
  link.SetEventHandler([this](SocketEvent e, const std::string&) { ClientSocketEvent(e); });
  TheAppState().status_line = [this](const std::string& line) { SetStatusLine(Q(line)); };
  resize(660, 320);
}

TForm1::~TForm1() {
  TheLink().SetEventHandler({});
  TheAppState().status_line = nullptr;
}

QAction* TForm1::AddItem(QMenu* menu, const char* name, const QString& caption,
                         void (TForm1::*slot)()) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(name);
  a->setEnabled(false);
  a->setToolTip(kNotYet);
  connect(a, &QAction::triggered, this, slot);
  return a;
}

void TForm1::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");
  auto menu = [bar](const char* name, const QString& caption) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(name);
    m->setToolTipsVisible(true);
    return m;
  };
  N6 = menu("N6", "Продажа");
  N7 = AddItem(N6, "N7", "Программировать товары", &TForm1::N7Click);
  N8 = AddItem(N6, "N8", "Фискальный чек", &TForm1::N8Click);
  N9 = AddItem(N6, "N9", "Печать нефискального чека", &TForm1::N9Click);
  N10 = AddItem(N6, "N10", "Служебное внесение и изъятие денег", &TForm1::N10Click);
  N16 = AddItem(N6, "N16", "Аннулирование и закрытие чека", &TForm1::N16Click);

  N4 = menu("N4", "Команды");
  N31 = AddItem(N4, "N31", "Тест команд", &TForm1::N31Click);
  N24 = AddItem(N4, "N24", "Запуск скрипта", &TForm1::N24Click);

  N2 = menu("N2", "Отчеты");
  N11 = AddItem(N2, "N11", "Информация о свободных ресурсах и статусе", &TForm1::N11Click);
  VRN3031 = AddItem(N2, "VRN3031", "Печать дневных отчетов VRN303", &TForm1::VRN3031Click);
  N12 = AddItem(N2, "N12", "Печать дневных отчетов", &TForm1::N12Click);
  N13 = AddItem(N2, "N13", "Печать периодического отчета ", &TForm1::N13Click);
  N14 = AddItem(N2, "N14", "Отчет по реализованным товарам", &TForm1::N14Click);
  N22 = AddItem(N2, "N22", "Печать дополнительных дневных отчетов", &TForm1::N22Click);
  N15 = AddItem(N2, "N15", "Копия фискальных чеков по сквозным номерам", &TForm1::N15Click);

  N17 = menu("N17", "Утилиты");
  N25 = AddItem(N17, "N25", "Заголовок чека и рекламный текст", &TForm1::N25Click);
  N26 = AddItem(N17, "N26", "Параметры операторов", &TForm1::N26Click);
  N36 = AddItem(N17, "N36", "Параметры оплаты", &TForm1::N36Click);
  N27 = AddItem(N17, "N27", "Пароли", &TForm1::N27Click);
  N18 = AddItem(N17, "N18", "Загрузка логотипа", &TForm1::N18Click);
  N40 = AddItem(N17, "N40", "Чтение внутреннего ПО", &TForm1::N40Click);
  N20 = AddItem(N17, "N20", "Фискальная память", &TForm1::N20Click);
  N21 = AddItem(N17, "N21", "Дата и время", &TForm1::N21Click);
  N1 = AddItem(N17, "N1", "Техническое обслуживание", &TForm1::N1Click);
  N3 = AddItem(N17, "N3", "Служебные счетчики", &TForm1::N3Click);

  N28 = menu("N28", "Фискальные параметры");
  N29 = AddItem(N28, "N29", "Установить заводской номер", &TForm1::N29Click);
  N30 = AddItem(N28, "N30", "Чтение и программирование", &TForm1::N30Click);
  N19 = AddItem(N28, "N19", "Параметры регистратора", &TForm1::N19Click);
  N42 = AddItem(N28, "N42", "Параметры связи", &TForm1::N42Click);
  N23 = AddItem(N28, "N23", "Позиция десятичной точки", &TForm1::N23Click);
  N32 = AddItem(N28, "N32", "Фискализация", &TForm1::N32Click);
  IDDEV1 = AddItem(N28, "IDDEV1", "Установить и прочитать ID_DEV", &TForm1::IDDEV1Click);
  N43 = AddItem(N28, "N43", "Состояние модема", &TForm1::N43Click);
  N44 = AddItem(N28, "N44", "Последний сеанс связи с эквайером", &TForm1::N44Click);

  N5 = bar->addAction("О программе...");
  N5->setObjectName("N5");
  connect(N5, &QAction::triggered, this, &TForm1::N5Click);

  // The fiscal-parameter item picks its window by the configuration at every use.
  N30->setToolTip(QString());
  N30->setProperty("available", true);
}

void TForm1::SetDialog(QAction* item, QDialog* dialog) {
  dialogs_[item] = dialog;
  item->setProperty("available", true);
  item->setToolTip(QString());
  if (item->parent() != nullptr && item != N5) {
    auto* menu = qobject_cast<QMenu*>(item->parent());
    item->setEnabled(menu == nullptr || menu->isEnabled());
  }
}

void TForm1::EnableMenus(bool on) {
  for (QMenu* m : {N6, N2, N4, N17, N28}) {
    m->setEnabled(on);
    m->menuAction()->setEnabled(on);
    for (QAction* a : m->actions())
      a->setEnabled(on && a->property("available").toBool());
  }
  // "Запуск скрипта" follows the menus too (it is switched with them).
  N24->setEnabled(on && N24->property("available").toBool());
}

void TForm1::ShowModal(QDialog* dialog) {
  if (dialog == nullptr)
    return;
  dialog->exec();
  FormActivate();  // the main window is active again
}

void TForm1::OpenFor(QAction* item) {
  auto it = dialogs_.find(item);
  if (it != dialogs_.end())
    ShowModal(it->second);
}

void TForm1::SetStatusLine(const QString& text) {
  StatusBar1->setText(text);
}

bool TForm1::Connected() const {
  return Shape1->color() != colours::kRed;
}

void TForm1::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!activated_once_) {
    activated_once_ = true;
    QMetaObject::invokeMethod(this, &TForm1::FormActivate, Qt::QueuedConnection);
  }
}

void TForm1::FormActivate() {
  for (const auto& step : activation_steps_)
    step();
  Button1->setEnabled(false);
  Button3->setEnabled(false);
  Pause(1000);

  AppState& state = TheAppState();
  if (state.config_path.empty())
    state.config_path = CurrentConfigPath();
  if (!std::filesystem::exists(state.config_path)) {
    Say("Файл fpinit.ini отсутствует.\n Создание файла!");
    CreateDefaultConfig(state.config_path);
  }
  const StartupSettings s = LoadStartupSettings(state.config_path);
  Edit1->setText(Q(s.address));
  if (s.use_id_def == 1)
    Edit2->setText(Q(s.IdDevField()));

  Button1->setEnabled(true);
  Button3->setEnabled(true);
  N5->setEnabled(true);
}

void TForm1::PaintBoth(const QColor& c) {
  Shape1->setColor(c);
  Shape2->setColor(c);
}

void TForm1::ClientSocketEvent(SocketEvent e) {
  switch (e) {
    case SocketEvent::kLookup:
      Shape2->setColor(colours::kYellow);
      break;
    case SocketEvent::kConnecting:
      Shape2->setColor(colours::kGreen);
      break;
    case SocketEvent::kConnected:
      Shape2->setColor(colours::kLime);
      break;
    case SocketEvent::kDisconnected:
    case SocketEvent::kError:
      return;  // the link has closed the socket already; errors raise nothing
  }
  Pause(300);
  repaint();
}

void TForm1::Button3Click() {
  if (Connected()) {
    Disconnect();
    return;
  }
  Button3->setEnabled(false);
  abort_ = false;
  TheAppState().status_available = false;
  Button4->setEnabled(true);
  ConnectAttempt();
  // However the attempt ended, it can be started again and no longer aborted.
  Button4->setEnabled(false);
  Button3->setEnabled(true);
}

void TForm1::ConnectAttempt() {
  AppState& state = TheAppState();
  RelayLink& link = TheLink();
  while (true) {
    const ConnectionSettings cs = LoadConnectionSettings(state.config_path);
    state.access_level = cs.level;
    state.el_journal = cs.el_journal;
    if (cs.log != 0) {
      TheEngine().log().SetLogDirectory(SessionLogDirectory(state.config_path));
      SetLogFileName(cs.LogFileName());
    }
    EnableMenus(true);
    Button2->setEnabled(true);

    link.SetHost(S(Edit1->text()));
    link.SetIdDev(RegisterText(Edit2));
    if (!link.OpenLink()) {
      Say("Невозможно подключиться к IP адресу");
      return;
    }

    const Registration reg = link.RegisterDevice([this] { return abort_; });
    if (reg.aborted) {
      CloseConnection(true);
      Say("Соединение разорвано по требованию оператора!");
      abort_ = false;
      return;
    }
    if (!IsReadyAnswer(reg.answer)) {
      Say("РРО с данным ID_DEV не подключен!");
      // The relay will not carry this register: let go of it and let the operator try again.
      CloseConnection(false);
      return;
    }
    if (SocketDropped())
      continue;

    int rc = 0;
    const ReplyRecord& reply = GetDiagnosticInfo(kPassword, rc);
    state.current_reply = &reply;
    const std::string failure = ReplyFailureMessage(
        reply, kStatusHeading, std::string(kStatusHeading) + std::string(kTimeoutMessage));
    if (!failure.empty()) {
      PaintBoth(colours::kRed);
      Button3->setText("Подключить");
      Say(failure);
      return;
    }
    if (SocketDropped())
      continue;

    QString line = Q(ModelLine(reply));
    if (reply.status_bytes[0] & 0x01)
      line += " Сервис.реж.";
    SetStatusLine(line);
    state.payment_type_count = PaymentTypeCount(reply);

    Pause(20);
    PaintBoth(colours::kYellow);
    PaintBoth(colours::kLime);
    Button3->setText("Отключить");
    return;
  }
}

bool TForm1::SocketDropped() {
  Pause(20);
  PaintBoth(colours::kYellow);
  Pause(20);
  if (TheLink().IsActive() || reconnects_ >= 3)
    return false;
  PaintBoth(colours::kRed);
  ++reconnects_;
  return true;
}

void TForm1::CloseConnection(bool one_by_one) {
  TheLink().CloseLink();
  if (!one_by_one) {
    PaintBoth(colours::kRed);
    return;
  }
  Pause(100);
  Shape1->setColor(colours::kRed);
  Pause(100);
  Shape2->setColor(colours::kRed);
  Pause(500);
}

void TForm1::Disconnect() {
  CloseConnection(false);
  EnableMenus(false);
  Button3->setText("Подключить");
  Button2->setEnabled(false);
  SetStatusLine(QString());
  Button3->setEnabled(true);
}

void TForm1::Button4Click() {
  abort_ = true;
}

void TForm1::Button2Click() {
  // An error code is shown and the status window still opens with its status bytes; without a
  // whole answer there is nothing to show.
  const CommandEnd end = RunStatusCheck(true);
  if (!end.ok() && end.outcome != CommandOutcome::kDeviceError)
    return;
  ShowStatusWindow();
  FormActivate();  // the main window is active again
  TheAppState().status_available = true;
}

void TForm1::Button1Click() {
  SaveConnectionSettings(TheAppState().config_path, S(Edit1->text()), S(Edit2->text()));
  CloseConnection(true);
  close();
}

void TForm1::closeEvent(QCloseEvent* e) {
  FormClose();
  e->accept();
}

void TForm1::FormClose() {
  RelayLink& link = TheLink();
  if (!link.IsActive())
    return;
  int rc = 0;
  DisplayText(kPassword, ToCp1251("Локальний доступ!"), 2, 0, rc);
  ExecuteCommand(cmd::kSetServiceCounter, "406172;20;0;");
  Pause(1000);
  link.CloseLink();
}

void TForm1::N7Click() {
  OpenFor(N7);
}
void TForm1::N8Click() {
  OpenFor(N8);
}
void TForm1::N9Click() {
  OpenFor(N9);
}
void TForm1::N10Click() {
  OpenFor(N10);
}
void TForm1::N16Click() {
  OpenFor(N16);
}
void TForm1::N31Click() {
  auto it = dialogs_.find(N31);
  if (it == dialogs_.end())
    return;
  it->second->setWindowTitle("Тест команд");
  it->second->setProperty("statusText", "   Тест команд:  ");
  ShowModal(it->second);
}
void TForm1::N24Click() {
  OpenFor(N24);
}
void TForm1::N11Click() {
  OpenFor(N11);
}
void TForm1::VRN3031Click() {
  OpenFor(VRN3031);
}
void TForm1::N12Click() {
  OpenFor(N12);
}
void TForm1::N13Click() {
  OpenFor(N13);
}
void TForm1::N14Click() {
  OpenFor(N14);
}
void TForm1::N22Click() {
  OpenFor(N22);
}
void TForm1::N15Click() {
  OpenFor(N15);
}
void TForm1::N25Click() {
  OpenFor(N25);
}
void TForm1::N26Click() {
  OpenFor(N26);
}
void TForm1::N36Click() {
  OpenFor(N36);
}
void TForm1::N27Click() {
  OpenFor(N27);
}
void TForm1::N18Click() {
  OpenFor(N18);
}
void TForm1::N40Click() {
  OpenFor(N40);
}
void TForm1::N20Click() {
  OpenFor(N20);
}
void TForm1::N21Click() {
  OpenFor(N21);
}
void TForm1::N1Click() {
  OpenFor(N1);
}
void TForm1::N3Click() {
  OpenFor(N3);
}
void TForm1::N29Click() {
  OpenFor(N29);
}

void TForm1::N30Click() {
  switch (ChooseFiscalParameterDialog(TheAppState().config_path)) {
    case FiscalParameterDialog::kIniError:
      Say("Ошибка в ini-файле. Параметр ExtendedTax!");
      return;
    case FiscalParameterDialog::kStandard:
      if (standard_fiscal_ != nullptr) {
        ShowModal(standard_fiscal_);
      } else {
        Say("Чтение и программирование: стандартное окно фискальных параметров (TForm18) "
            "ещё не готово в этой версии программы.");
      }
      return;
    case FiscalParameterDialog::kExtended:
      if (extended_fiscal_ != nullptr) {
        ShowModal(extended_fiscal_);
      } else {
        Say("Чтение и программирование: расширенное окно фискальных параметров (TForm37) "
            "ещё не готово в этой версии программы.");
      }
      return;
  }
}

void TForm1::N19Click() {
  OpenFor(N19);
}
void TForm1::N42Click() {
  OpenFor(N42);
}
void TForm1::N23Click() {
  OpenFor(N23);
}
void TForm1::N32Click() {
  OpenFor(N32);
}
void TForm1::IDDEV1Click() {
  OpenFor(IDDEV1);
}
void TForm1::N43Click() {
  OpenFor(N43);
}
void TForm1::N44Click() {
  OpenFor(N44);
}
void TForm1::N5Click() {
  OpenFor(N5);
}

}  // namespace tolvanet::ui
