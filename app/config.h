// The program's configuration file fpinit.ini: its keys, their defaults and its creation.
#pragma once

#include <array>
#include <string>

namespace tolvanet {

inline constexpr char kConfigFileName[] = "fpinit.ini";

// The configuration path for a program directory: the directory followed by "/fpinit.ini".
std::string ConfigPath(const std::string& directory);

// The path in the process's current directory.
std::string CurrentConfigPath();

// What the configuration file's location depends on besides the command line.
struct ConfigEnvironment {
  std::string current_directory;
  std::string xdg_config_home;  // empty when the variable is unset
  std::string home;             // empty when the variable is unset
};

// The environment of this process.
ConfigEnvironment CurrentConfigEnvironment();

// The configuration file a program uses, as an absolute path: the file chosen on the command
// line (`chosen`, relative to the current directory) when there is one; else fpinit.ini of the
// current directory when it exists there, so that setups kept beside the program work as
// before; else $XDG_CONFIG_HOME/tolvanet/fpinit.ini, where an unset, empty or relative
// XDG_CONFIG_HOME stands for $HOME/.config. Without a home either, the current directory.
std::string LocateConfig(const std::string& chosen, const ConfigEnvironment& env);

// The folder in which a relative session log name from the configuration is taken: the
// configuration file's own.
std::string SessionLogDirectory(const std::string& config_path);

// Creates the file with exactly its default keys, in this order: CountryMode / Country code
// = 0, Fiscal Printer / ExtendedTax = 1, LogFile / Log = 0, LogFile / LogName = tolvan.log.
// An existing file is replaced; missing folders above it are made. False when it cannot be
// written.
bool CreateDefaultConfig(const std::string& path);

// The Communication keys read at the main window's activation.
struct StartupSettings {
  std::string address;  // Address, at most 29 characters
  std::string id_dev;   // IDDEV, at most 9 characters, upper-cased
  int use_id_def = 0;   // UseIDdef, read as text and taken as its leading number
  // What the ID_DEV field shows: the upper-cased IDDEV when UseIDdef is 1, else empty.
  std::string IdDevField() const { return use_id_def == 1 ? id_dev : std::string(); }
};
StartupSettings LoadStartupSettings(const std::string& path);

// The keys read at each connection.
struct ConnectionSettings {
  std::string level = "medium";         // Priority / Level
  std::string el_journal;               // Priority / ElJournal
  int log = 0;                          // LogFile / Log
  std::string log_name = "Tolvan.log";  // LogFile / LogName
  bool HighLevel() const { return level == "high"; }
  // The session log file name to set: empty when logging is off.
  std::string LogFileName() const { return log != 0 ? log_name : std::string(); }
};
ConnectionSettings LoadConnectionSettings(const std::string& path);

// Writes Communication / Address and IDDEV (empty texts as empty values).
bool SaveConnectionSettings(const std::string& path, const std::string& address,
                            const std::string& id_dev);

enum class FiscalParameterDialog { kStandard, kExtended, kIniError };

// Which fiscal-parameter dialog the menu opens, by ExtendedTax and Level. kIniError stands
// for the message "Ошибка в ini-файле. Параметр ExtendedTax!".
FiscalParameterDialog ChooseFiscalParameterDialog(const std::string& path);

// CountryMode / Country code (0 when missing).
int CountryCode(const std::string& path);

}  // namespace tolvanet
