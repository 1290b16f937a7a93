#include "transfer/ui/transfer_dialog.h"

#include <algorithm>
#include <climits>

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
  End(reply, ReplyCheck::Silent());
}

void TransferDialog::RepaintNowAndThen() {
  const auto now = std::chrono::steady_clock::now();
  if (now - last_repaint_ < std::chrono::milliseconds(50))
    return;
  last_repaint_ = now;
  repaint();
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
