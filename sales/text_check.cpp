#include "sales/text_check.h"

namespace tolvanet::sales {

std::string FieldTextError(std::string_view text, std::string_view label, bool allow_separator) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
      return "Поле \"" + std::string(label) +
             "\" содержит управляющий символ. Ничего не отправлено.";
    if (c == ';' && !allow_separator)
      return "Поле \"" + std::string(label) +
             "\" содержит недопустимый символ \";\". Ничего не отправлено.";
  }
  return {};
}

}  // namespace tolvanet::sales
