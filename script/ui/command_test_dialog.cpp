#include "script/ui/command_test_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QVariant>

#include "app/app_state.h"
#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/engine.h"
#include "script/monitor_lines.h"

namespace tolvanet::ui {

namespace {
constexpr const char* kBadCode = TrNoop("Неверный код команды");
}

TForm14::TForm14(QWidget* parent) : TaskDialog(parent, "Form14", QTr("Тест команд:")) {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout();
  auto row = [&](int r, const QString& label, QLineEdit* edit) {
    grid->addWidget(new QLabel(label, this), r, 0);
    grid->addWidget(edit, r, 1);
  };
  Edit6 = new QLineEdit(this);
  Edit6->setObjectName("Edit6");
  Edit6->setMaxLength(2);
  Edit5 = NewPasswordEdit("Edit5");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  Edit3 = new QLineEdit(this);
  Edit3->setObjectName("Edit3");
  Edit4 = new QLineEdit(this);
  Edit4->setObjectName("Edit4");
  for (QLineEdit* e : {Edit2, Edit3, Edit4})
    e->setReadOnly(true);
  row(0, QTr("Код команды:"), Edit6);
  row(1, QTr("Пароль: "), Edit5);
  row(2, QTr("Командная строка:"), Edit1);
  row(3, QTr("Результат выполнения команды:"), Edit2);
  row(4, QTr("Код ошибки:"), Edit3);
  SpeedButton2 = new QToolButton(this);
  SpeedButton2->setObjectName("SpeedButton2");
  SpeedButton2->setText("?");
  SpeedButton2->setEnabled(false);
  auto* status_row = new QHBoxLayout();
  status_row->addWidget(Edit4, 1);
  status_row->addWidget(SpeedButton2);
  grid->addWidget(new QLabel(QTr("Статус регистратора:"), this), 5, 0);
  grid->addLayout(status_row, 5, 1);
  layout->addLayout(grid);

  auto* buttons = new QHBoxLayout();
  Button1 = NewCommandButton("Button1", QTr("Выполнить"), &TForm14::Button1Click);
  Button2 = NewButton("Button2", QTr("Выход"), [this] { accept(); });
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  layout->addLayout(buttons);

  StatusBar1 = NewStatusBar(StatusPanel);
  layout->addWidget(StatusBar1);

  connect(Edit1, &QLineEdit::returnPressed, this,
          [this] { RunGuarded([this] { Button1Click(); }); });
  connect(SpeedButton2, &QToolButton::clicked, this, &TForm14::SpeedButton2Click);
  resize(480, 260);
}

void TForm14::FormActivate() {
  // The main menu's item names the dialog's status panel before opening it.
  const QVariant status = property("statusText");
  if (status.isValid())
    StatusPanel->setText(status.toString());
  SpeedButton2->setEnabled(false);
  Edit3->clear();
  Edit4->clear();
  Edit1->setFocus();
}

void TForm14::Button1Click() {
  Edit2->clear();
  Edit3->clear();
  Edit4->clear();
  const std::optional<int> code = script::ParseCommandCode(S(Edit6->text()));
  if (!code) {
    ThePlatform().ShowMessage(Tr(kBadCode));
    return;
  }
  const std::string text = RegisterText(Edit5) + ";" + RegisterText(Edit1);
  Engine& engine = TheEngine();
  const ReplyRecord& reply = engine.ExecuteCommand(*code, text);
  TheAppState().current_reply = &reply;
  if (!engine.refusal().empty()) {
    // Nothing reached the register: say why instead of showing an empty result.
    ThePlatform().ShowMessage(engine.refusal());
    return;
  }
  Edit2->setText(Q(FromCp1251(reply.answer_copy)));
  Edit3->setText(Q(FromCp1251(reply.error_code)));
  Edit4->setText(Q(StatusText(reply)));
  SpeedButton2->setEnabled(true);
}

void TForm14::SpeedButton2Click() {
  if (!Busy())
    ShowStatusWindow();
}

}  // namespace tolvanet::ui
