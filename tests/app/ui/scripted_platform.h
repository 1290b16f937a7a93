// The platform layer for window tests: records every message, question and file choice with
// its caption, title and filter, answers them from a script, and makes pauses instant.
#pragma once

#include <QCoreApplication>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/platform.h"

namespace tolvanet::testing {

class ScriptedPlatform : public Platform {
 public:
  std::vector<std::string> messages;  // texts of the message boxes, in order
  std::vector<std::string> captions;  // their captions (empty: the program's name)
  std::vector<std::string> questions;
  std::vector<QuestionOptions> asked;            // the questions whole (caption, default answer)
  std::deque<bool> answers;                      // for the questions; OK when empty
  std::deque<std::optional<std::string>> files;  // for the file choices; cancel when empty
  std::vector<FileDialogOptions> file_dialogs;   // every file choice shown, in order
  std::vector<int> pauses;
  std::vector<bool> pause_input;  // whether each pause took user input
  // Runs at every pending-message pass (the link calls it while it waits).
  std::function<void()> on_process_events;
  // Runs when a message box would be shown (after it is recorded).
  std::function<void(const std::string&)> on_message;
  int process_events_calls = 0;

  void Message(const std::string& caption, const std::string& text) override {
    messages.push_back(text);
    captions.push_back(caption);
    if (on_message)
      on_message(text);
  }
  bool Ask(const QuestionOptions& q) override {
    questions.push_back(q.text);
    asked.push_back(q);
    if (answers.empty())
      return true;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> OpenFile(const FileDialogOptions& o) override { return NextFile(o); }
  std::optional<std::string> SaveFile(const FileDialogOptions& o) override { return NextFile(o); }
  void Wait(int ms, bool take_input) override {
    pauses.push_back(ms);
    pause_input.push_back(take_input);
  }
  void ProcessEvents() override {
    ++process_events_calls;
    QCoreApplication::processEvents();
    if (on_process_events)
      on_process_events();
  }

 private:
  std::optional<std::string> NextFile(const FileDialogOptions& o) {
    file_dialogs.push_back(o);
    if (files.empty())
      return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace tolvanet::testing
