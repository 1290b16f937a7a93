// The exchange every loopback benchmark moves: GetDateTime (code 33, text "406172;") and the
// register's answer, so that the raw TCP round trip and the link carry the same bytes.
#pragma once

#include <array>
#include <string>

#include "link/commands.h"
#include "link/frame.h"

namespace tolvanet::bench {

inline constexpr const char* kPassword = "406172";
inline constexpr const char* kGetDateTimeText = "406172;";

// The request as it goes on the wire: the frame and its trailing zero byte.
inline std::string GetDateTimeWire() {
  std::string wire = BuildRequestFrame(SequenceByte(1), cmd::kGetDateTime, kGetDateTimeText);
  wire += '\0';
  return wire;
}

// An answer of the register's shape: "DDMMYY;HHMM;" and six status bytes.
inline std::string GetDateTimeAnswer() {
  const std::array<std::uint8_t, 6> status{0x80, 0x80, 0x80, 0x80, 0x91, 0x80};
  return BuildAnswerFrame(SequenceByte(1), cmd::kGetDateTime, "0000", "091226;2243;", status);
}

// One frame's computation as the engine does it: the request built into storage kept from the
// frame before, the answer parsed as the block it arrives in.
inline bool EncodeAndParse(AnswerParser& parser, std::string& frame, const std::string& answer,
                           std::uint8_t counter) {
  BuildRequestFrame(frame, SequenceByte(counter), cmd::kGetDateTime, kGetDateTimeText);
  parser.BeginTransaction();
  parser.Feed(std::string_view(answer));
  return parser.frame_ended() && frame.size() > 0;
}

}  // namespace tolvanet::bench
