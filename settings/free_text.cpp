#include "settings/free_text.h"

#include <algorithm>

namespace tolvanet {

bool IsFreeText(std::string_view cp1251) {
  return std::none_of(cp1251.begin(), cp1251.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b == ';' || b < 0x20 || b == 0x7F;
  });
}

std::string FreeTextError(std::string_view field) {
  return "Недопустимый символ в поле \"" + std::string(field) +
         "\": текст не может содержать \";\" и управляющие символы. Ничего не отправлено.";
}

}  // namespace tolvanet
