// The simulated bank terminal's own reading and writing of its messages: a two-byte length,
// high byte first, then the body; bodies of tagged fields "NN=value" separated by FS. The
// simulator keeps this apart from the program's side of the link, so that a framing fault on
// either side makes the exchange fail instead of being agreed on by both.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tolvanet::sim::terminal_message {

inline constexpr char kStx = 0x02;
inline constexpr char kAck = 0x06;
inline constexpr char kOpening = 0x12;
inline constexpr char kNak = 0x15;
inline constexpr char kFs = 0x1C;
// The largest body a two-byte length can announce.
inline constexpr std::size_t kMaxBody = 0xFFFF;

// One message as it goes on the line. Throws std::length_error for a body over kMaxBody: the
// simulator never cuts a message short without saying so.
std::string Frame(std::string_view body);

// Cuts whole message bodies out of the bytes the port delivers, in whatever pieces they come:
// a length may arrive a byte at a time, several messages may come in one piece.
class Reader {
 public:
  // Appends to `bodies` every message completed by `bytes`, oldest first.
  void Feed(std::string_view bytes, std::vector<std::string>& bodies);
  // Bytes held of a message not yet complete (its length bytes included).
  std::size_t pending() const { return held_.size(); }
  void Clear() { held_.clear(); }

 private:
  std::string held_;
};

using Field = std::pair<std::string, std::string>;

// A body of tagged fields: STX, then "NN=value" and FS for each field; without `final_fs` the
// last field has no FS after it.
std::string TaggedBody(const std::vector<Field>& fields, bool final_fs);

// The value of a tag in a received body. A tag counts only where a field starts (after the
// STX that opens the body, or after an FS), never inside another field's value; the value
// runs to the next FS or to the end of the body. Nothing when no field carries the tag.
std::optional<std::string> Tag(std::string_view body, std::string_view tag);

}  // namespace tolvanet::sim::terminal_message
