// The state every window shares: configuration path, current reply, access level and the
// status-available flag, and the register's payment type count.
#pragma once

#include <functional>
#include <string>

#include "link/reply.h"

namespace tolvanet {

struct AppState {
  std::string config_path;
  // The reply of the most recent device command; the status-byte window shows it.
  const ReplyRecord* current_reply = nullptr;
  std::string access_level = "medium";
  std::string el_journal;
  bool status_available = false;
  int payment_type_count = 10;
  // Where the register line goes (the main window's status bar); the main window sets it.
  std::function<void(const std::string&)> status_line;

  void SetStatusLine(const std::string& utf8) const {
    if (status_line)
      status_line(utf8);
  }

  bool HighLevel() const { return access_level == "high"; }
};

AppState& TheAppState();

}  // namespace tolvanet
