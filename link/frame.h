// Device frames: the request frame, its checksum, and the byte-driven answer parser.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvanet {

namespace ctl {
inline constexpr std::uint8_t kSoh = 0x01;
inline constexpr std::uint8_t kEtx = 0x03;
inline constexpr std::uint8_t kSeparator = 0x04;
inline constexpr std::uint8_t kPostamble = 0x05;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kSyn = 0x16;
}  // namespace ctl

// The longest command text the length byte can carry (0x24 + n must fit one byte).
inline constexpr std::size_t kMaxCommandText = 219;

// The sequence byte for a sequence counter value: 0x20 + counter mod 95.
std::uint8_t SequenceByte(std::uint8_t counter);

// Four checksum digits of a 16-bit sum, most significant nibble first, each as 0x30 + nibble.
std::string ChecksumDigits(std::uint32_t sum);

// The request frame: SOH, length, sequence, code, text, 0x05, four checksum digits, ETX.
// Without the trailing zero byte that goes on the wire. The text must fit kMaxCommandText.
std::string BuildRequestFrame(std::uint8_t sequence_byte, std::uint8_t code, std::string_view text);
// The same frame written into `frame`, replacing what it held: its storage is reused, so a
// caller that keeps the string builds every frame without allocating.
void BuildRequestFrame(std::string& frame, std::uint8_t sequence_byte, std::uint8_t code,
                       std::string_view text);

// The answer frame a register sends (used by the simulator and by tests): SOH, 0x30 + m,
// sequence byte, code, error code, ";", m data bytes, 0x04, six status bytes, 0x05, checksum,
// ETX. `data` must not exceed 207 bytes.
std::string BuildAnswerFrame(std::uint8_t sequence_byte, std::uint8_t code,
                             std::string_view error_code, std::string_view data,
                             const std::array<std::uint8_t, 6>& status);

// Link flags byte bits.
namespace link_flags {
inline constexpr std::uint8_t kChecksumMismatch = 0x01;
inline constexpr std::uint8_t kNak = 0x04;
inline constexpr std::uint8_t kEarlyEtx = 0x08;
}  // namespace link_flags

// The receive parser: fed one byte at a time, states 0..10.
class AnswerParser {
 public:
  // Resets everything for a new transaction except the decoded error code text, which only
  // an answer frame's command byte replaces.
  void BeginTransaction();
  void Feed(std::uint8_t byte);
  // Feeds the bytes of `block` one by one until a frame is complete; what follows a complete
  // frame is not taken. Returns how many bytes were taken.
  std::size_t Feed(std::string_view block);

  bool frame_complete() const { return frame_complete_; }
  bool frame_ended() const { return frame_ended_; }
  void clear_frame_complete() { frame_complete_ = false; }
  void set_frame_ended() { frame_ended_ = true; }
  std::uint8_t link_flags() const { return link_flags_; }
  void set_link_flags(std::uint8_t f) { link_flags_ = f; }
  int state() const { return state_; }
  long syn_count() const { return syn_count_; }
  std::uint32_t running_checksum() const { return checksum_; }
  std::uint32_t received_checksum() const { return received_checksum_; }
  std::uint8_t sequence() const { return sequence_; }
  std::uint8_t command() const { return command_; }
  const std::string& error_code() const { return error_code_; }
  void clear_error_code() { error_code_.clear(); }
  const std::string& data() const { return data_; }
  const std::array<std::uint8_t, 6>& status() const { return status_; }
  const std::string& raw() const { return raw_; }

 private:
  // Counts the SYN bytes of `bytes` and keeps the others in the raw answer.
  void Keep(std::string_view bytes);
  // One byte through the frame's states.
  void Take(std::uint8_t byte);
  void Step(std::uint8_t byte);

  int state_ = 0;
  std::uint32_t checksum_ = 0;
  std::uint32_t received_checksum_ = 0;
  int data_count_ = 0;  // m
  int counter_ = 0;
  std::uint8_t sequence_ = 0;
  std::uint8_t command_ = 0;
  std::string error_code_;
  std::string data_;
  std::array<std::uint8_t, 6> status_{};
  std::string raw_;
  long syn_count_ = 0;
  bool frame_complete_ = false;
  bool frame_ended_ = false;
  std::uint8_t link_flags_ = 0;
};

}  // namespace tolvanet
