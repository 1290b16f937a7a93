#include "settings/ui/passwords_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "link/commands.h"

namespace tolvanet::ui {

TForm13::TForm13(QWidget* parent) : ReadWriteForm(parent, "Form13", "Пароли") {
  Edit5 = NewPasswordEdit("Edit5");
  Edit2 = new QLineEdit(kDefaultPassword, this);
  Edit3 = new QLineEdit(kDefaultPassword, this);
  Edit4 = new QLineEdit(kDefaultPassword, this);
  auto* admin = Bind<TextField>(Edit5, "Пароль администратора", 6);
  auto* programming = Bind<TextField>(Edit2, "Новый пароль программирования", 6);
  auto* reports = Bind<TextField>(Edit3, "Новый пароль отчетов", 6);
  auto* new_admin = Bind<TextField>(Edit4, "Новый пароль администратора", 6);

  Button1 = NewActionButton("Button1", "Выполнить",
                            {{admin, programming, reports, new_admin},
                             [=](int& rc) -> const ReplyRecord& {
                               return SetModePsw(admin->Value(), programming->Value(),
                                                 reports->Value(), new_admin->Value(), rc);
                             },
                             cmd::kSetModePsw,
                             ReplyCheck::Heading("Ошибка установки паролей: \n  ")});
  Button2 = NewButton("Button2", "Закрыть", [this] { accept(); });

  auto* top = new QFormLayout;
  top->addRow("Пароль администратора:", Edit5);
  auto* modes = new QGroupBox("Пароли режимов", this);
  auto* form = new QFormLayout(modes);
  form->addRow("Новый пароль программирования:", Edit2);
  form->addRow("Новый пароль отчетов:", Edit3);
  form->addRow("Новый пароль администратора:", Edit4);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addStretch();
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(modes);
  layout->addLayout(buttons);
}

}  // namespace tolvanet::ui
