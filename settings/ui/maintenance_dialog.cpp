#include "settings/ui/maintenance_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/free_text.h"
#include "link/translate.h"
#include "settings/register_settings.h"

namespace tolvanet::ui {

namespace {
constexpr char kPassword[] = "406172";  // the maintenance commands always go with it
}

TForm38::TForm38(QWidget* parent)
    : ReadWriteForm(parent, "Form38", QTr("Техническое обслуживание")) {
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Edit2 = new QLineEdit(kDefaultPassword, this);
  Edit3 = new QLineEdit(kDefaultPassword, this);
  Edit4 = new QLineEdit(kDefaultPassword, this);
  DateTimePicker1 = new QDateEdit(this);
  DateTimePicker1->setObjectName("DateTimePicker1");
  DateTimePicker1->setCalendarPopup(true);
  Edit5 = new QLineEdit("0", this);
  CheckBox1 =
      new QCheckBox(QTr("напоминание сделается один раз после включения регистратора"), this);
  CheckBox2 = new QCheckBox(QTr("вывести сообщение на дисплей "), this);
  CheckBox3 = new QCheckBox(QTr("вывести сообщение на принтер"), this);
  CheckBox4 = new QCheckBox(QTr("дождаться нажатия клавиши регистратора"), this);
  CheckBox5 = new QCheckBox(QTr("звуковой сигнал"), this);

  old_password_ = Bind<TextField>(Edit2, Tr("Старый пароль"), 6);
  new_password_ = Bind<TextField>(Edit3, Tr("Новый пароль"), 6);
  repeat_password_ = Bind<TextField>(Edit4, Tr("Повторить новый пароль"), 6);
  date_ = Bind<DateField>(DateTimePicker1, Tr("Дата события"));
  days_ = Bind<IntegerField>(Edit5, Tr("Напоминать за (дней)"), 0, 999);
  mask_ = Bind<MaskField>(Tr("Маска события"), 2);
  mask_->Add(CheckBox1, 0x01);
  mask_->Add(CheckBox2, 0x02);
  mask_->Add(CheckBox3, 0x04);
  mask_->Add(CheckBox4, 0x08);
  mask_->Add(CheckBox5, 0x10);

  Button1 = NewCommandButton("Button1", QTr("Установить"), &TForm38::Button1Click);
  Button2 = NewActionButton(
      "Button2", Tr("Прочитать"),
      {{},
       [](int& rc) -> const ReplyRecord& { return GetServiceReminder(kPassword, rc); },
       cmd::kGetServiceReminder,
       ReplyCheck::Heading(Tr("Чтение информации о напоминании сервисного обслуживания:\n  ")),
       {{0, date_}, {1, days_}, {2, mask_}}});
  Button3 = NewCommandButton("Button3", QTr("Отчет"), &TForm38::Button3Click);
  Button4 = NewButton("Button4", QTr("Закрыть"), [this] { accept(); });

  auto* message = new QGroupBox(QTr("Установить сообщение о техническом обслуживании"), this);
  (new QVBoxLayout(message))->addWidget(Memo1);
  auto* reminder = new QGroupBox(QTr("Напоминание о техническом обслуживании"), this);
  auto* form = new QFormLayout(reminder);
  form->addRow(QTr("Старый пароль:"), Edit2);
  form->addRow(QTr("Новый пароль:"), Edit3);
  form->addRow(QTr("Повторить новый пароль:"), Edit4);
  form->addRow(QTr("Дата события:"), DateTimePicker1);
  auto* days = new QHBoxLayout;
  days->addWidget(new QLabel(QTr("Напоминать за "), reminder));
  days->addWidget(Edit5);
  days->addWidget(new QLabel(QTr("дней."), reminder));
  form->addRow(days);
  auto* mask = new QGroupBox(QTr("Маска события"), reminder);
  auto* mask_layout = new QVBoxLayout(mask);
  for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5})
    mask_layout->addWidget(box);
  form->addRow(mask);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  buttons->addStretch();
  buttons->addWidget(Button4);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(message);
  layout->addWidget(reminder);
  layout->addLayout(buttons);
}

void TForm38::FormActivate() {
  date_->Set(DateOf(clock_()));
}

void TForm38::Button1Click() {
  if (new_password_->Value() != repeat_password_->Value()) {
    ThePlatform().ShowMessage(Tr("Неверный пароль. Попробуйте ещё раз!"));
    return;
  }
  if (!CheckInputs({old_password_, new_password_, days_}))
    return;
  const auto message = ServiceMessageLines(RegisterLines(Memo1));
  for (const auto& [mode, line] : message) {
    const std::string refusal = CheckFreeText(line, Tr("Сообщение о техническом обслуживании"));
    if (!refusal.empty()) {
      ThePlatform().ShowMessage(refusal);
      return;
    }
  }
  for (const auto& [mode, line] : message) {
    int rc = 0;
    const ReplyRecord& reply = AddServiceMessageLine(kPassword, mode, line, rc);
    if (!End(cmd::kAddServiceMessageLine, rc, reply,
             ReplyCheck::Heading(Tr("Добавить строку во временный буфер:\n  "))))
      return;
  }
  Run({{},
       [this](int& rc) -> const ReplyRecord& {
         return SetServiceReminder(old_password_->Value(), new_password_->Value(), date_->Value(),
                                   days_->Value(), static_cast<int>(mask_->Value()), rc);
       },
       cmd::kSetServiceReminder,
       ReplyCheck::Heading(Tr("Установить информацию о сервисном обслуживании:\n  "))});
}

void TForm38::Button3Click() {
  const auto heading = ReplyCheck::Heading(Tr("Отчет об напоминании ТО:\n  "));
  int rc = 0;
  const ReplyRecord& opened = OpenNonFiscalReceipt(kPassword, rc);
  if (!End(cmd::kOpenNonFiscalReceipt, rc, opened, heading))
    return;
  const ReplyRecord& printed = PrintInfoReport(kPassword, 3, rc);
  if (!End(cmd::kPrintInfoReport, rc, printed, heading))
    return;
  const ReplyRecord& closed = CloseFiscalReceipt(kPassword, rc);
  if (!End(cmd::kCloseFiscalReceipt, rc, closed, heading))
    return;
  ThePlatform().ShowMessage(TrText(kSuccessMessage));
}

}  // namespace tolvanet::ui
