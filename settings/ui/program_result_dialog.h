// TForm36: the outcome of programming the fiscal number, the registration numbers and the tax
// rates.
#pragma once

#include <QLabel>

#include "app/ui/task_dialog.h"
#include "settings/fiscal_params.h"

namespace tolvanet::ui {

class TForm36 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm36(QWidget* parent = nullptr);

  QLabel* Label1;  // fiscal number
  QLabel* Label2;  // identification and tax numbers
  QLabel* Label3;  // tax rates
  QPushButton* Button2;

  // The outcomes the next opening shows; they keep their values until set again.
  ProgramOutcome fiscal_number = ProgramOutcome::kSkipped;
  ProgramOutcome registration_number = ProgramOutcome::kSkipped;
  ProgramOutcome tax_rates = ProgramOutcome::kSkipped;

 protected:
  void FormActivate() override;
};

}  // namespace tolvanet::ui
