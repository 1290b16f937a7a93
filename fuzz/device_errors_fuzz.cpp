// The operator's message for arbitrary error code texts: success only for a code that reads
// as 0, the time-out message whenever the no-answer bit is set, and always valid UTF-8.
//
// Input: byte 0 bit 0 sets the no-answer bit, bytes 1-2 are a code for the text round trip,
// the rest is the error code text.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "link/codepage.h"
#include "link/device_errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvanet;
  if (size < 3)
    return 0;
  const bool no_answer = (data[0] & 1) != 0;
  const auto code = static_cast<std::uint16_t>(data[1] << 8 | data[2]);
  const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);

  const std::string wire = ErrorCodeText(code);
  FUZZ_CHECK(wire.size() == 4);
  FUZZ_CHECK(ParseErrorCodeText(wire) == code);

  ReplyRecord reply;
  reply.error_code.assign(text);
  reply.status_flags = no_answer ? status_bits::kNoAnswer : 0;
  std::string message = "not touched";
  const bool ok = DeviceErrorMessage(reply, message);
  FUZZ_CHECK(IsValidUtf8(message));
  if (no_answer) {
    FUZZ_CHECK(!ok);
    FUZZ_CHECK(message == "Таймаут устройства! Ошибка!");
    return 0;
  }
  const std::uint16_t parsed = ParseErrorCodeText(text);
  FUZZ_CHECK(ok == (parsed == rExecOK));
  FUZZ_CHECK(message == DeviceErrorText(parsed));
  if (ok)
    FUZZ_CHECK(message.empty());
  // Only the first four characters count.
  if (text.size() > 4)
    FUZZ_CHECK(ParseErrorCodeText(text.substr(0, 4)) == parsed);
  return 0;
}
