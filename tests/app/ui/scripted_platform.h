// The platform layer for window tests: records every message, answers questions and file
// choices from a script, and makes pauses instant.
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
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<bool> answers;                      // for Confirm; OK when empty
  std::deque<std::optional<std::string>> files;  // for the file choices; cancel when empty
  std::vector<int> pauses;
  // Runs at every pending-message pass (the link calls it while it waits).
  std::function<void()> on_process_events;
  int process_events_calls = 0;

  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool Confirm(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty())
      return true;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> OpenFileName(const std::string&, const std::string&) override {
    return NextFile();
  }
  std::optional<std::string> SaveFileName(const std::string&, const std::string&) override {
    return NextFile();
  }
  void Pause(int ms) override { pauses.push_back(ms); }
  void ProcessEvents() override {
    ++process_events_calls;
    QCoreApplication::processEvents();
    if (on_process_events)
      on_process_events();
  }

 private:
  std::optional<std::string> NextFile() {
    if (files.empty())
      return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace tolvanet::testing
