#include "link/free_text.h"

#include "link/translate.h"

namespace tolvanet {

bool IsFreeText(std::string_view text) {
  for (unsigned char c : text) {
    if (c == ';' || c < 0x20 || c == 0x7F)
      return false;
  }
  return true;
}

std::string FreeTextMessage(std::string_view caption) {
  // The caption comes from a window in the original; shown in the interface's language.
  return TrArgs(Tr("Поле \"%1\" не может содержать символ \";\" и управляющие символы. Ошибка!"),
                {TrText(caption)});
}

std::string CheckFreeText(std::string_view text, std::string_view caption) {
  return IsFreeText(text) ? std::string() : FreeTextMessage(caption);
}

bool IsFieldsText(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F)
      return false;
  }
  return true;
}

std::string CheckFieldsText(std::string_view text, std::string_view caption) {
  if (IsFieldsText(text))
    return {};
  return TrArgs(Tr("Поле \"%1\" содержит управляющий символ. Ошибка!"), {TrText(caption)});
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
