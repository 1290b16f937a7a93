#include "link/ean13.h"

#include <array>
#include <cstdint>

namespace tolvanet {

namespace {

// The R code of each digit as 7 bits, first module in bit 6. The L code is its complement and
// the G code its mirror image (ISO/IEC 15420).
constexpr std::array<std::uint8_t, 10> kRCode = {0x72, 0x66, 0x6C, 0x42, 0x5C,
                                                 0x4E, 0x50, 0x44, 0x48, 0x74};

// Parity of digits 2..7 for each first digit: bit 5 is digit 2, bit 0 digit 7; 1 = G, 0 = L.
constexpr std::array<std::uint8_t, 10> kParity = {0x00, 0x0B, 0x0D, 0x0E, 0x13,
                                                  0x19, 0x1C, 0x15, 0x16, 0x1A};

constexpr std::uint8_t Mirror7(std::uint8_t v) {
  std::uint8_t out = 0;
  for (int i = 0; i < 7; ++i) {
    if (v & (1u << i))
      out |= static_cast<std::uint8_t>(1u << (6 - i));
  }
  return out;
}

enum class Set { kL, kG, kR };

std::uint8_t Pattern(int digit, Set set) {
  const std::uint8_t r = kRCode[digit];
  switch (set) {
    case Set::kL:
      return static_cast<std::uint8_t>(~r & 0x7F);
    case Set::kG:
      return Mirror7(r);
    case Set::kR:
    default:
      return r;
  }
}

void PutBits(std::bitset<kEan13ImageModules>& row, int at, std::uint8_t pattern, int width) {
  for (int i = 0; i < width; ++i) {
    row[at + i] = ((pattern >> (width - 1 - i)) & 1) != 0;
  }
}

}  // namespace

bool IsEan13Digits(std::string_view twelve_digits) {
  if (twelve_digits.size() != 12)
    return false;
  for (char c : twelve_digits) {
    if (c < '0' || c > '9')
      return false;
  }
  return true;
}

int Ean13CheckDigit(std::string_view twelve_digits) {
  if (!IsEan13Digits(twelve_digits))
    return -1;
  int sum = 0;
  for (int i = 0; i < 12; ++i) {
    const int d = twelve_digits[i] - '0';
    sum += (i % 2 == 0) ? d : 3 * d;  // position i + 1: odd weighs 1, even weighs 3
  }
  return (10 - sum % 10) % 10;
}

std::bitset<kEan13ImageModules> Ean13Image(std::string_view twelve_digits) {
  std::bitset<kEan13ImageModules> row;
  const int check = Ean13CheckDigit(twelve_digits);
  if (check < 0)
    return row;
  std::array<int, 13> d{};
  for (int i = 0; i < 12; ++i)
    d[i] = twelve_digits[i] - '0';
  d[12] = check;

  PutBits(row, 9, 0b101, 3);  // start guard
  const std::uint8_t parity = kParity[d[0]];
  for (int k = 0; k < 6; ++k) {
    const bool g = ((parity >> (5 - k)) & 1) != 0;
    PutBits(row, 12 + 7 * k, Pattern(d[1 + k], g ? Set::kG : Set::kL), 7);
  }
  PutBits(row, 54, 0b01010, 5);  // centre guard
  for (int k = 0; k < 6; ++k) {
    PutBits(row, 59 + 7 * k, Pattern(d[7 + k], Set::kR), 7);
  }
  PutBits(row, 101, 0b101, 3);  // end guard
  return row;
}

std::string Ean13ModuleString(std::string_view twelve_digits) {
  const auto row = Ean13Image(twelve_digits);
  std::string out(kEan13ImageModules, '0');
  for (int i = 0; i < kEan13ImageModules; ++i) {
    if (row[i])
      out[i] = '1';
  }
  return out;
}

std::string Ean13ImageHex(std::string_view twelve_digits) {
  if (!IsEan13Digits(twelve_digits))
    return {};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto row = Ean13Image(twelve_digits);
  std::string out;
  out.reserve(kEan13ImageHexChars);
  for (int j = 0; j < kEan13ImageHexChars; ++j) {
    int nibble = 0;
    for (int b = 0; b < 4; ++b)
      nibble = (nibble << 1) | (row[4 * j + b] ? 1 : 0);
    out += kDigits[nibble];
  }
  return out;
}

}  // namespace tolvanet
