// TForm51: the modem state report: the modem status bits and the dates of the first
// undelivered document and of the personalisation, optionally printed by the register.
#include "settings/ui/modem_state_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/translate.h"
#include "settings/modem.h"
#include "settings/ui/field_input.h"

namespace tolvanet::ui {

TForm51::TForm51(QWidget* parent) : TaskDialog(parent, "Form51", QTr("Состояние модема")) {
  Edit3 = NewPasswordEdit("Edit3");
  Edit7 = NewErrorCodeBox("Edit7");
  Edit7->setText("0000");
  CheckBox8 = new QCheckBox(QTr("Печатать"), this);
  CheckBox8->setObjectName("CheckBox8");
  Button28 = NewCommandButton("Button28", QTr("Получить отчет"), &TForm51::Button28Click);
  Button1 = NewButton("Button1", QTr("Закрыть"), [this] { accept(); });

  auto* bits = new QVBoxLayout;
  for (int i = 0; i < 8; ++i) {
    auto* box = new QCheckBox(Q(TrText(kModemStatusBits[i])), this);
    box->setObjectName(QString("StatusBit%1").arg(i));
    // Shows the register's state; the operator cannot change it.
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    StatusBits[i] = box;
    bits->addWidget(box);
  }
  auto make_box = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setReadOnly(true);
    return e;
  };
  Edit32 = make_box("Edit32");
  Edit35 = make_box("Edit35");
  Edit36 = make_box("Edit36");
  Edit37 = make_box("Edit37");

  auto* group = new QGroupBox(QTr("Отчет состояния модема"), this);
  auto* group_layout = new QHBoxLayout(group);
  group_layout->addWidget(Button28);
  group_layout->addWidget(CheckBox8);

  auto* fields = new QFormLayout;
  fields->addRow(QTr("Дата формирования  первого \r\nнедоставленного документа:"), Edit32);
  fields->addRow(QTr("Время формирования  первого \r\nнедоставленного документа:"), Edit35);
  fields->addRow(QTr("Дата персонализации:"), Edit36);
  fields->addRow(QTr("Время персонализации:"), Edit37);
  fields->addRow(QTr("Пароль:"), Edit3);
  fields->addRow(QTr("Код ошибки:"), Edit7);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bits);
  layout->addLayout(fields);
  layout->addWidget(group);
  layout->addWidget(Button1);
}

void TForm51::Button28Click() {
  const auto pwd = FieldText(Edit3, Tr("Пароль"));
  if (!pwd)
    return;
  const ReplyRecord& reply = GetModemState(*pwd, CheckBox8->isChecked());
  if (!End(cmd::kGetModemState, 0, reply, ReplyCheck::Fixed(TrText(kModemErrorMessage))))
    return;
  Edit32->setText(Q(FromCp1251(reply.Field(1))));
  Edit35->setText(Q(FromCp1251(reply.Field(2))));
  Edit36->setText(Q(FromCp1251(reply.Field(3))));
  Edit37->setText(Q(FromCp1251(reply.Field(4))));
  const std::uint8_t byte = ModemStatusByte(reply.Field(0));
  for (int i = 0; i < 8; ++i)
    StatusBits[i]->setChecked((byte >> i) & 1);
}

}  // namespace tolvanet::ui
