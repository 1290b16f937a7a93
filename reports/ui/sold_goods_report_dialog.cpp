#include "reports/ui/sold_goods_report_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/dialog_pattern.h"
#include "app/ui/qt_platform.h"

namespace tolvanet::ui {

TForm24::TForm24(QWidget* parent)
    : ReportDialog(parent, "Form24", QTr("Отчет по реализованным товарам")) {
  Edit1 = NewPasswordEdit("Edit1");
  Edit2 = new QLineEdit("0", this);
  Edit2->setObjectName("Edit2");
  Edit2->setMaxLength(9);
  Edit4 = new QLineEdit(this);
  Edit4->setObjectName("Edit4");
  Edit3 = NewErrorCodeBox("Edit3");
  Button1 = NewCommandButton("Button1", QTr("Сделать отчет"), &TForm24::Button1Click);
  // Its own status button: it asks the register afresh before the status window opens.
  Button4 = NewCommandButton("Button4", QTr("Состояние регистратора"), &TForm24::Button4Click);
  Button4->setEnabled(false);
  Button2 = NewButton("Button2", QTr("Закрыть"), [this] { accept(); });

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  form->addRow(QTr("Пароль:"), Edit1);
  form->addRow(QTr("Код первого товара:"), Edit2);
  form->addRow(QTr("Код последнего товара:"), Edit4);
  form->addRow(QTr("Код ошибки:"), Edit3);
  layout->addLayout(form);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(Button1);
  buttons->addWidget(Button4);
  buttons->addWidget(Button2);
  layout->addLayout(buttons);
}

void TForm24::FormActivate() {
  Edit4->setText(TheAppState().HighLevel() ? kHighLastCode : kMediumLastCode);
  Edit3->clear();
  EnableStatus(false);
}

void TForm24::Button1Click() {
  EnableStatus(true);
  Edit3->clear();
  ShowOutcome(reports::SoldGoodsReport(RegisterText(Edit1), S(Edit2->text()), S(Edit4->text())));
}

void TForm24::Button4Click() {
  if (RunStatusCheck(false).ok())
    ShowStatusWindow();
}

}  // namespace tolvanet::ui
