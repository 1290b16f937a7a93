// The script runner: executes script files of command lines and statements against a
// register, for the monitor window and the command-line tool alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "link/engine.h"
#include "script/script_source.h"

namespace tolvanet::script {

// Bounds of one run.
inline constexpr std::size_t kMaxVariables = 100;
inline constexpr std::size_t kMaxRecords = 100;  // If records and While records, each
inline constexpr std::size_t kMaxDepth = 100;    // If stack and While stack, each
inline constexpr std::size_t kMaxArguments = 20;
inline constexpr long long kMaxOperText = 65535;  // longest text Oper 8 builds

// What the runner needs from the window (or terminal) that hosts it. Message-area lines,
// variable names and values are Windows-1251 bytes; message boxes are UTF-8.
class ScriptHost {
 public:
  virtual ~ScriptHost() = default;
  // One line of the message area.
  virtual void AddMessageLine(const std::string& line) = 0;
  // A modal message box.
  virtual void ShowMessage(const std::string& text) = 0;
  // The variables window: a new row (numbered from 1), a changed value.
  virtual void VariableAdded(int /*number*/, const std::string& /*name*/) {}
  virtual void VariableChanged(int /*number*/, const std::string& /*name*/,
                               const std::string& /*value*/) {}
  // The count of lines read ("Ном. стр. скрипта:").
  virtual void LineCountChanged(int /*count*/) {}
  // Lets the host handle pending events; its stop button calls Interpreter::RequestStop.
  virtual void ProcessPendingMessages() {}
  // Delay: blocks for that many milliseconds.
  virtual void Pause(int /*milliseconds*/) {}
  // Repaint, unless the host's "Не перерисовывать форму" is checked.
  virtual void Repaint() {}
  // "Не выводить данные": exchanges of successful command lines and shown comments are
  // left out of the message area.
  virtual bool QuietOutput() { return false; }
  // The command panel's code, password and data fields, filled from a command line.
  virtual void CommandFields(const std::string& /*code*/, const std::string& /*password*/,
                             const std::string& /*data*/) {}
  // The error-code and status fields.
  virtual void ReplyFields(const std::string& /*error_code*/, const std::string& /*status*/) {}
  // Every reply of a command line or RunCommand; the host keeps it as the current reply.
  virtual void ReplyReceived(const ReplyRecord& /*reply*/) {}
};

enum class RunOutcome {
  kEndOfFile,  // the run read the whole file ("Конец файла!")
  kStepDone,   // "Шаг" executed its line
  kStopped,    // the stop request ended it
  kError,      // a message of the failure table (or a bound) ended it
  kRefused,    // another run was under way
};

struct Variable {
  std::string name;
  std::string value;
};

class Interpreter {
 public:
  Interpreter(Engine& engine, ScriptHost& host);
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Makes `path` the chosen file: the line count goes to 0 and the variables are cleared.
  void SetFile(std::string path);
  const std::string& file() const { return file_; }

  // The count of lines read; "Продолжить" and "Шаг" start after it.
  int line_count() const { return line_count_; }
  void set_line_count(int count) { line_count_ = count < 0 ? 0 : count; }

  void RequestStop() { stop_ = true; }
  bool stop_requested() const { return stop_; }
  // A fixed seed for Oper 7 (otherwise each full run seeds from the clock).
  void SetRandomSeed(std::uint32_t seed) { fixed_seed_ = seed; }

  // "Выполнить": the whole language, from the first line.
  RunOutcome Run();
  // "Продолжить": command lines and comments from the line after line_count().
  RunOutcome Continue();
  // "Шаг": the next command line after line_count().
  RunOutcome Step();

  bool running() const { return running_; }
  const std::vector<Variable>& variables() const { return variables_; }
  // The message that ended the last run with an error (UTF-8); empty otherwise.
  const std::string& error_message() const { return error_; }

 private:
  enum class Decl { kNone, kOpen, kDeclaring, kClosed };
  enum class Op { kLess, kLessEqual, kEqual, kGreater, kGreaterEqual };
  enum class WhileStatus { kNew, kLooping, kFinished };

  struct Operand {
    int variable = -1;  // place in the variable table, or -1 for a literal
    std::string literal;
  };
  struct Condition {
    Operand left, right;
    Op op = Op::kEqual;
  };
  struct IfRecord {
    std::size_t position = 0;
    std::optional<std::size_t> then_pos, else_pos, endif_pos;
    bool then_seen = false, else_seen = false;
    Condition condition;
    bool result = false;
    std::size_t depth = 0;
  };
  struct WhileRecord {
    std::size_t position = 0;
    std::optional<std::size_t> end_pos;
    WhileStatus status = WhileStatus::kNew;
    Condition condition;
    bool result = false;
  };

  // Each returns false when the run ends (outcome_ says how).
  bool Execute(std::string_view line);
  bool CommandLine(std::string_view line);
  bool DeclareBeg(std::string_view body);
  bool New(std::string_view body);
  bool DeclareEnd();
  bool Delay(std::string_view body);
  bool Set(std::string_view body);
  bool If(std::string_view body, std::string_view line);
  bool Then();
  bool Else();
  bool EndIf();
  bool While(std::string_view body, std::string_view line);
  bool EndWhile();
  bool RunCommand(std::string_view body, std::string_view line);
  bool Oper(std::string_view body, std::string_view line);
  bool Print(std::string_view body);

  // What sets the three ways of running apart; one loop runs them all.
  struct RunMode {
    // The whole language from the first line with a fresh run state ("Выполнить"); otherwise
    // command lines and comments only, after the lines line_count() says were read.
    bool language = true;
    // The first line that is not empty ends the run, without looking at the stop request
    // ("Шаг").
    bool single_line = false;
  };
  RunOutcome RunLines(const RunMode& mode);
  void CarryOutSearch();
  bool BeginRun();
  bool OpenSource();
  void SkipLines(int count);
  void SetLineCount(int count);
  void StopBeforeLine();
  RunOutcome EndOfFile();
  void ResetRun();
  bool Fail(const std::string& message);
  bool FailWithLine(const std::string& message, std::string_view line);
  bool ConversionError(std::string_view text);
  bool InDeclarationsOrNone() const { return decl_ == Decl::kNone || decl_ == Decl::kOpen; }
  bool Shown(std::string_view body);
  bool CheckReply(const ReplyRecord& reply);

  int FindVariable(std::string_view name) const;
  std::optional<Condition> ParseCondition(std::string_view text, bool is_if, std::string_view line);
  std::optional<bool> Evaluate(const Condition& c);
  // A RunCommand or Oper argument: a variable's value, a number as written, or a quoted text.
  std::optional<std::string> Resolve(std::string_view arg, bool* quoted) const;
  // "%Ret<n>": false when `text` is not of that form; otherwise `value` gets answer field n,
  // and the run ends (result false, `ok` false) when n is beyond the last field.
  bool RetField(std::string_view text, std::string* value, bool* ok);

  Engine& engine_;
  ScriptHost& host_;
  std::string file_;
  ScriptSource source_;
  int line_count_ = 0;
  bool stop_ = false;
  bool running_ = false;
  std::optional<std::uint32_t> fixed_seed_;
  std::mt19937 random_;
  RunOutcome outcome_ = RunOutcome::kEndOfFile;
  std::string error_;

  // State of a full run.
  std::size_t line_pos_ = 0;  // position of the line being executed
  std::optional<std::string> search_;
  Decl decl_ = Decl::kNone;
  bool just_closed_ = false;
  std::string prefix_;
  std::vector<Variable> variables_;
  std::vector<IfRecord> ifs_;
  std::vector<WhileRecord> whiles_;
  std::vector<int> if_stack_;
  std::vector<int> while_stack_;
};

}  // namespace tolvanet::script
