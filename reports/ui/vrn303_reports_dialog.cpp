#include "reports/ui/vrn303_reports_dialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/ui/qt_platform.h"

namespace tolvanet::ui {

TForm48::TForm48(QWidget* parent) : ReportDialog(parent, "Form48", QTr("VRN303 дневные отчеты")) {
  Edit1 = NewPasswordEdit("Edit1");
  Edit3 = NewErrorCodeBox("Edit3");
  CheckBox1 = new QCheckBox(QTr("Обнулить базу товаров"), this);
  CheckBox1->setObjectName("CheckBox1");
  Button1 = NewCommandButton("Button1", QTr("X-отчет"), &TForm48::Button1Click);
  Button2 = NewCommandButton("Button2", QTr("Z-отчет"), &TForm48::Button2Click);
  Button6 = NewCommandButton("Button6", QTr("Выгрузка и обнуления контрольной ленты"),
                             &TForm48::Button6Click);
  // Not the status window's button: here it only brings the window up to the shared state.
  Button4 = NewButton("Button4", QTr("Состояние регистратора"), [this] { Button4Click(); });
  Button4->setEnabled(false);
  Button3 = NewButton("Button3", QTr("Закрыть"), [this] { Button3Click(); });

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  form->addRow(QTr("Пароль:"), Edit1);
  form->addRow(QTr("Код ошибки:"), Edit3);
  layout->addLayout(form);
  layout->addWidget(CheckBox1);
  auto* grid = new QGridLayout();
  grid->addWidget(Button1, 0, 0);
  grid->addWidget(Button2, 0, 1);
  grid->addWidget(Button6, 1, 0, 1, 2);
  grid->addWidget(Button4, 2, 0);
  grid->addWidget(Button3, 2, 1);
  layout->addLayout(grid);
}

void TForm48::ApplyState() {
  Button4->setEnabled(false);
  if (TheAppState().status_available)
    Button4->setEnabled(true);
  Button6->setVisible(TheAppState().HighLevel());
}

void TForm48::FormActivate() {
  // A "medium" operator never sees the unloading button, not even before the first refresh.
  ApplyState();
}

void TForm48::Button1Click() {
  DailyReport(Edit1, false);
}

void TForm48::Button2Click() {
  DailyReport(Edit1, true);
}

void TForm48::Button6Click() {
  EnableStatus(true);
  TheAppState().status_available = true;
  Edit3->clear();
  const reports::ReportOutcome out =
      reports::UnloadAndClearTape(RegisterText(Edit1), CheckBox1->isChecked());
  ShowOutcome(out);
  if (out.ok)
    EnableStatus(true);
}

void TForm48::Button4Click() {
  if (Busy())
    return;
  ApplyState();
  Edit3->clear();
}

void TForm48::Button3Click() {
  CloseDaily();
}

}  // namespace tolvanet::ui
