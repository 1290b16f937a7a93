// Windows-1251 <-> UTF-8 conversion for the edges (windows, terminal, files meant for people).
#pragma once

#include <string>
#include <string_view>

namespace tolvanet {

// UTF-8 text to Windows-1251 bytes; characters without a Windows-1251 form become "?".
std::string ToCp1251(std::string_view utf8);

// Windows-1251 bytes to UTF-8 text.
std::string FromCp1251(std::string_view cp1251);

// True when the bytes form valid UTF-8 (plain ASCII included).
bool IsValidUtf8(std::string_view bytes);

}  // namespace tolvanet
