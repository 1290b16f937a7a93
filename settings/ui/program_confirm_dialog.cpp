// TForm22: choose what the fiscal-parameter window programs, or cancel the programming.
#include "settings/ui/program_confirm_dialog.h"
#include "app/ui/qt_platform.h"
#include "link/translate.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tolvanet::ui {

TForm22::TForm22(QWidget* parent)
    : TaskDialog(parent, "Form22", QTr("Подтверждение программирования")) {
  auto make_box = [this](const char* name, const char* text) {
    auto* box = new QCheckBox(text, this);
    box->setObjectName(name);
    return box;
  };
  CheckBox2 = make_box("CheckBox2", Tr("Запрограммировать фискальный номер"));
  CheckBox3 = make_box("CheckBox3", Tr("Запрограммировать идентификационный/налоговый номер РРО"));
  CheckBox4 = make_box("CheckBox4", Tr("Запрограммировать налоги"));
  Button1 = NewButton("Button1", QTr("Продолжить"), [this] { Button1Click(); });
  Button2 = NewButton("Button2", QTr("Отменить"), [this] { Button2Click(); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  for (QCheckBox* box : {CheckBox2, CheckBox3, CheckBox4})
    layout->addWidget(box);
  layout->addLayout(buttons);
}

void TForm22::FormActivate() {
  cancelled_ = true;
}

void TForm22::Button1Click() {
  cancelled_ = false;
  accept();
}

void TForm22::Button2Click() {
  cancelled_ = true;
  reject();
}

}  // namespace tolvanet::ui
