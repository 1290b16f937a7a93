// Choosing the interface language when a program starts: --lang, else Language in section
// Interface of the configuration file, else the usual locale variables.
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace tolvanet {

// The value of option `name` ("--lang") as a parser would take it from the command line,
// "--lang uk" or "--lang=uk", the last one winning; nothing when it is not there. Stops at
// "--", after which everything is an operand.
std::optional<std::string> ScanOption(int argc, const char* const* argv, const std::string& name);

// The language a program uses: `option` (--lang) when given, else Interface / Language of the
// configuration file `config_path` when it has one (an empty path: no file), else the locale
// variables of the process. An unknown value is named on `err` and gives the original texts.
std::string ChooseLanguage(const std::optional<std::string>& option, const std::string& config_path,
                           std::ostream& err);

// ChooseLanguage, then switches the interface to that language. Returns its code.
std::string StartLanguage(const std::optional<std::string>& option, const std::string& config_path,
                          std::ostream& err);

}  // namespace tolvanet
