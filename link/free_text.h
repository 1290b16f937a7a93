// The rule for text an operator types into a field of a command text: fields are separated by
// ";", so a ";" (or a control byte, which the frame itself uses) would shift every later field.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tolvanet {

// True when `text` can travel as one field: no ";" and no control characters.
bool IsFreeText(std::string_view text);

// The message for a box whose text cannot travel as one field; `caption` names the box (UTF-8).
std::string FreeTextMessage(std::string_view caption);

// Empty when `text` can travel as one field, else FreeTextMessage(caption).
std::string CheckFreeText(std::string_view text, std::string_view caption);

// True when `text`, which carries several fields of its own (an article line, a receipt line),
// holds no control character.
bool IsFieldsText(std::string_view text);

// Empty when IsFieldsText(text), else the message naming the box.
std::string CheckFieldsText(std::string_view text, std::string_view caption);

// The lines of a multi-line box as a list-box user sees them, each going into a command of its
// own: the text is split at each line end ("\n" or "\r\n"); a final line end makes no extra
// line, and an empty text has none.
std::vector<std::string> TextLines(std::string_view text);

}  // namespace tolvanet
