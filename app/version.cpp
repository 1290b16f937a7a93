#include "app/version.h"

#include "link/translate.h"
#include "tolvanet_version.h"

namespace tolvanet {

const char* Version() {
  return TOLVANET_VERSION;
}

std::string VersionText(const std::string& program, const std::string& config_path) {
  return program + " " + Version() +
         "\nConfiguration file: " + (config_path.empty() ? std::string("none") : config_path) +
         "\nLanguage: " + LanguageDisplayName() + "\n";
}

}  // namespace tolvanet
