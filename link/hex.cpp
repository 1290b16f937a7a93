#include "link/hex.h"

namespace tolvanet {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

std::string HexByte(std::uint8_t b) {
  return {kDigits[b >> 4], kDigits[b & 0x0F]};
}

std::string HexEncode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 0x0F];
  }
  return out;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

std::optional<std::string> HexDecode(std::string_view text) {
  if (text.size() % 2 != 0)
    return std::nullopt;
  std::string out;
  out.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int hi = HexDigitValue(text[i]);
    int lo = HexDigitValue(text[i + 1]);
    if (hi < 0 || lo < 0)
      return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      out += static_cast<char>(static_cast<unsigned char>(text[i + 1]) - 0x40);
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Escape(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x20 || c == ';' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c + 0x40);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace tolvanet
