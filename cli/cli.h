// tolvanet-cli: the register from a terminal or a test rig.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tolvanet::cli {

enum ExitStatus {
  kExitOk = 0,
  kExitFailed = 1,        // the register answered with an error code or not at all; script error
  kExitUsage = 2,         // bad usage
  kExitNoConnection = 3,  // no connection, or the relay did not answer "Ready"
};

struct GlobalOptions {
  std::string address;
  int port = 34951;
  std::string id_dev;
  double timeout = 120;  // seconds of waiting for one answer
  std::optional<std::string> log;
  bool json = false;
  bool demo = false;
};

// Fills the defaults that fpinit.ini of the current directory gives (address, ID_DEV, log).
void ApplyConfigDefaults(GlobalOptions& options, bool address_given, bool id_given, bool log_given);

// The connection of one invocation: the relay link, registered, and (with --demo) the
// embedded simulator behind it.
class Session {
 public:
  Session();
  ~Session();
  // Connects and registers. Returns kExitOk, or the exit status with a message on stderr.
  int Open(GlobalOptions& options);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A command code: decimal ("33") or hexadecimal with 0x ("0x21"), 0..255.
std::optional<int> ParseCommandCode(const std::string& text);

// UTF-8 terminal text for Windows-1251 bytes; control bytes are shown as <XX>.
std::string TerminalText(const std::string& cp1251);

int RunSend(GlobalOptions& options, const std::vector<std::string>& arguments);
struct ScriptOptions {
  std::string file;
  std::optional<int> continue_from;
  std::optional<int> step_from;
  bool quiet = false;
};
int RunScript(GlobalOptions& options, const ScriptOptions& script);
int RunStatus(GlobalOptions& options, const std::string& password);
struct FiscalizeOptions {
  std::string serial_number;
  std::string inspector;  // tax inspector password, 6 characters
  std::string password = "406172";
  int attempts = 30;  // diagnostic commands at most while the register restarts
  bool yes = false;   // the answer to the question before fiscalization
};
int RunFiscalize(GlobalOptions& options, const FiscalizeOptions& fiscalize);

}  // namespace tolvanet::cli
