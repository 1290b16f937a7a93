// Tag extraction from arbitrary terminal bodies (the first byte chooses the tag): a value is
// found exactly when some field starts with the tag and "="; the value found is such a field's
// rest, up to a field separator or the end, and never holds a separator. A value that may
// travel reads back from the payment request it goes into.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "sales/card_terminal.h"

namespace {

using namespace tolvanet::card_terminal;

// Where fields start: the body's start and after every FS, each also after an STX there.
bool IsFieldStart(std::string_view body, std::size_t p) {
  auto after_separator = [&](std::size_t q) { return q == 0 || body[q - 1] == kFs; };
  return after_separator(p) || (body[p - 1] == kStx && after_separator(p - 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0)
    return 0;
  static const char* const kTags[] = {"00", "01", "02", "04", "58"};
  const std::string key = std::string(kTags[data[0] % 5]) + "=";
  const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);

  bool present = false;
  for (std::size_t p = body.find(key); p != std::string_view::npos; p = body.find(key, p + 1))
    present = present || IsFieldStart(body, p);

  const std::optional<std::string> found = FindTag(body, key.substr(0, 2));
  FUZZ_CHECK(found.has_value() == present);
  if (!found)
    return 0;
  FUZZ_CHECK(found->find(kFs) == std::string::npos);
  const std::string field = key + *found;
  bool matches = false;
  for (std::size_t p = body.find(field); p != std::string_view::npos; p = body.find(field, p + 1)) {
    const std::size_t end = p + field.size();
    matches = matches || (IsFieldStart(body, p) && (end == body.size() || body[end] == kFs));
  }
  FUZZ_CHECK(matches);
  const std::string line = CardNumberLine(*found);
  FUZZ_CHECK(line.size() == 10 + found->size() + (found->size() >= 5 ? 1 : 0));
  // A value that may travel goes back to the terminal in the payment request, where the
  // terminal finds it again under its tag, next to the amount.
  if (IsSafeValue(*found)) {
    const std::string request = PaymentRequestBody(*found, "1234");
    FUZZ_CHECK(FindTag(request, "00") == *found);
    FUZZ_CHECK(FindTag(request, "05") == "1234");
    const std::string message = Message(request);
    FUZZ_CHECK(message.size() == request.size() + 2);
    FUZZ_CHECK(static_cast<unsigned char>(message[0]) * 256u +
                   static_cast<unsigned char>(message[1]) ==
               request.size());
  }
  return 0;
}
