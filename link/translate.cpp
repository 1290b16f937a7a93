#include "link/translate.h"

#include <libintl.h>

namespace tolvanet {

namespace {
constexpr char kDomain[] = "tolvanet";
}

const char* Tr(const char* text) {
  if (text == nullptr || *text == '\0')
    return text;  // gettext would answer "" with the catalogue's header
  return dgettext(kDomain, text);
}

std::string TrText(std::string_view text) {
  if (text.empty())
    return {};
  const std::string key(text);
  return Tr(key.c_str());
}

std::string TrArgs(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(pattern.size() + 16);
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '%' && i + 1 < pattern.size()) {
      const char n = pattern[i + 1];
      if (n == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (n >= '1' && n <= '9') {
        const size_t index = static_cast<size_t>(n - '1');
        if (index < args.size())
          out += *(args.begin() + index);
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace tolvanet
