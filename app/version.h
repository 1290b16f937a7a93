// The program version and what --version prints.
#pragma once

#include <string>

namespace tolvanet {

// The project version, e.g. "0.1.0".
const char* Version();

// What --version prints: the program name and version on the first line, then the
// configuration file in use (or the word "none" when the program reads none), then the
// interface language in use. The labels stay English whatever the language: scripts read them.
std::string VersionText(const std::string& program, const std::string& config_path);

}  // namespace tolvanet
