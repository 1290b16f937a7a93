// The common ground of the "Отчеты" windows: a report operation of the core is run, and what it
// came to is shown — the error code box, the messages, the status button — the same way in each.
#pragma once

#include <QLineEdit>
#include <string>

#include "app/ui/task_dialog.h"
#include "reports/report_sequences.h"

namespace tolvanet::ui {

class ReportDialog : public TaskDialog {
  Q_OBJECT
 public:
  using TaskDialog::TaskDialog;

 protected:
  // Shows an operation's outcome: the error code box gets the code the operation left, the
  // status button is enabled once a command went out, and every message is shown in order.
  void ShowOutcome(const reports::ReportOutcome& outcome);
  // How the window enables its "Состояние регистратора" button (some windows have their own).
  virtual void EnableStatus(bool enabled) { SetStatusButtonEnabled(enabled); }

  // The daily X or Z report of the two daily-report windows.
  void DailyReport(const QLineEdit* password, bool z);
  // Their "Закрыть".
  void CloseDaily();
};

}  // namespace tolvanet::ui
