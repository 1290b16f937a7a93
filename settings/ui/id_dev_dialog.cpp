// TForm50: read the register's device identifier ID_DEV, or set a new one.
#include "settings/ui/id_dev_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/decimal.h"
#include "link/translate.h"
#include "settings/network.h"
#include "settings/ui/field_input.h"

namespace tolvanet::ui {

namespace {
constexpr const char* kTimeout = TrNoop("Ошибка выполнения команды. Таймаут");
}

TForm50::TForm50(QWidget* parent)
    : TaskDialog(parent, "Form50", QTr("Установить и прочитать ID_DEV")) {
  Edit6 = NewPasswordEdit("Edit6");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Label3 = new QLabel(Q(TrText(kIdDevHexCaption)), this);
  Label3->setObjectName("Label3");
  Button1 = NewCommandButton("Button1", QTr("Прочитать ID_DEV"), &TForm50::Button1Click);
  Button2 = NewCommandButton("Button2", QTr("Установить ID_DEV"), &TForm50::Button2Click);
  Button3 = NewButton("Button3", QTr("Выход"), [this] { accept(); });

  auto* form = new QFormLayout;
  form->addRow(QTr("Пароль:"), Edit6);
  form->addRow(QTr("Значение ID_DEV:"), Edit1);
  form->addRow(Label3);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {Button1, Button2, Button3})
    buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

void TForm50::Button1Click() {
  const auto pwd = FieldText(Edit6, Tr("Пароль"));
  if (!pwd)
    return;
  const ReplyRecord& reply = GetIdDev(*pwd);
  if (!End(cmd::kGetIdDev, 0, reply,
           ReplyCheck::RawCode(Tr("Чтение ID_DEV, код ошибки:\n  ")).Timeout(Tr(kTimeout)))) {
    return;
  }
  const std::string id = FromCp1251(reply.Field(0));
  Edit1->setText(Q(id));
  const auto hex = IdDevHex(id);
  if (!hex) {
    ThePlatform().ShowMessage(NotAnIntegerMessage(id));
    return;
  }
  Label3->setText(Q(IdDevHexLabel(*hex)));
  ThePlatform().ShowMessage(TrText(kSuccessMessage));
}

void TForm50::Button2Click() {
  if (Edit1->text().isEmpty()) {
    ThePlatform().ShowMessage(Tr("Не введён ID_DEV. Ошибка!"));
    return;
  }
  const auto pwd = FieldText(Edit6, Tr("Пароль"));
  if (!pwd)
    return;
  const auto id = FieldText(Edit1, Tr("Значение ID_DEV"));
  if (!id)
    return;
  // The relay routes the register by this number: a mistyped one can leave it unreachable.
  if (const std::string refusal = CheckIdDev(S(Edit1->text())); !refusal.empty()) {
    ThePlatform().ShowMessage(refusal);
    return;
  }
  const ReplyRecord& reply = SetIdDev(*pwd, *id);
  if (!End(cmd::kSetIdDev, 0, reply,
           ReplyCheck::Heading(TrText(kStatusHeading))
               .Timeout(Tr("Ошибка выполнения команды установка ID_DEV. Таймаут")))) {
    return;
  }
  ThePlatform().ShowMessage(TrText(kSuccessMessage));
}

}  // namespace tolvanet::ui
