// The platform layer on Qt: message boxes, questions, file dialogs, pauses.
#pragma once

#include <QWidget>

#include "app/platform.h"

namespace tolvanet::ui {

class QtPlatform : public Platform {
 public:
  void ShowMessage(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  std::optional<std::string> OpenFileName(const std::string& title,
                                          const std::string& filter) override;
  std::optional<std::string> SaveFileName(const std::string& title,
                                          const std::string& filter) override;
  void Pause(int ms) override;
  void ProcessEvents() override;
};

// UTF-8 <-> QString.
inline QString Q(const std::string& utf8) {
  return QString::fromStdString(utf8);
}
inline std::string S(const QString& text) {
  return text.toStdString();
}

}  // namespace tolvanet::ui
