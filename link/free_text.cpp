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

}  // namespace tolvanet
