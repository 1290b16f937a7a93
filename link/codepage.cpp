#include "link/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace tolvanet {

namespace {

std::string Convert(const char* to, const char* from, std::string_view in, char replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    return std::string(in);
  std::string out;
  std::vector<char> buf(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  while (src_left > 0) {
    char* dst = buf.data();
    std::size_t dst_left = buf.size();
    std::size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buf.data(), dst - buf.data());
    if (rc == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG)
        continue;
      // An invalid or unconvertible sequence: replace one input byte and go on. A multi-byte
      // UTF-8 character is skipped whole.
      out += replacement;
      std::size_t skip = 1;
      if (std::string_view(from) == "UTF-8") {
        unsigned char c = static_cast<unsigned char>(*src);
        while (skip < src_left && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80 &&
               c >= 0xC0) {
          ++skip;
        }
      }
      src += skip;
      src_left -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string ToCp1251(std::string_view utf8) {
  return Convert("CP1251", "UTF-8", utf8, '?');
}

std::string FromCp1251(std::string_view cp1251) {
  // 0x98 has no character in Windows-1251; it is shown as "?" rather than lost.
  return Convert("UTF-8", "CP1251", cp1251, '?');
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    int extra = c < 0x80           ? 0
                : (c >> 5) == 0x6  ? 1
                : (c >> 4) == 0xE  ? 2
                : (c >> 3) == 0x1E ? 3
                                   : -1;
    if (extra < 0 || (extra == 1 && c < 0xC2))
      return false;
    if (extra > 0 && i + extra >= bytes.size())
      return false;
    for (int k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
        return false;
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace tolvanet
