// TForm49: the register's network settings: read them, edit them by hand or load them from a
// settings file, and write them back.
#include "settings/ui/network_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/commands.h"
#include "link/translate.h"
#include "settings/ui/field_input.h"

namespace tolvanet::ui {

namespace {
constexpr const char* kTimeout = TrNoop("Ошибка выполнения команды. Таймаут");
}

TForm49::TForm49(QWidget* parent) : TaskDialog(parent, "Form49", QTr("Параметры связи")) {
  CheckBox1 = new QCheckBox(QTr("DHCP включен"), this);
  CheckBox1->setObjectName("CheckBox1");
  auto make_box = [this](const char* name, int length, const char* hint) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setMaxLength(length);
    e->setToolTip(hint);
    return e;
  };
  Edit1 = make_box("Edit1", kAddressBoxLength, Tr("Формат - адрес IP"));
  Edit2 = make_box("Edit2", kAddressBoxLength, Tr("Формат - адрес IP"));
  Edit3 = make_box("Edit3", kAddressBoxLength, Tr("Формат - адрес IP"));
  Edit4 = make_box("Edit4", kAddressBoxLength, Tr("Формат - адрес IP"));
  Edit5 = make_box("Edit5", kNumberBoxLength, Tr("Формат - число"));
  Edit7 = make_box("Edit7", kNumberBoxLength, Tr("В минутах, не более 1440"));
  Edit8 = make_box("Edit8", kNumberBoxLength, Tr("В секундах, не более 3600"));
  Edit6 = NewPasswordEdit("Edit6");
  Button1 = NewCommandButton("Button1", QTr("Прочитать настройки сети"), &TForm49::Button1Click);
  Button2 = NewCommandButton("Button2", QTr("Установить настройки сети"), &TForm49::Button2Click);
  Button4 = NewButton("Button4", QTr("Загрузить из файла"), [this] { Button4Click(); });
  Button3 = NewButton("Button3", QTr("Выход"), [this] { accept(); });

  auto* form = new QFormLayout;
  form->addRow(CheckBox1);
  form->addRow(QTr("Статический IP адрес:"), Edit1);
  form->addRow(QTr("Маска подсети:"), Edit2);
  form->addRow(QTr("Адрес шлюза:"), Edit3);
  form->addRow(QTr("Адрес назначения:"), Edit4);
  form->addRow(QTr("Порт назначения:"), Edit5);
  form->addRow(QTr("Периодичность связи (мин.):"), Edit7);
  form->addRow(QTr("Период повтора при неудачной попытке связи (сек.):"), Edit8);
  form->addRow(QTr("Пароль:"), Edit6);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {Button1, Button2, Button4, Button3})
    buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

void TForm49::FormActivate() {
  if (activated_)
    return;
  activated_ = true;
  CheckBox1->setChecked(false);
  for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5})
    e->clear();
}

NetworkFields TForm49::Fields() const {
  return {CheckBox1->isChecked(), S(Edit1->text()), S(Edit2->text()), S(Edit3->text()),
          S(Edit4->text()),       S(Edit5->text()), S(Edit7->text()), S(Edit8->text())};
}

void TForm49::Show(const NetworkFields& f) {
  CheckBox1->setChecked(f.dhcp);
  Edit1->setText(Q(f.ip));
  Edit2->setText(Q(f.mask));
  Edit3->setText(Q(f.gateway));
  Edit4->setText(Q(f.destination));
  Edit5->setText(Q(f.port));
  Edit7->setText(Q(f.period));
  Edit8->setText(Q(f.retry));
}

void TForm49::Button1Click() {
  const auto pwd = FieldText(Edit6, Tr("Пароль"));
  if (!pwd)
    return;
  const ReplyRecord& reply = GetNetworkParams(*pwd);
  if (!End(cmd::kGetNetworkParams, 0, reply,
           ReplyCheck::Heading(TrText(kStatusHeading)).Timeout(Tr(kTimeout)))) {
    return;
  }
  // All fields or none: a later write must never send back a mix of old and new values.
  const auto fields = DecodeNetworkReply(reply);
  if (!fields) {
    ThePlatform().ShowMessage(TrText(kBadNetworkReplyMessage));
    return;
  }
  Show(*fields);
  ThePlatform().ShowMessage(TrText(kSuccessMessage));
}

void TForm49::Button2Click() {
  const NetworkWriteText data = BuildNetworkWriteText(Fields());
  if (!data.error.empty()) {
    ThePlatform().ShowMessage(data.error);
    return;
  }
  const auto pwd = FieldText(Edit6, Tr("Пароль"));
  if (!pwd)
    return;
  const ReplyRecord& reply = SetNetworkParams(*pwd, data.text);
  if (!End(cmd::kSetNetworkParams, 0, reply,
           ReplyCheck::Heading(TrText(kStatusHeading)).Timeout(Tr(kTimeout)))) {
    return;
  }
  ThePlatform().ShowMessage(TrText(kSuccessMessage));
}

void TForm49::Button4Click() {
  FileDialogOptions options;
  options.title = Tr("Чтение параметров связи из файла");
  options.filter = "Text files (*.txt)|*.TXT|All files (*.*)|*.*";
  options.default_suffix = "TXT";
  const auto path = ThePlatform().OpenFile(options);
  if (!path) {
    ThePlatform().ShowMessage(Tr("Файл не выбран. Ошибка."));
    return;
  }
  const NetworkFileResult loaded = LoadNetworkSettingsFile(*path);
  if (!loaded.fields) {
    ThePlatform().ShowMessage(loaded.error);
    return;
  }
  Show(*loaded.fields);
}

}  // namespace tolvanet::ui
