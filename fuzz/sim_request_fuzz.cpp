// The simulated register's intake: the request parser on arbitrary bytes, and each frame it
// accepts carried out by a register. Every frame the parser accepts must be one that was sent,
// and every answer must fit an answer frame that the client's parser reads back unchanged.
//
// Input: byte 0 bit 7 set: byte 1 is a command code and the rest its text, run directly;
// otherwise byte 0 is the piece size (0: one piece) in which the rest reaches the parser.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "link/frame.h"
#include "sim/register.h"
#include "sim/request_parser.h"

namespace {

using namespace tolvanet;

void CheckAnswer(const sim::Answer& answer) {
  FUZZ_CHECK(answer.error_code.size() == 4);
  FUZZ_CHECK(answer.data.size() <= 207);
  for (auto b : answer.status)
    FUZZ_CHECK((b & 0x80) != 0);
  const std::string frame =
      BuildAnswerFrame(0x21, 0x21, answer.error_code, answer.data, answer.status);
  AnswerParser parser;
  parser.BeginTransaction();
  for (unsigned char c : frame)
    parser.Feed(c);
  // Control bytes inside the data restart the client's parser; other answers read back whole.
  const bool plain = std::none_of(answer.data.begin(), answer.data.end(), [](char c) {
    return c == ctl::kSoh || c == ctl::kEtx || c == ctl::kNak;
  });
  if (plain) {
    FUZZ_CHECK(parser.frame_ended());
    FUZZ_CHECK(parser.link_flags() == 0);
    FUZZ_CHECK(parser.received_checksum() == parser.running_checksum());
    FUZZ_CHECK(parser.data() == answer.data);
    FUZZ_CHECK(parser.error_code() == answer.error_code);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2)
    return 0;
  // A register only for inputs that reach one: building its memory costs more than parsing.
  std::optional<sim::Register> reg;
  auto device = [&reg]() -> sim::Register& {
    if (!reg) {
      reg.emplace("FUZZ");
      reg->SetClock([] { return std::int64_t{1765324800}; });  // a fixed day, repeatable runs
    }
    return *reg;
  };
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

  if (data[0] & 0x80) {
    CheckAnswer(device().Execute(data[1], rest.substr(1)));
    return 0;
  }

  const std::size_t piece = data[0] == 0 ? rest.size() : data[0];
  sim::RequestParser parser;
  std::vector<sim::RequestFrame> frames;
  for (std::size_t at = 0; at < rest.size(); at += piece) {
    frames.clear();
    parser.Feed(rest.substr(at, piece), frames);
    for (const auto& f : frames) {
      if (f.kind != sim::RequestFrame::Kind::kFrame)
        continue;
      FUZZ_CHECK(f.text.size() <= kMaxCommandText);
      FUZZ_CHECK(rest.find(BuildRequestFrame(f.sequence, f.code, f.text)) != std::string::npos);
      CheckAnswer(device().Execute(f.code, f.text, f.sequence));
    }
  }
  return 0;
}
