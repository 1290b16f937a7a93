#include "reports/ui/daily_reports_dialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/ui/qt_platform.h"

namespace tolvanet::ui {

TForm23::TForm23(QWidget* parent) : ReportDialog(parent, "Form23", QTr("Печать дневных отчетов")) {
  Edit1 = NewPasswordEdit("Edit1");
  Edit3 = NewErrorCodeBox("Edit3");
  Button1 = NewCommandButton("Button1", QTr("X-отчет"), &TForm23::Button1Click);
  Button2 = NewCommandButton("Button2", QTr("Z-отчет"), &TForm23::Button2Click);
  Button5 = NewCommandButton("Button5", QTr("Печать контрольной ленты"), &TForm23::Button5Click);
  Button6 = NewCommandButton("Button6", QTr("Обнуления контрольной ленты"), &TForm23::Button6Click);
  Button4 = NewStatusButton("Button4");
  Button3 = NewButton("Button3", QTr("Закрыть"), [this] { Button3Click(); });

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  form->addRow(QTr("Пароль:"), Edit1);
  form->addRow(QTr("Код ошибки:"), Edit3);
  layout->addLayout(form);
  auto* grid = new QGridLayout();
  grid->addWidget(Button1, 0, 0);
  grid->addWidget(Button2, 0, 1);
  grid->addWidget(Button5, 1, 0);
  grid->addWidget(Button6, 1, 1);
  grid->addWidget(Button4, 2, 0);
  grid->addWidget(Button3, 2, 1);
  layout->addLayout(grid);
}

void TForm23::Button1Click() {
  DailyReport(Edit1, false);
}

void TForm23::Button2Click() {
  DailyReport(Edit1, true);
}

void TForm23::Button5Click() {
  EnableStatus(true);
  const reports::ReportOutcome out = reports::PrintControlTape(RegisterText(Edit1));
  ShowOutcome(out);  // leaves the error code box as it was
  if (out.ok)
    TheAppState().status_available = true;
}

void TForm23::Button6Click() {
  const reports::ReportOutcome out = reports::ClearControlTape(RegisterText(Edit1));
  ShowOutcome(out);
  if (out.ok)
    TheAppState().status_available = true;
}

void TForm23::Button3Click() {
  CloseDaily();
}

}  // namespace tolvanet::ui
