#include "settings/ui/decimal_point_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "link/commands.h"

namespace tolvanet::ui {

TForm32::TForm32(QWidget* parent)
    : ReadWriteForm(parent, "Form32", "Позиция десятичной точки между гривнами и копейками") {
  Edit1 = NewPasswordEdit("Edit1");
  ComboBox1 = new QComboBox(this);
  ComboBox1->addItems({"0", "1", "2", "3"});
  ComboBox1->setCurrentIndex(0);  // always a selection
  Edit3 = NewErrorCodeBox("Edit3");
  auto* pwd = BindPassword(Edit1);
  auto* position = Bind<ListField>(ComboBox1, "Позиция десятичной точки");
  const auto heading = ReplyCheck::Heading("Позиция десятичной точки:\n  ");

  Button1 = NewActionButton("Button1", "Установить",
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
      "Button2", "Прочитать",
      {{pwd},
       [=](int& rc) -> const ReplyRecord& { return GetDecimalPoint(pwd->Value(), rc); },
       cmd::kGetDecimalPoint,
       heading,
       {{0, position}},
       {},
       false});
  Button3 = NewButton("Button3", "Закрыть", [this] { accept(); });

  auto* form = new QFormLayout;
  form->addRow("Пароль:", Edit1);
  form->addRow("Позиция десятичной точки:", ComboBox1);
  form->addRow("Код ошибки:", Edit3);
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
