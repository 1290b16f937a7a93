// What the program needs from its windowing system, behind one small interface: message
// boxes, OK/Cancel questions, file choices, pauses and pending-message processing. The
// program installs the toolkit's; tests install a scripted one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tolvanet {

// A file choice as a window asks for it.
struct FileDialogOptions {
  std::string title;
  // Either "text|*.EXT|text|*.EXT" (pairs of a description and patterns separated by ";") or
  // the toolkit's own "text (*.ext);;text (*)". Extensions match in both cases on Linux.
  std::string filter;
  std::string default_suffix;  // added to a typed name without one ("art", no dot)
  std::string folder;          // start folder; empty: the current directory
  std::string file_name;       // proposed name
  // Saving: the window asks its own overwrite question, so the dialog must not ask one too.
  bool own_overwrite_question = false;
};

// A question with OK and Cancel.
struct QuestionOptions {
  std::string caption;
  std::string text;
  bool default_cancel = false;  // Enter answers "Cancel" (for what cannot be undone)
};

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box (UTF-8 text); an empty caption gives the program's name.
  virtual void Message(const std::string& caption, const std::string& text) = 0;
  // An OK/Cancel question; true for OK.
  virtual bool Ask(const QuestionOptions& question) = 0;
  // File choices; nothing when the user cancels.
  virtual std::optional<std::string> OpenFile(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFile(const FileDialogOptions& options) = 0;
  // Waits `ms` milliseconds while the windows stay painted; with `take_input` false, clicks and
  // keys wait until the pause is over (the steps of connecting and closing).
  virtual void Wait(int ms, bool take_input) = 0;
  // Handles pending window messages (painting, button presses).
  virtual void ProcessEvents() = 0;

  // The everyday forms of the above.
  void ShowMessage(const std::string& text) { Message({}, text); }
  bool Confirm(const std::string& text) { return Ask({{}, text, false}); }
  std::optional<std::string> OpenFileName(const std::string& title, const std::string& filter) {
    return OpenFile({title, filter, {}, {}, {}, false});
  }
  std::optional<std::string> SaveFileName(const std::string& title, const std::string& filter) {
    return SaveFile({title, filter, {}, {}, {}, false});
  }
  void Pause(int ms) { Wait(ms, true); }
  void PauseWithoutInput(int ms) { Wait(ms, false); }
};

// A platform that shows nothing and waits for nothing: the default until a program installs
// its own.
class SilentPlatform : public Platform {
 public:
  void Message(const std::string&, const std::string&) override {}
  bool Ask(const QuestionOptions&) override { return false; }
  std::optional<std::string> OpenFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(const FileDialogOptions&) override { return std::nullopt; }
  void Wait(int, bool) override {}
  void ProcessEvents() override {}
};

Platform& ThePlatform();
// Installs `platform` (not owned); nullptr brings back the silent one.
void SetPlatform(Platform* platform);

// A filter written "text|*.EXT|text|*.A;*.B" in the toolkit's form "text (*.EXT *.ext);;text
// (*.A *.a *.B *.b)": every extension matches in upper and lower case. A filter without "|" is
// returned as it is.
std::string ToolkitFilter(std::string_view filter);

// Whether `name` matches one of the filter's patterns ("*.ART" matches "x.art"; "*" and "*.*"
// match all). An empty filter matches everything.
bool FilterMatches(std::string_view filter, std::string_view name);

}  // namespace tolvanet
