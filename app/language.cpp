#include "app/language.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "app/profile.h"
#include "link/translate.h"

namespace tolvanet {

std::optional<std::string> ScanOption(int argc, const char* const* argv, const std::string& name) {
  std::optional<std::string> value;
  const std::string with_equals = name + "=";
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    if (arg == "--")
      break;
    if (arg == name) {
      if (i + 1 < argc) {
        value = argv[i + 1];
        ++i;
      } else {
        value = std::string();  // the parser will complain about the missing value
      }
    } else if (arg.starts_with(with_equals)) {
      value = std::string(arg.substr(with_equals.size()));
    }
  }
  return value;
}

std::string ChooseLanguage(const std::optional<std::string>& option, const std::string& config_path,
                           std::ostream& err) {
  auto checked = [&err](const std::string& value, const char* where) {
    std::string code = value;
    for (char& c : code)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (IsInterfaceLanguage(code))
      return code;
    err << TrArgs(
               "Unknown interface language \"%1\" (%2): use uk, en or ru. The original texts "
               "are shown.",
               {value, where})
        << "\n";
    return std::string(kOriginalLanguage);
  };
  if (option)
    return checked(*option, "--lang");
  std::error_code ec;
  if (!config_path.empty() && std::filesystem::is_regular_file(config_path, ec)) {
    const std::string value = GetPrivateProfileString("Interface", "Language", "", 64, config_path);
    if (!value.empty())
      return checked(value, "Interface / Language");
  }
  return LanguageFromEnvironment([](const char* name) { return std::getenv(name); });
}

std::string StartLanguage(const std::optional<std::string>& option, const std::string& config_path,
                          std::ostream& err) {
  const std::string code = ChooseLanguage(option, config_path, err);
  UseLanguage(code);
  return code;
}

}  // namespace tolvanet
