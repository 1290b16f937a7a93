// TForm53: the date and time of the register's last successful session with the acquirer.
#include "settings/ui/acquirer_session_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/translate.h"
#include "settings/modem.h"
#include "settings/ui/field_input.h"

namespace tolvanet::ui {

TForm53::TForm53(QWidget* parent)
    : TaskDialog(parent, "Form53", QTr("Последний успешный сеанс связи с эквайером")) {
  Edit3 = NewPasswordEdit("Edit3");
  Edit7 = NewErrorCodeBox("Edit7");
  Edit7->setText("0000");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setReadOnly(true);
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  Edit2->setReadOnly(true);
  Button2 = NewCommandButton("Button2", QTr("Выполнить"), &TForm53::Button2Click);
  Button1 = NewButton("Button1", QTr("Закрыть"), [this] { accept(); });

  auto* form = new QFormLayout;
  form->addRow(QTr("Дата:"), Edit1);
  form->addRow(QTr("Время:"), Edit2);
  form->addRow(QTr("Пароль:"), Edit3);
  form->addRow(QTr("Код ошибки:"), Edit7);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button2);
  buttons->addWidget(Button1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

void TForm53::Button2Click() {
  Edit1->clear();
  Edit2->clear();
  const auto pwd = FieldText(Edit3, Tr("Пароль"));
  if (!pwd)
    return;
  const ReplyRecord& reply = GetLastAcquirerSession(*pwd);
  // The fields are shown even with an error code; the message comes after them.
  const ReplyCheck check = ReplyCheck::Silent().Timeout(std::string(kTimeoutMessage));
  if (!End(cmd::kGetLastAcquirerSession, 0, reply, check) &&
      JudgeCommand(cmd::kGetLastAcquirerSession, 0, reply, check).outcome !=
          CommandOutcome::kDeviceError) {
    return;
  }
  Edit1->setText(Q(FromCp1251(reply.Field(0))));
  Edit2->setText(Q(FromCp1251(reply.Field(1))));
  if (reply.error_code != "0000")
    ThePlatform().ShowMessage(TrText(kModemErrorMessage));
}

}  // namespace tolvanet::ui
