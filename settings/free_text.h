// Free texts that go into a command text (names, header lines, passwords): a ";" would shift
// the command's fields and a control byte would break the frame, so neither may appear.
#pragma once

#include <string>
#include <string_view>

namespace tolvanet {

// True when the Windows-1251 text has no ";" and no control byte (below 0x20, or 0x7F).
bool IsFreeText(std::string_view cp1251);

// The message for a text that IsFreeText refuses, naming the field (UTF-8, e.g. "Имя:").
std::string FreeTextError(std::string_view field);

}  // namespace tolvanet
