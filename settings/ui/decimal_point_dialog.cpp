#include "settings/ui/decimal_point_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/ui/qt_platform.h"
#include "link/commands.h"
#include "link/translate.h"

namespace tolvanet::ui {

TForm32::TForm32(QWidget* parent)
    : ReadWriteForm(parent, "Form32", QTr("Позиция десятичной точки между гривнами и копейками")) {
  Edit1 = NewPasswordEdit("Edit1");
  ComboBox1 = new QComboBox(this);
  ComboBox1->addItems({"0", "1", "2", "3"});
  ComboBox1->setCurrentIndex(0);  // always a selection
  Edit3 = NewErrorCodeBox("Edit3");
  auto* pwd = BindPassword(Edit1);
  auto* position = Bind<ListField>(ComboBox1, Tr("Позиция десятичной точки"));
  const auto heading = ReplyCheck::Heading(Tr("Позиция десятичной точки:\n  "));

  Button1 = NewActionButton("Button1", QTr("Установить"),
                            {{pwd},
                             [=](int& rc) -> const ReplyRecord& {
                               return SetDecimalPoint(pwd->Value(), position->Value(), rc);
                             },
                             cmd::kSetDecimalPoint,
                             heading,
                             {},
                             {},
                             false});
  Button2 = NewActionButton(
      "Button2", Tr("Прочитать"),
      {{pwd},
       [=](int& rc) -> const ReplyRecord& { return GetDecimalPoint(pwd->Value(), rc); },
       cmd::kGetDecimalPoint,
       heading,
       {{0, position}},
       {},
       false});
  Button3 = NewButton("Button3", QTr("Закрыть"), [this] { accept(); });

  auto* form = new QFormLayout;
  form->addRow(QTr("Пароль:"), Edit1);
  form->addRow(QTr("Позиция десятичной точки:"), ComboBox1);
  form->addRow(QTr("Код ошибки:"), Edit3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addStretch();
  buttons->addWidget(Button3);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

}  // namespace tolvanet::ui
