// TForm15: set the register's clock (then restart it) and its serial number.
#include "settings/ui/serial_number_dialog.h"

#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/commands.h"
#include "link/translate.h"
#include "settings/fiscal_params.h"
#include "settings/ui/field_input.h"

namespace tolvanet::ui {

TForm15::TForm15(QWidget* parent)
    : TaskDialog(parent, "Form15", QTr("Установить заводской номер")) {
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  Edit3 = NewPasswordEdit("Edit3");
  Edit4 = new QLineEdit(this);
  Edit4->setObjectName("Edit4");
  Edit4->setMaxLength(static_cast<int>(kSerialMax));
  Label6 = new QLabel(QTr("Подождите пока ККМ перезагрузиться, затем продолжайте"), this);
  Label6->setObjectName("Label6");
  Label6->hide();
  Button3 = NewCommandButton("Button3", QTr("Установить дату и время"), &TForm15::Button3Click);
  Button2 = NewCommandButton("Button2", QTr("Установить"), &TForm15::Button2Click);
  Button1 = NewButton("Button1", QTr("Закрыть"), [this] { accept(); });
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->showMessage(QTr("Установка текущего времени и заводского номера"));

  auto* form = new QFormLayout;
  form->addRow(QTr("Дата (DDMMYY): "), Edit1);
  form->addRow(QTr("Время (HHMM):"), Edit2);
  form->addRow(Button3);
  form->addRow(QTr("Заводской номер:"), Edit4);
  form->addRow(Button2);
  form->addRow(QTr("Пароль:"), Edit3);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(Label6);
  layout->addWidget(Button1);
  layout->addWidget(StatusBar1);
}

void TForm15::FormActivate() {
  const QDateTime now = QDateTime::currentDateTime();
  Edit1->setText(now.toString("ddMMyy"));
  Edit2->setText(now.toString("HHmm"));
}

void TForm15::Button3Click() {
  const auto pwd = FieldText(Edit3, Tr("Пароль"));
  const auto date = pwd ? FieldText(Edit1, Tr("Дата")) : std::nullopt;
  const auto time = date ? FieldText(Edit2, Tr("Время")) : std::nullopt;
  if (!time)
    return;
  int rc = 0;
  const ReplyRecord& reply = SetDateTime(*pwd, *date, *time, rc);
  if (!End(cmd::kSetDateTime, rc, reply, ReplyCheck::Fixed(Tr("Ошибка установки времени!"))))
    return;
  // The register restarts to take the new time; its answer is not examined.
  const ReplyRecord& restart = RestartDevice(*pwd, rc);
  End(cmd::kRestartDevice, rc, restart, ReplyCheck::Silent());
  Label6->show();
}

void TForm15::Button2Click() {
  Label6->hide();
  if (static_cast<std::size_t>(Edit4->text().size()) < kSerialMin) {
    ThePlatform().ShowMessage(
        Tr("Неверное количество символов в номере! \n Заводской номер не установлен!"));
    return;
  }
  const auto pwd = FieldText(Edit3, Tr("Пароль"));
  const auto serial = pwd ? FieldText(Edit4, Tr("Заводской номер")) : std::nullopt;
  if (!serial)
    return;
  int rc = 0;
  const ReplyRecord& reply = SetSerialNumber(*pwd, *serial, rc);
  if (!End(cmd::kSetSerialNumber, rc, reply,
           ReplyCheck::Fixed(Tr("Заводской номер не установлен!"))))
    return;
  ThePlatform().ShowMessage(Tr("Успешно. Заводской номер установлен!"));
}

}  // namespace tolvanet::ui
