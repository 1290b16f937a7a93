#include "settings/ui/field_input.h"

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/free_text.h"

namespace tolvanet::ui {

std::optional<std::string> FieldText(const QLineEdit* box, std::string_view caption) {
  const std::string text = S(box->text());
  if (!IsFreeText(text)) {
    ThePlatform().ShowMessage(FreeTextMessage(caption));
    return std::nullopt;
  }
  return ToCp1251(text);
}

}  // namespace tolvanet::ui
