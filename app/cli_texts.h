// The words CLI11 writes into --help and its error messages of its own, in the interface's
// language; and the --lang option every command-line program takes.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "link/translate.h"

namespace tolvanet {

// Call on a new app before any option is added (the group of the options is taken then).
inline void TranslateCliTexts(CLI::App& app) {
  auto formatter = app.get_formatter();
  // The value types (TEXT, INT, ...) stay as they are: the help's columns are counted in bytes.
  for (const char* label :
       {TrNoop("Usage"), TrNoop("OPTIONS"), TrNoop("SUBCOMMAND"), TrNoop("SUBCOMMANDS"),
        TrNoop("POSITIONALS"), TrNoop("REQUIRED"), TrNoop("Needs"), TrNoop("Excludes")})
    formatter->label(label, Tr(label));
  app.option_defaults()->group(Tr("Options"));
  app.set_help_flag("-h,--help", Tr("Print this help message and exit"));
}

// The --lang option (the language itself is chosen from the command line before the app is
// built: ScanOption in app/language.h).
inline void AddLanguageOption(CLI::App& app, std::string& value) {
  app.add_option("--lang", value, Tr("interface language: uk, en or ru (the original texts)"));
}

}  // namespace tolvanet
