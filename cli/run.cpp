// run: a script in full, from a line count ("Продолжить") or one line ("Шаг").
#include <csignal>
#include <iostream>
#include <thread>

#include "cli/cli.h"
#include "link/engine.h"
#include "link/translate.h"
#include "script/interpreter.h"

namespace tolvanet::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
  g_interrupted = 1;
}

// The terminal as the script's window: the message area is standard output, message boxes
// go to standard error, and Ctrl+C is the stop button.
class TerminalHost : public script::ScriptHost {
 public:
  TerminalHost(bool quiet) : quiet_(quiet) {}
  void set_interpreter(script::Interpreter* interpreter) { interpreter_ = interpreter; }

  void AddMessageLine(const std::string& line) override {
    std::cout << TerminalText(line) << "\n" << std::flush;
  }
  void ShowMessage(const std::string& text) override { std::cerr << text << "\n" << std::flush; }
  // The window shows these in its fields; here they go before the message of a failed line.
  void ReplyFields(const std::string& error_code, const std::string& status) override {
    if (error_code == "0000")
      return;
    std::cerr << Tr("Код ошибки: ") << TerminalText(error_code) << "\n"
              << Tr("Статус: ") << status << "\n";
  }
  void ProcessPendingMessages() override {
    if (g_interrupted && interpreter_)
      interpreter_->RequestStop();
  }
  void Pause(int milliseconds) override {
    // In slices, so that Ctrl+C does not wait for a long Delay to end.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!g_interrupted && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
          end - std::chrono::steady_clock::now(), std::chrono::milliseconds(50)));
    }
  }
  bool QuietOutput() override { return quiet_; }

 private:
  bool quiet_;
  script::Interpreter* interpreter_ = nullptr;
};

}  // namespace

int RunScript(GlobalOptions& options, const ScriptOptions& script) {
  Session session;
  if (int rc = session.Open(options); rc != kExitOk)
    return rc;

  TerminalHost host(script.quiet);
  script::Interpreter interpreter(TheEngine(), host);
  host.set_interpreter(&interpreter);
  interpreter.SetFile(script.file);
  g_interrupted = 0;
  auto previous = std::signal(SIGINT, OnInterrupt);

  script::RunOutcome outcome;
  if (script.continue_from) {
    interpreter.set_line_count(*script.continue_from);
    outcome = interpreter.Continue();
  } else if (script.step_from) {
    interpreter.set_line_count(*script.step_from);
    outcome = interpreter.Step();
  } else {
    outcome = interpreter.Run();
  }
  std::signal(SIGINT, previous);
  if (outcome == script::RunOutcome::kStopped)
    std::cerr << Tr("Выполнение остановлено.\n");
  std::cerr << Tr("Ном. стр. скрипта: ") << interpreter.line_count() << "\n";
  return outcome == script::RunOutcome::kEndOfFile || outcome == script::RunOutcome::kStepDone
             ? kExitOk
             : kExitFailed;
}

}  // namespace tolvanet::cli
