// TForm36: the outcome of programming the fiscal number, the registration numbers and the tax
// rates.
#include "settings/ui/program_result_dialog.h"

#include <QVBoxLayout>

#include "app/ui/qt_platform.h"
#include "link/translate.h"

namespace tolvanet::ui {

TForm36::TForm36(QWidget* parent) : TaskDialog(parent, "Form36", QTr("Результат операции")) {
  auto make_label = [this](const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    return label;
  };
  Label1 = make_label("Label1");
  Label2 = make_label("Label2");
  Label3 = make_label("Label3");
  Button2 = NewButton("Button2", QTr("Продолжить"), [this] { accept(); });
  auto* layout = new QVBoxLayout(this);
  for (QWidget* w : std::initializer_list<QWidget*>{Label1, Label2, Label3, Button2})
    layout->addWidget(w);
}

void TForm36::FormActivate() {
  Label1->setText(Q(FiscalNumberOutcomeText(fiscal_number)));
  Label2->setText(Q(RegistrationNumberOutcomeText(registration_number)));
  Label3->setText(Q(TaxRatesOutcomeText(tax_rates)));
}

}  // namespace tolvanet::ui
