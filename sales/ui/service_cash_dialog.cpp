// TForm9: service cash in and cash out.
#include "sales/ui/service_cash_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "sales/receipts.h"

namespace tolvanet::ui {

TForm9::TForm9(QWidget* parent)
    : TaskDialog(parent, "Form9", QTr("Служебное внесение и изъятие денег")) {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout();
  Edit5 = NewPasswordEdit("Edit5");
  Edit3 = new QLineEdit("1", this);
  Edit3->setObjectName("Edit3");
  Edit1 = new QLineEdit("1.00", this);
  Edit1->setObjectName("Edit1");
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  Edit2->setReadOnly(true);
  const std::pair<QString, QLineEdit*> rows[] = {{QTr("Пароль:"), Edit5},
                                                 {QTr("Номер оператора:"), Edit3},
                                                 {QTr("Сумма:    "), Edit1},
                                                 {QTr("Денег в кассе:"), Edit2}};
  int r = 0;
  for (const auto& [label, edit] : rows) {
    grid->addWidget(new QLabel(label, this), r, 0);
    grid->addWidget(edit, r++, 1);
  }
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout();
  Button3 = NewCommandButton("Button3", QTr("Служебный внос"), &TForm9::Button3Click);
  Button2 = NewCommandButton("Button2", QTr("Служебное изъятие"), &TForm9::Button2Click);
  Button1 = NewButton("Button1", QTr("Закрыть"), [this] { close(); });
  for (QPushButton* b : {Button3, Button2, Button1})
    buttons->addWidget(b);
  layout->addLayout(buttons);
}

void TForm9::Move(bool withdrawal) {
  const sales::CashOutcome out =
      sales::ServiceCash(RegisterText(Edit5), S(Edit3->text()), S(Edit1->text()), withdrawal);
  if (!out.drawer.empty())
    Edit2->setText(Q(FromCp1251(out.drawer)));
  if (!out.outcome.message.empty())
    ThePlatform().ShowMessage(out.outcome.message);
}

void TForm9::Button3Click() {
  Move(false);
}

void TForm9::Button2Click() {
  Move(true);
}

}  // namespace tolvanet::ui
