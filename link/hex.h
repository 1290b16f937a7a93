// Hexadecimal text codecs for binary data inside command texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvanet {

// Two upper-case hexadecimal digits, high digit first.
std::string HexByte(std::uint8_t b);

// Every byte as two upper-case hexadecimal digits.
std::string HexEncode(std::string_view bytes);

// The value of one hexadecimal digit (either case), or -1.
int HexDigitValue(char c);

// Decodes pairs of hexadecimal digits (either case); nothing when the text has an odd length
// or a character that is not a hexadecimal digit.
std::optional<std::string> HexDecode(std::string_view text);

// Escaped raw text: a backslash followed by a character stands for that character's code
// minus 0x40. A trailing lone backslash is kept as it is.
std::string Unescape(std::string_view text);

// The inverse of Unescape: control bytes, ";", "\\" and bytes that would read as control bytes
// after the frame's own bytes are written as a backslash and the byte's code plus 0x40.
std::string Escape(std::string_view bytes);

}  // namespace tolvanet
