#include "settings/ui/service_counters_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/commands.h"
#include "link/engine.h"
#include "link/translate.h"
#include "settings/service_counters.h"

namespace tolvanet::ui {

TForm39::TForm39(QWidget* parent) : ReadWriteForm(parent, "Form39", QTr("Служебные счетчики")) {
  Edit3 = NewPasswordEdit("Edit3");
  ComboBox1 = new QComboBox(this);
  for (int n = 0; n < kServiceCounterCount; ++n)
    ComboBox1->addItem(Q(TrText(ServiceCounterName(n))));
  Edit1 = new QLineEdit(this);
  password_ = BindPassword(Edit3);
  Button1 = NewCommandButton("Button1", QTr("Прочитать"), &TForm39::Button1Click);
  Button2 = NewCommandButton("Button2", QTr("Установить"), &TForm39::Button2Click);
  Button3 = NewButton("Button3", QTr("Закрыть"), [this] { accept(); });
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm39::ComboBox1Change);

  auto* form = new QFormLayout;
  form->addRow(QTr("Пароль:"), Edit3);
  auto* group = new QGroupBox(QTr("Чтение счетчиков"), this);
  auto* inner = new QFormLayout(group);
  inner->addRow(QTr("Служебный счетчик:"), ComboBox1);
  inner->addRow(QTr("Значение:"), Edit1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addStretch();
  buttons->addWidget(Button3);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(group);
  layout->addLayout(buttons);
  ComboBox1Change();
}

void TForm39::FormActivate() {
  ComboBox1->setCurrentIndex(0);
  ComboBox1Change();
}

void TForm39::ComboBox1Change() {
  const int n = ComboBox1->currentIndex();
  Edit1->setText(Q(CounterChosenValue(n)));
  SetButtonEnabled(Button1, CounterReadable(n));
  SetButtonEnabled(Button2, CounterSettable(n));
}

void TForm39::Button1Click() {
  const int n = ComboBox1->currentIndex();
  if (!CounterReadable(n) || !CheckInputs({password_}))
    return;
  int rc = 0;
  const ReplyRecord& reply = GetServiceCounter(password_->Value(), n, rc);
  if (!End(cmd::kGetServiceCounter, rc, reply,
           ReplyCheck::Heading(Tr("Чтение служебных счетчиков:\n  "))))
    return;
  Edit1->setText(Q(CounterValueText(n, reply)));
  ThePlatform().ShowMessage(TrText(kSuccessMessage));
}

void TForm39::Button2Click() {
  const int n = ComboBox1->currentIndex();
  if (!CounterSettable(n) || !CheckInputs({password_}))
    return;
  const auto value = CounterValueToSet(n, S(Edit1->text()));
  if (!value) {
    ThePlatform().ShowMessage(
        TrArgs(Tr("Ошибка! Значение счетчика неверное: \"%1\"."), {S(Edit1->text())}));
    return;
  }
  if (CutsRemoteAccess(n, *value) &&
      !ThePlatform().Ask({Tr("Служебные счетчики"), TrText(kRemoteAccessQuestion), true})) {
    return;
  }
  int rc = 0;
  const ReplyRecord& reply = SetServiceCounter(password_->Value(), n, *value, rc);
  if (!End(cmd::kSetServiceCounter, rc, reply,
           ReplyCheck::Heading(Tr("Установка служебных счетчиков:\n  "))))
    return;
  // In USB storage mode the register leaves the link: this session ends.
  if (n == kUsbStorageCounter)
    EndSession();
  ThePlatform().ShowMessage(TrText(kSuccessMessage));
}

}  // namespace tolvanet::ui
