// tolvanet-cli: the register from a terminal or a test rig.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tolvanet {
struct ReplyRecord;
}

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

// The outcome of a reply for the terminal: true for success; else false with the message
// (time-out, damaged answer, device error message).
bool ReplyOutcome(const ReplyRecord& reply, std::string& message);

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
struct CardPayOptions {
  std::string amount;
  int type = 1;
  bool no_card_lines = false;
  std::optional<std::string> transaction;  // the typed-identifier path
  std::optional<std::string> terminal;     // else Terminal of fpinit.ini
  std::string password = "406172";
  double wait_seconds = 0;  // longest wait for the card and for the result; 0: the default
};
int RunCardPay(GlobalOptions& options, const CardPayOptions& pay);

struct ReportOptions {
  std::string kind;  // x, z, tape, tape-clear, unload, periodic, goods, extra, resources
  std::string password = "406172";
  bool yes = false;                        // z, tape-clear and unload cannot be undone
  std::optional<std::string> from, to;     // periodic by dates, YYYY-MM-DD
  std::optional<std::string> first, last;  // periodic by numbers; goods: article codes
  bool full = false;
  bool clear_articles = false;  // unload: also the article base (command 59)
  std::string extra_kind;
};
int RunReport(GlobalOptions& options, const ReportOptions& report);

struct FiscalizeOptions {
  std::string serial_number;
  std::string inspector;  // tax inspector password, 6 characters
  std::string password = "406172";
  int attempts = 30;  // diagnostic commands at most while the register restarts
  bool yes = false;   // the answer to the question before fiscalization
};
int RunFiscalize(GlobalOptions& options, const FiscalizeOptions& fiscalize);

}  // namespace tolvanet::cli
