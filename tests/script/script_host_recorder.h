// A script host that records everything the runner shows, for tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "script/interpreter.h"

namespace tolvanet::testing {

class RecordingHost : public script::ScriptHost {
 public:
  std::vector<std::string> boxes;     // message boxes
  std::vector<std::string> lines;     // message-area lines, exchanges left out
  std::vector<std::string> exchange;  // "PC: ..." and "FP: ..." lines
  std::vector<int> pauses;
  std::vector<std::string> variable_events;
  std::string error_field, status_field, code_field;
  int line_count = -1;
  int repaints = 0;
  bool quiet = false;
  std::function<void()> on_messages;

  void AddMessageLine(const std::string& line) override {
    if (line.rfind("PC: ", 0) == 0 || line.rfind("FP: ", 0) == 0) {
      exchange.push_back(line);
    } else {
      lines.push_back(line);
    }
  }
  void ShowMessage(const std::string& text) override { boxes.push_back(text); }
  void VariableAdded(int number, const std::string& name) override {
    variable_events.push_back("+" + std::to_string(number) + " " + name);
  }
  void VariableChanged(int number, const std::string& name, const std::string& value) override {
    variable_events.push_back(std::to_string(number) + " " + name + "=" + value);
  }
  void LineCountChanged(int count) override { line_count = count; }
  void ProcessPendingMessages() override {
    if (on_messages)
      on_messages();
  }
  void Pause(int ms) override { pauses.push_back(ms); }
  void Repaint() override { ++repaints; }
  bool QuietOutput() override { return quiet; }
  void CommandFields(const std::string& code, const std::string&, const std::string&) override {
    code_field = code;
  }
  void ReplyFields(const std::string& error, const std::string& status) override {
    error_field = error;
    status_field = status;
  }
};

}  // namespace tolvanet::testing
