// The base of the transfer windows: a task window that hosts the core's transfer loops.
#pragma once

#include <QProgressBar>

#include "app/ui/task_dialog.h"
#include "transfer/transfer.h"

namespace tolvanet::ui {

class TransferDialog : public TaskDialog, public transfer::TransferHost {
  Q_OBJECT
 public:
  TransferDialog(QWidget* parent, const char* object_name, const QString& caption);

  // The host side of the loops: messages and questions through the platform (Cancel is the
  // default answer), Stop, Esc and the close box through the kit's stop request.
  void ShowMessage(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void ProcessPendingMessages() override;
  // The reply becomes the current reply and fills the error code box; only the loop reports,
  // with one message at the end of the transfer.
  void ReplyReceived(const ReplyRecord& reply) override;

 protected:
  // Shows `done` of `total` on `bar`, whatever their size.
  static void ShowProgress(QProgressBar* bar, std::int64_t done, std::int64_t total);

  transfer::Transfer transfer_{*this};
};

}  // namespace tolvanet::ui
