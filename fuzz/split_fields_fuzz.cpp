// Field splitting on arbitrary answer texts: the fields joined again with ";" give back the
// text without its one trailing ";", nothing is lost past the twentieth field, and a field
// holds a ";" only when it is the last slot or the text ended in ";;".
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "link/reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvanet;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ReplyRecord reply;
  reply.fields[kMaxFields - 1] = "left over";  // slots must be cleared
  reply.field_count = 7;
  SplitFields(text, reply);

  if (text.empty()) {
    FUZZ_CHECK(reply.field_count == 0);
    for (const auto& f : reply.fields)
      FUZZ_CHECK(f.empty());
    return 0;
  }
  FUZZ_CHECK(reply.field_count >= 1 && reply.field_count <= kMaxFields);
  std::string joined;
  for (int i = 0; i < reply.field_count; ++i) {
    if (i > 0)
      joined += ';';
    joined += reply.fields[i];
  }
  std::string_view expected = text;
  if (expected.back() == ';')
    expected.remove_suffix(1);
  FUZZ_CHECK(joined == expected);
  for (int i = reply.field_count; i < kMaxFields; ++i)
    FUZZ_CHECK(reply.fields[i].empty());
  // Only the last field found may keep a ";" (at its end, or the rest after the 20th field).
  for (int i = 0; i + 1 < reply.field_count; ++i)
    FUZZ_CHECK(reply.fields[i].find(';') == std::string::npos);
  if (reply.field_count < kMaxFields) {
    const std::string& last = reply.fields[reply.field_count - 1];
    const auto semi = last.find(';');
    FUZZ_CHECK(semi == std::string::npos || semi == last.size() - 1);
  }
  return 0;
}
