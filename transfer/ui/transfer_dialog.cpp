#include "transfer/ui/transfer_dialog.h"

#include <algorithm>
#include <climits>

#include "app/app_state.h"
#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"

namespace tolvanet::ui {

TransferDialog::TransferDialog(QWidget* parent, const char* object_name, const QString& caption)
    : TaskDialog(parent, object_name, caption) {}

void TransferDialog::ShowMessage(const std::string& text) {
  ThePlatform().ShowMessage(text);
}

bool TransferDialog::Confirm(const std::string& text) {
  return ThePlatform().Ask({{}, text, /*default_cancel=*/true});
}

void TransferDialog::ProcessPendingMessages() {
  if (!KeepGoing())
    transfer_.RequestStop();
}

void TransferDialog::ReplyReceived(const ReplyRecord& reply) {
  // What End does before it reports, and no report: the loop judges the reply and ends the
  // transfer with its one message. End, even with a silent check, would show a damaged answer
  // here as well (twice with the loop's message, or before a repeat that mends it).
  TheAppState().current_reply = &reply;
  if (QLineEdit* box = ErrorCodeBox())
    box->setText(Q(FromCp1251(reply.error_code)));
  SetStatusButtonEnabled(true);
}

void TransferDialog::ShowProgress(QProgressBar* bar, std::int64_t done, std::int64_t total) {
  // A bar counts in int: large totals are shown in thousandths.
  if (total > INT_MAX) {
    done = static_cast<std::int64_t>(static_cast<double>(done) * 1000 / static_cast<double>(total));
    total = 1000;
  }
  bar->setRange(0, static_cast<int>(std::max<std::int64_t>(total, 1)));
  bar->setValue(
      static_cast<int>(std::clamp<std::int64_t>(done, 0, std::max<std::int64_t>(total, 1))));
}

}  // namespace tolvanet::ui
