#include "link/free_text.h"

namespace tolvanet {

bool IsFreeText(std::string_view text) {
  for (unsigned char c : text) {
    if (c == ';' || c < 0x20 || c == 0x7F)
      return false;
  }
  return true;
}

std::string FreeTextMessage(std::string_view caption) {
  return "Поле \"" + std::string(caption) +
         "\" не может содержать символ \";\" и управляющие символы. Ошибка!";
}

std::string CheckFreeText(std::string_view text, std::string_view caption) {
  return IsFreeText(text) ? std::string() : FreeTextMessage(caption);
}

std::string CheckFieldsText(std::string_view text, std::string_view caption) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F)
      return "Поле \"" + std::string(caption) + "\" содержит управляющий символ. Ошибка!";
  }
  return {};
}

std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos)
      break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace tolvanet
