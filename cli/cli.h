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
  std::string log_directory;  // where a relative log name is taken; empty: current directory
  bool json = false;
  bool demo = false;
  std::string tape;    // --tape with --demo: the built-in register's receipt tape ("-": stdout)
  std::string config;  // --config: the configuration file chosen on the command line
};

// The configuration file the options lead to (see LocateConfig).
std::string ConfigFile(const GlobalOptions& options);

// Fills the defaults that the configuration file gives (address, ID_DEV, log; a relative log
// name is taken beside the configuration file).
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

// An option's UTF-8 text as the register takes it (Windows-1251). Nothing, with
// "<what> есть символы, которых нет в Windows-1251." on stderr, when it is not UTF-8 or holds a
// character that Windows-1251 lacks.
std::optional<std::string> OptionText(const std::string& utf8, const std::string& what);

// A password option as the register takes it: Windows-1251, and one field of a command text
// (no ";", no control character). Nothing, with a message on stderr that starts with
// "<command>: ", otherwise.
std::optional<std::string> PasswordOption(const std::string& command, const std::string& utf8);

int RunSend(GlobalOptions& options, const std::vector<std::string>& arguments);
struct ScriptOptions {
  std::string file;
  std::optional<int> continue_from;
  std::optional<int> step_from;
  bool quiet = false;
};
int RunScript(GlobalOptions& options, const ScriptOptions& script);
int RunStatus(GlobalOptions& options, const std::string& password);
// Writes every line of an article file with AddArticul; exit 0 when every line was written.
int RunArticles(GlobalOptions& options, const std::string& file, const std::string& password);
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

// firmware, flash dump|restore|erase, logo.
struct TransferOptions {
  std::string password = "406172";
  std::string file;
  std::string action;  // flash: "dump", "restore" or "erase"
  std::string start;   // decimal digits, checked by the loop's rules
  std::string count;
  int repeats = 2;
  bool yes = false;
  std::optional<int> width;
  std::optional<int> height;
};
int RunFirmware(GlobalOptions& options, const TransferOptions& transfer);
int RunFlash(GlobalOptions& options, const TransferOptions& transfer);
int RunLogo(GlobalOptions& options, const TransferOptions& transfer);

struct FiscalizeOptions {
  std::string serial_number;
  std::string inspector;  // tax inspector password, 6 characters
  std::string password = "406172";
  int attempts = 30;  // diagnostic commands at most while the register restarts
  bool yes = false;   // the answer to the question before fiscalization
};
int RunFiscalize(GlobalOptions& options, const FiscalizeOptions& fiscalize);

}  // namespace tolvanet::cli
