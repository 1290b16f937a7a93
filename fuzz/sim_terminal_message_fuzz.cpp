// The simulated card terminal's reading of what the program sends it, on arbitrary bytes:
// messages cut out of the stream are the same whatever pieces the bytes come in, each is one
// that was sent (its frame is where the stream has it), and what is held back is exactly the
// rest. A tag read from a body is a field that starts there and holds no separator.
//
// Input: byte 0 is the piece size (0: one piece) in which the rest reaches the reader.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "sim/terminal_message.h"

namespace {

using namespace tolvanet::sim;

std::vector<std::string> Bodies(std::string_view bytes, std::size_t piece, std::size_t& pending) {
  terminal_message::Reader reader;
  std::vector<std::string> bodies;
  for (std::size_t at = 0; at < bytes.size(); at += piece)
    reader.Feed(bytes.substr(at, piece), bodies);
  pending = reader.pending();
  return bodies;
}

// Whether a field starts at `p` of the body: at its start, after the STX that opens it or
// after an FS.
bool IsFieldStart(std::string_view body, std::size_t p) {
  return p == 0 || (p == 1 && body[0] == terminal_message::kStx) ||
         body[p - 1] == terminal_message::kFs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0)
    return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t piece = data[0] == 0 ? bytes.size() + 1 : data[0];

  std::size_t pending_whole = 0;
  std::size_t pending = 0;
  const std::vector<std::string> whole = Bodies(bytes, bytes.size() + 1, pending_whole);
  const std::vector<std::string> pieces = Bodies(bytes, piece, pending);
  FUZZ_CHECK(whole == pieces);
  FUZZ_CHECK(pending == pending_whole);

  // The messages are the stream's start, frame after frame; the rest is held.
  std::string framed;
  for (const std::string& body : whole) {
    FUZZ_CHECK(body.size() <= terminal_message::kMaxBody);
    framed += terminal_message::Frame(body);
  }
  FUZZ_CHECK(framed.size() + pending == bytes.size());
  FUZZ_CHECK(bytes.substr(0, framed.size()) == framed);

  for (const std::string& body : whole) {
    for (const char* tag : {"00", "01", "02", "04", "05", "39", "58"}) {
      const auto value = terminal_message::Tag(body, tag);
      if (!value)
        continue;
      FUZZ_CHECK(value->find(terminal_message::kFs) == std::string::npos);
      const std::string field = std::string(tag) + "=" + *value;
      bool found = false;
      for (std::size_t p = body.find(field); p != std::string::npos && !found;
           p = body.find(field, p + 1)) {
        const std::size_t end = p + field.size();
        found = IsFieldStart(body, p) && (end == body.size() || body[end] == terminal_message::kFs);
      }
      FUZZ_CHECK(found);
    }
  }
  return 0;
}
