// The configuration reader and writer on arbitrary file contents, held in memory. Input: a
// first line "section<TAB>key<TAB>value", then the file. Reads of the section and key must not fail
// on any file; a write of a plain key and value must read back as written, and a key of another
// section must read the same before and after the write.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/profile.h"
#include "fuzz/fuzz_check.h"
#include "link/codepage.h"

namespace {

// Letters and digits only: names and values that survive trimming, quotes and case folding.
bool Plain(std::string_view s) {
  if (s.empty() || s.size() > 64)
    return false;
  for (char c : s) {
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
      return false;
  }
  return true;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvanet;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nl = input.find('\n');
  const std::string_view head = nl == std::string_view::npos ? input : input.substr(0, nl);
  const std::string_view file = nl == std::string_view::npos ? "" : input.substr(nl + 1);
  const std::size_t t1 = head.find('\t');
  const std::size_t t2 = t1 == std::string_view::npos ? t1 : head.find('\t', t1 + 1);
  if (t2 == std::string_view::npos)
    return 0;
  const std::string_view section = head.substr(0, t1);
  const std::string_view key = head.substr(t1 + 1, t2 - t1 - 1);
  const std::string_view value = head.substr(t2 + 1);

  const std::string read = ProfileStringIn(file, section, key, "none", 256);
  FUZZ_CHECK(read.size() <= 4 * 255);  // at most 255 characters of UTF-8
  FUZZ_CHECK(ProfileStringIn(file, section, key, "none", 0).empty());
  ProfileIntIn(file, section, key, -1);
  LeadingInt(value);

  if (!Plain(section) || !Plain(key) || !Plain(value))
    return 0;
  const std::string other_section = SameName(section, "Other") ? "Another" : "Other";
  const std::string other_before = ProfileStringIn(file, other_section, "Key", "none", 256);
  const std::string after = WithProfileString(file, section, key, value);
  FUZZ_CHECK(ProfileStringIn(after, section, key, "none", 256) == value);
  // A file is read as UTF-8 or as Windows-1251 by its content as a whole: a write that
  // replaces the only bytes that were not UTF-8 changes how the rest reads. Known and left
  // aside; otherwise other sections read as before.
  if (IsValidUtf8(file) == IsValidUtf8(after))
    FUZZ_CHECK(ProfileStringIn(after, other_section, "Key", "none", 256) == other_before);
  return 0;
}
