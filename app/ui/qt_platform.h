// The platform layer on Qt: message boxes, questions, file dialogs, pauses.
#pragma once

#include <QWidget>

#include "app/platform.h"
#include "link/translate.h"

namespace tolvanet::ui {

class QtPlatform : public Platform {
 public:
  void Message(const std::string& caption, const std::string& text) override;
  bool Ask(const QuestionOptions& question) override;
  std::optional<std::string> OpenFile(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFile(const FileDialogOptions& options) override;
  void Wait(int ms, bool take_input) override;
  void ProcessEvents() override;
};

// UTF-8 <-> QString.
inline QString Q(const std::string& utf8) {
  return QString::fromStdString(utf8);
}
inline std::string S(const QString& text) {
  return text.toStdString();
}
// An original interface text, translated, as a QString.
inline QString QTr(const char* text) {
  return QString::fromUtf8(Tr(text));
}

}  // namespace tolvanet::ui
