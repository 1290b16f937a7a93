#include "app/config.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/profile.h"

namespace tolvanet {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

}  // namespace

std::string ConfigPath(const std::string& directory) {
  if (directory.empty() || directory.back() == '/')
    return directory + kConfigFileName;
  return directory + "/" + kConfigFileName;
}

std::string CurrentConfigPath() {
  std::error_code ec;
  auto dir = std::filesystem::current_path(ec);
  return ConfigPath(ec ? std::string(".") : dir.string());
}

ConfigEnvironment CurrentConfigEnvironment() {
  auto variable = [](const char* name) {
    const char* value = std::getenv(name);
    return std::string(value != nullptr ? value : "");
  };
  std::error_code ec;
  auto dir = std::filesystem::current_path(ec);
  return {ec ? std::string(".") : dir.string(), variable("XDG_CONFIG_HOME"), variable("HOME")};
}

std::string LocateConfig(const std::string& chosen, const ConfigEnvironment& env) {
  namespace fs = std::filesystem;
  const fs::path current(env.current_directory);
  if (!chosen.empty())
    return (current / chosen).lexically_normal().string();
  const fs::path here = current / kConfigFileName;
  std::error_code ec;
  if (fs::is_regular_file(here, ec))
    return here.string();
  fs::path base(env.xdg_config_home);
  if (base.empty() || base.is_relative()) {
    if (env.home.empty())
      return here.string();
    base = fs::path(env.home) / ".config";
  }
  return (base / "tolvanet" / kConfigFileName).lexically_normal().string();
}

std::string SessionLogDirectory(const std::string& config_path) {
  return std::filesystem::path(config_path).parent_path().string();
}

bool CreateDefaultConfig(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  const auto folder = std::filesystem::path(path).parent_path();
  if (!folder.empty())
    std::filesystem::create_directories(folder, ec);
  bool ok = WritePrivateProfileString("CountryMode", "Country code", "0", path);
  ok = WritePrivateProfileString("Fiscal Printer", "ExtendedTax", "1", path) && ok;
  ok = WritePrivateProfileString("LogFile", "Log", "0", path) && ok;
  ok = WritePrivateProfileString("LogFile", "LogName", "tolvan.log", path) && ok;
  return ok;
}

StartupSettings LoadStartupSettings(const std::string& path) {
  StartupSettings s;
  s.address = GetPrivateProfileString("Communication", "Address", "", 30, path);
  s.id_dev = Upper(GetPrivateProfileString("Communication", "IDDEV", "", 10, path));
  s.use_id_def = LeadingInt(GetPrivateProfileString("Communication", "UseIDdef", "0", 10, path));
  return s;
}

ConnectionSettings LoadConnectionSettings(const std::string& path) {
  ConnectionSettings s;
  s.level = GetPrivateProfileString("Priority", "Level", "medium", 20, path);
  s.el_journal = GetPrivateProfileString("Priority", "ElJournal", "", 20, path);
  s.log = GetPrivateProfileInt("LogFile", "Log", 0, path);
  s.log_name = GetPrivateProfileString("LogFile", "LogName", "Tolvan.log", 300, path);
  return s;
}

bool SaveConnectionSettings(const std::string& path, const std::string& address,
                            const std::string& id_dev) {
  bool ok = WritePrivateProfileString("Communication", "Address", address, path);
  return WritePrivateProfileString("Communication", "IDDEV", id_dev, path) && ok;
}

FiscalParameterDialog ChooseFiscalParameterDialog(const std::string& path) {
  const int extended = GetPrivateProfileInt("Fiscal Printer", "ExtendedTax", 0, path);
  const bool high = LoadConnectionSettings(path).HighLevel();
  if (high || extended == 1)
    return FiscalParameterDialog::kExtended;
  if (extended == 0)
    return FiscalParameterDialog::kStandard;
  return FiscalParameterDialog::kIniError;
}

int CountryCode(const std::string& path) {
  return GetPrivateProfileInt("CountryMode", "Country code", 0, path);
}

}  // namespace tolvanet
