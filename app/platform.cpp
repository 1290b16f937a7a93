#include "app/platform.h"

#include <cctype>
#include <vector>

namespace tolvanet {

namespace {
SilentPlatform silent;
Platform* current = &silent;

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t at = text.find(separator, start);
    parts.emplace_back(text.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos)
      return parts;
    start = at + 1;
  }
}

std::string Lower(std::string s) {
  for (char& c : s)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The patterns of a filter, whichever way it is written.
std::vector<std::string> Patterns(std::string_view filter) {
  std::vector<std::string> patterns;
  if (filter.find('|') != std::string_view::npos) {
    const auto parts = Split(filter, '|');
    for (std::size_t i = 1; i < parts.size(); i += 2)
      for (const auto& p : Split(parts[i], ';'))
        patterns.push_back(p);
    return patterns;
  }
  for (const auto& group : Split(filter, ';')) {
    const auto open = group.find('(');
    const auto close = group.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
      continue;
    for (const auto& p : Split(group.substr(open + 1, close - open - 1), ' '))
      if (!p.empty())
        patterns.push_back(p);
  }
  return patterns;
}

}  // namespace

Platform& ThePlatform() {
  return *current;
}
void SetPlatform(Platform* platform) {
  current = platform != nullptr ? platform : &silent;
}

std::string ToolkitFilter(std::string_view filter) {
  if (filter.find('|') == std::string_view::npos)
    return std::string(filter);
  const auto parts = Split(filter, '|');
  std::string out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns;
    for (const auto& p : Split(parts[i + 1], ';')) {
      if (p.empty())
        continue;
      const std::string lower = Lower(p);
      patterns += (patterns.empty() ? "" : " ") + p;
      if (lower != p)
        patterns += " " + lower;
    }
    if (!out.empty())
      out += ";;";
    out += parts[i] + " (" + patterns + ")";
  }
  return out;
}

bool FilterMatches(std::string_view filter, std::string_view name) {
  const auto patterns = Patterns(filter);
  if (patterns.empty())
    return true;
  const std::string lower_name = Lower(std::string(name));
  for (const auto& p : patterns) {
    if (p == "*" || p == "*.*")
      return true;
    if (p.size() > 1 && p[0] == '*') {
      const std::string suffix = Lower(p.substr(1));
      if (lower_name.size() >= suffix.size() &&
          lower_name.compare(lower_name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return true;
    } else if (Lower(p) == lower_name) {
      return true;
    }
  }
  return false;
}

}  // namespace tolvanet
