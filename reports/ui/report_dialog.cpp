#include "reports/ui/report_dialog.h"

#include "app/app_state.h"
#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"

namespace tolvanet::ui {

void ReportDialog::ShowOutcome(const reports::ReportOutcome& outcome) {
  if (outcome.error_code && ErrorCodeBox() != nullptr)
    ErrorCodeBox()->setText(Q(FromCp1251(*outcome.error_code)));
  if (!outcome.steps.empty())
    EnableStatus(true);
  for (const std::string& message : outcome.messages)
    ThePlatform().ShowMessage(message);
}

void ReportDialog::DailyReport(const QLineEdit* password, bool z) {
  EnableStatus(true);
  if (ErrorCodeBox() != nullptr)
    ErrorCodeBox()->clear();
  if (z)
    TheAppState().status_available = true;
  const reports::ReportOutcome out =
      z ? reports::ZReport(RegisterText(password)) : reports::XReport(RegisterText(password));
  ShowOutcome(out);
  if (out.ok) {
    EnableStatus(true);
    TheAppState().status_available = true;
  }
}

void ReportDialog::CloseDaily() {
  if (ErrorCodeBox() != nullptr)
    ErrorCodeBox()->clear();
  EnableStatus(false);
  TheAppState().status_available = true;
  accept();
}

}  // namespace tolvanet::ui
