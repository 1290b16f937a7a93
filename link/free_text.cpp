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

std::string CheckFieldsText(std::string_view text, std::string_view caption) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F)
      return TrArgs(Tr("Поле \"%1\" содержит управляющий символ. Ошибка!"), {TrText(caption)});
  }
  return {};
}

}  // namespace tolvanet
