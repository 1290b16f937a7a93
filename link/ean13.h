// The EAN-13 bar-code image that PrintEAN13Code sends.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

namespace tolvanet {

inline constexpr int kEan13ImageModules = 128;
inline constexpr int kEan13ImageHexChars = kEan13ImageModules / 4;

// True when the text is exactly 12 characters, each 0-9.
bool IsEan13Digits(std::string_view twelve_digits);

// The check digit over 12 digits: weights 1, 3, 1, 3, ... from the left;
// (10 - sum mod 10) mod 10. -1 when the text is not 12 digits.
int Ean13CheckDigit(std::string_view twelve_digits);

// The 128-module row for 12 digits (the check digit is appended): modules 0..8 zero, start guard
// at 9..11, six L/G-coded digits at 12..53, centre guard at 54..58, six R-coded digits at
// 59..100, end guard at 101..103, modules 104..127 zero. Bit i of the result is module i.
// All zero when the text is not 12 digits.
std::bitset<kEan13ImageModules> Ean13Image(std::string_view twelve_digits);

// The row as 128 characters '0'/'1', module 0 first (for tests and logs).
std::string Ean13ModuleString(std::string_view twelve_digits);

// The row as 32 upper-case hexadecimal characters, modules 4j..4j+3 per character with the
// first module as the most significant bit. Empty when the text is not 12 digits.
std::string Ean13ImageHex(std::string_view twelve_digits);

}  // namespace tolvanet
