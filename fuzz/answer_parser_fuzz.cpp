// The answer parser and the engine's decoding on arbitrary bytes, delivered the way the relay
// link delivers them: in blocks, each parsed from its first byte.
//
// Input: byte 0 is the command code sent (it selects the answer adjustments), byte 1 the block
// size (0: one block of up to 500 bytes), the rest is what the register sends.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "link/engine.h"

namespace {

using namespace tolvanet;

class BlockTransport : public Transport {
 public:
  std::string_view stream;
  std::size_t block = 500;

  bool IsActive() const override { return true; }
  Result Exchange(std::string_view, const Consumer& consume) override {
    std::string_view rest = stream;
    while (!rest.empty()) {
      const std::size_t n = std::min(rest.size(), block);
      if (consume(rest.substr(0, n)))
        break;
      rest.remove_prefix(n);
    }
    return Result::kDone;
  }
};

void CheckReply(const ReplyRecord& r, std::string_view stream) {
  using namespace status_bits;
  constexpr std::uint32_t kLinkBits = kNoAnswer | kNak | kChecksumError;
  const std::uint32_t link = r.status_flags & kLinkBits;
  // Exactly one outcome: no answer, NAK, bad checksum, or an answer with its status bits.
  FUZZ_CHECK(link == 0 || link == kNoAnswer || link == kNak || link == kChecksumError);
  if (link != 0)
    FUZZ_CHECK(r.status_flags == link);
  // The checksum-error byte follows the checksum test alone: a NAK that cut a frame short may
  // carry it too, an answer with its status bits never does.
  if (link == kChecksumError)
    FUZZ_CHECK(r.checksum_error == 1);
  if (link == 0 || link == kNoAnswer)
    FUZZ_CHECK(r.checksum_error == 0);
  if (link == kNoAnswer) {
    // Whatever part of a frame came is not an answer: no fields, no status, no error code.
    FUZZ_CHECK(r.field_count == 0 && r.answer_copy.empty() && r.error_code.empty());
    for (auto b : r.status_bytes)
      FUZZ_CHECK(b == 0);
  }
  // Nothing ends a frame but ETX or NAK.
  if (stream.find_first_of(std::string_view("\x03\x15", 2)) == std::string_view::npos)
    FUZZ_CHECK(link == kNoAnswer);

  FUZZ_CHECK(r.raw_answer.size() <= 299);
  FUZZ_CHECK(r.raw_answer.find('\x16') == std::string::npos);
  FUZZ_CHECK(r.answer_copy.size() <= 255);
  FUZZ_CHECK(r.error_code.size() <= 19);
  FUZZ_CHECK(r.field_count >= 0 && r.field_count <= kMaxFields);
  for (int i = r.field_count; i < kMaxFields; ++i)
    FUZZ_CHECK(r.fields[i].empty());
  for (auto b : r.status_bytes)
    FUZZ_CHECK(b < 0x80);
}

// A block fed at once (the data part taken as a run) must leave the parser exactly as the same
// bytes fed one by one do.
void CheckBlockFeed(std::string_view stream, std::size_t block) {
  AnswerParser by_block;
  AnswerParser by_byte;
  by_block.BeginTransaction();
  by_byte.BeginTransaction();
  for (std::string_view rest = stream; !rest.empty() && !by_byte.frame_complete();) {
    const std::string_view piece = rest.substr(0, block);
    rest.remove_prefix(piece.size());
    std::size_t fed = 0;
    for (unsigned char c : piece) {
      by_byte.Feed(c);
      ++fed;
      if (by_byte.frame_complete())
        break;
    }
    FUZZ_CHECK(by_block.Feed(piece) == fed);
  }
  FUZZ_CHECK(by_block.state() == by_byte.state());
  FUZZ_CHECK(by_block.frame_complete() == by_byte.frame_complete());
  FUZZ_CHECK(by_block.frame_ended() == by_byte.frame_ended());
  FUZZ_CHECK(by_block.link_flags() == by_byte.link_flags());
  FUZZ_CHECK(by_block.syn_count() == by_byte.syn_count());
  FUZZ_CHECK(by_block.running_checksum() == by_byte.running_checksum());
  FUZZ_CHECK(by_block.received_checksum() == by_byte.received_checksum());
  FUZZ_CHECK(by_block.error_code() == by_byte.error_code());
  FUZZ_CHECK(by_block.data() == by_byte.data());
  FUZZ_CHECK(by_block.raw() == by_byte.raw());
  FUZZ_CHECK(by_block.status() == by_byte.status());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2)
    return 0;
  const int code = data[0];
  BlockTransport transport;
  transport.block = data[1] == 0 ? 500 : data[1];
  transport.stream = std::string_view(reinterpret_cast<const char*>(data + 2), size - 2);

  CheckBlockFeed(transport.stream, transport.block);

  Engine engine;
  engine.SetTransport(&transport);
  const ReplyRecord& reply = engine.ExecuteCommand(code, "406172;");
  CheckReply(reply, transport.stream);

  // The same bytes again on the same engine: what the first answer left behind must not
  // change how the second one is classified.
  const std::uint32_t first = reply.status_flags;
  engine.ExecuteCommand(code, "406172;");
  CheckReply(engine.reply(), transport.stream);
  FUZZ_CHECK(engine.reply().status_flags == first);
  return 0;
}
