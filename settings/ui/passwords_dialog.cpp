#include "settings/ui/passwords_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/ui/qt_platform.h"
#include "link/commands.h"
#include "link/translate.h"

namespace tolvanet::ui {

TForm13::TForm13(QWidget* parent) : ReadWriteForm(parent, "Form13", QTr("Пароли")) {
  Edit5 = NewPasswordEdit("Edit5");
  Edit2 = new QLineEdit(kDefaultPassword, this);
  Edit3 = new QLineEdit(kDefaultPassword, this);
  Edit4 = new QLineEdit(kDefaultPassword, this);
  auto* admin = Bind<TextField>(Edit5, Tr("Пароль администратора"), 6);
  auto* programming = Bind<TextField>(Edit2, Tr("Новый пароль программирования"), 6);
  auto* reports = Bind<TextField>(Edit3, Tr("Новый пароль отчетов"), 6);
  auto* new_admin = Bind<TextField>(Edit4, Tr("Новый пароль администратора"), 6);

  Button1 = NewActionButton("Button1", QTr("Выполнить"),
                            {{admin, programming, reports, new_admin},
                             [=](int& rc) -> const ReplyRecord& {
                               return SetModePsw(admin->Value(), programming->Value(),
                                                 reports->Value(), new_admin->Value(), rc);
                             },
                             cmd::kSetModePsw,
                             ReplyCheck::Heading(Tr("Ошибка установки паролей: \n  "))});
  Button2 = NewButton("Button2", QTr("Закрыть"), [this] { accept(); });

  auto* top = new QFormLayout;
  top->addRow(QTr("Пароль администратора:"), Edit5);
  auto* modes = new QGroupBox(QTr("Пароли режимов"), this);
  auto* form = new QFormLayout(modes);
  form->addRow(QTr("Новый пароль программирования:"), Edit2);
  form->addRow(QTr("Новый пароль отчетов:"), Edit3);
  form->addRow(QTr("Новый пароль администратора:"), Edit4);
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
