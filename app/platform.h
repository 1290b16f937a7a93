// What the program needs from its windowing system, behind one small interface: message
// boxes, OK/Cancel questions, file choices, pauses and pending-message processing. The
// program installs the toolkit's; tests install a scripted one.
#pragma once

#include <optional>
#include <string>

namespace tolvanet {

class Platform {
 public:
  virtual ~Platform() = default;
  // A modal message box (UTF-8 text).
  virtual void ShowMessage(const std::string& text) = 0;
  // An OK/Cancel question; true for OK.
  virtual bool Confirm(const std::string& text) = 0;
  // File choices; nothing when the user cancels. `filter` is like "Скрипты (*.txt);;Все (*)".
  virtual std::optional<std::string> OpenFileName(const std::string& title,
                                                  const std::string& filter) = 0;
  virtual std::optional<std::string> SaveFileName(const std::string& title,
                                                  const std::string& filter) = 0;
  // Waits `ms` milliseconds while the windows stay painted and responsive.
  virtual void Pause(int ms) = 0;
  // Handles pending window messages (painting, button presses).
  virtual void ProcessEvents() = 0;
};

// A platform that shows nothing and waits for nothing: the default until a program installs
// its own.
class SilentPlatform : public Platform {
 public:
  void ShowMessage(const std::string&) override {}
  bool Confirm(const std::string&) override { return false; }
  std::optional<std::string> OpenFileName(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> SaveFileName(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void Pause(int) override {}
  void ProcessEvents() override {}
};

Platform& ThePlatform();
// Installs `platform` (not owned); nullptr brings back the silent one.
void SetPlatform(Platform* platform);

}  // namespace tolvanet
