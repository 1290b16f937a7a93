// The reply record: the one result of the last device command, and the status flags word.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvanet {

// Status flags word bits.
namespace status_bits {
inline constexpr std::uint32_t kServiceMode = 0x00000001;           // byte 0 bit 0
inline constexpr std::uint32_t kDocBufferNearEnd = 0x00000002;      // byte 0 bit 1
inline constexpr std::uint32_t kClockNotSet = 0x00000004;           // byte 0 bit 2
inline constexpr std::uint32_t kPrinterFault = 0x00000008;          // byte 0 bit 4
inline constexpr std::uint32_t kReceiptPaperLow = 0x00000010;       // byte 1 bit 0
inline constexpr std::uint32_t kJournalPaperLow = 0x00000020;       // byte 1 bit 1
inline constexpr std::uint32_t kReceiptPaperOut = 0x00000040;       // byte 1 bit 2
inline constexpr std::uint32_t kJournalPaperOut = 0x00000080;       // byte 1 bit 3
inline constexpr std::uint32_t kCoverOpen = 0x00000100;             // byte 1 bit 4
inline constexpr std::uint32_t kReceiptState = 0x00000200;          // byte 2 bit 0
inline constexpr std::uint32_t kReceiptCurrentState = 0x00000400;   // byte 2 bit 3
inline constexpr std::uint32_t kReceiptReserve = 0x00000800;        // byte 2 bit 5
inline constexpr std::uint32_t kManualFeed = 0x00001000;            // byte 1 bit 5
inline constexpr std::uint32_t kFiscalMemoryNearFull = 0x00002000;  // byte 4 bit 2
inline constexpr std::uint32_t kClockNeedsAdjust = 0x00004000;      // byte 5 bit 5
inline constexpr std::uint32_t kSerialProgrammed = 0x00010000;      // byte 4 bit 0
inline constexpr std::uint32_t kIdDevSet = 0x00020000;              // byte 4 bit 4
inline constexpr std::uint32_t kReserve5_0 = 0x00040000;            // byte 5 bit 0
inline constexpr std::uint32_t kBatteryLow = 0x00080000;            // byte 5 bit 2
inline constexpr std::uint32_t kFiscalMemoryFull = 0x00100000;      // byte 4 bit 3
inline constexpr std::uint32_t kReserve5_1 = 0x00200000;            // byte 5 bit 1
inline constexpr std::uint32_t kAlarm = 0x00400000;                 // byte 5 bit 3
inline constexpr std::uint32_t kShiftOpen = 0x00800000;             // byte 5 bit 4
inline constexpr std::uint32_t kChecksumError = 0x01000000;         // link
inline constexpr std::uint32_t kNak = 0x02000000;                   // link
inline constexpr std::uint32_t kNoAnswer = 0x04000000;              // link
inline constexpr std::uint32_t kRestartNeeded = 0x08000000;         // byte 0 bit 5
inline constexpr std::uint32_t kPersonalized = 0x10000000;          // byte 4 bit 5
}  // namespace status_bits

// One row of the status-byte map: status byte index, the bit tested in it, the flag it sets.
struct StatusBitMap {
  int byte;
  std::uint8_t mask;
  std::uint32_t flag;
};

// Every status bit that reaches the flags word, in bit order.
const std::array<StatusBitMap, 25>& StatusBitTable();

// Link outcome of a transaction, as the flags word needs it.
struct LinkOutcome {
  bool frame_ended = false;     // a frame ended with ETX or a NAK arrived
  bool nak = false;             // a NAK arrived
  bool checksum_error = false;  // the answer's checksum did not match
};

// Builds the status flags word from the raw status bytes (as received) and the link outcome.
std::uint32_t BuildStatusFlags(const LinkOutcome& link, const std::array<std::uint8_t, 6>& raw);

inline constexpr int kMaxFields = 20;

// The reply record. Texts are the register's Windows-1251 bytes.
struct ReplyRecord {
  int field_count = 0;
  int command_code = 0;
  std::uint32_t status_flags = 0;
  // The command's description, or "Неверная команда" (UTF-8): a text of the static table.
  std::string_view description;
  std::string command_text;  // the command text that was sent
  std::string answer_copy;   // the answer data as received (at most 255 bytes)
  std::string error_code;    // normally four hexadecimal digits; "0000" is success
  std::array<std::string, kMaxFields> fields;
  std::array<std::uint8_t, 6> status_bytes{};  // each with bit 7 cleared
  std::string sent_frame;                      // the request frame without the trailing zero byte
  std::string raw_answer;                      // every byte received except SYN (at most 299)
  std::uint8_t checksum_error = 0;
  // Why the engine did not send the command (it then reads as no-answer); empty when it did.
  std::string refusal;

  bool NoAnswer() const { return (status_flags & status_bits::kNoAnswer) != 0; }
  // An answer came but cannot be trusted: its checksum did not match, or a NAK arrived. The
  // record keeps what came (for the monitor and the status window), but it is no success.
  bool Damaged() const {
    return (status_flags & (status_bits::kChecksumError | status_bits::kNak)) != 0;
  }
  bool Succeeded() const { return !NoAnswer() && !Damaged() && error_code == "0000"; }
  const std::string& Field(int i) const;
};

// Splits the (adjusted) answer data text into the reply's fields. When the answer has more
// than 20 fields, field 19 keeps the rest of the text with its separators, so nothing is lost.
void SplitFields(std::string_view data, ReplyRecord& reply);

// The status text: each status byte as two upper-case hexadecimal digits and one blank.
std::string StatusText(const ReplyRecord& reply);

}  // namespace tolvanet
