#include "reports/ui/extra_reports_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/ui/qt_platform.h"

namespace tolvanet::ui {

TForm31::TForm31(QWidget* parent)
    : ReportDialog(parent, "Form31", QTr("Печать дополнительных дневных отчетов")) {
  // No close box: "Закрыть" ends it.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  Edit1 = NewPasswordEdit("Edit1");
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  for (std::string_view kind : reports::kExtraReportKinds)
    ComboBox1->addItem(Q(TrText(kind)));
  Edit3 = NewErrorCodeBox("Edit3");
  Button1 = NewCommandButton("Button1", QTr("Отчет"), &TForm31::Button1Click);
  Button4 = NewStatusButton("Button4");
  Button2 = NewButton("Button2", QTr("Закрыть"), [this] { accept(); });

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  form->addRow(QTr("Пароль:"), Edit1);
  form->addRow(QTr("Тип отчета:"), ComboBox1);
  form->addRow(QTr("Код ошибки:"), Edit3);
  layout->addLayout(form);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(Button1);
  buttons->addWidget(Button4);
  buttons->addWidget(Button2);
  layout->addLayout(buttons);
}

void TForm31::FormActivate() {
  ComboBox1->setCurrentIndex(0);
}

void TForm31::Button1Click() {
  Edit3->clear();
  ShowOutcome(reports::ExtraDailyReport(RegisterText(Edit1), ComboBox1->currentIndex()));
}

}  // namespace tolvanet::ui
