// The long data transfers: firmware read-out, fiscal (flash) memory dump, restore and erase,
// and logo programming. The loops run here, on the process-wide engine, and talk to the window
// or terminal that hosts them through TransferHost, so that both run the same code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/reply.h"
#include "transfer/logo.h"

namespace tolvanet::transfer {

// Fiscal memory moves in blocks of at most this many bytes.
inline constexpr std::int64_t kFlashBlock = 50;
// Addresses of the fiscal memory: a range must end at or below this (4 GiB).
inline constexpr std::int64_t kFlashAddressEnd = std::int64_t{1} << 32;
// Repeats of a failed dump block.
inline constexpr int kMaxRepeats = 99;

// Where a running transfer stands.
struct TransferProgress {
  std::int64_t done = 0;     // bytes in the file or sent (firmware, flash); chunks sent (logo)
  std::int64_t total = 0;    // bytes announced or requested; chunks to send
  std::int64_t address = 0;  // flash: the current address
  int blocks = 0;            // packets, blocks or chunks completed
  int repeats = 0;           // flash dump: repeats of failed blocks so far
};

// What the loops need from the window (or terminal) that hosts them. Texts are UTF-8.
class TransferHost {
 public:
  virtual ~TransferHost() = default;
  // A modal message box.
  virtual void ShowMessage(const std::string& text) = 0;
  // An OK/Cancel question; true for OK. Cancel is the default answer.
  virtual bool Confirm(const std::string& text) = 0;
  // Lets the host handle pending events; its stop button calls Transfer::RequestStop.
  virtual void ProcessPendingMessages() {}
  virtual void ProgressChanged(const TransferProgress& /*progress*/) {}
  // Every reply of the transfer, before it is inspected; the host keeps it as the current reply.
  virtual void ReplyReceived(const ReplyRecord& /*reply*/) {}
};

enum class Outcome {
  kDone,       // the success message was shown
  kStopped,    // the stop request ended it
  kFailed,     // a reply, the file or the data ended it with a message
  kCancelled,  // the question was answered with Cancel; nothing was sent
  kRefused,    // the inputs were refused, or another transfer was under way; nothing was sent
};

// "done", "stopped", "failed", "cancelled", "refused".
const char* OutcomeName(Outcome outcome);

struct TransferResult {
  Outcome outcome = Outcome::kRefused;
  TransferProgress progress;  // where it ended
  std::string message;        // the last message shown (UTF-8)
};

struct FlashRange {
  std::string password;
  std::int64_t start = 0;
  std::int64_t count = 0;
  std::string path;  // the dump file
};

// The logo limits of the register: 0 when unknown.
struct LogoLimits {
  int max_width = 0;
  int max_height = 0;             // rows of the largest width that the memory holds
  std::int64_t memory_bytes = 0;  // the logo memory
  bool known() const { return max_width > 0 && max_height > 0 && memory_bytes > 0; }
  // The most rows a logo `width` pixels wide may have: each row takes whole bytes of the
  // memory, so a narrower logo may be taller than max_height. 0 when the width is too large.
  int MaxHeightFor(int width) const;
};

// The limits a diagnostic answer gives: field 7 is the widest logo in pixels, field 6 the logo
// memory in bytes. Unknown when either is missing, not a number, or 0.
LogoLimits LogoLimitsFrom(const ReplyRecord& diagnostic);

// Empty when `password` can travel as the first field of a command text (Windows-1251 bytes),
// else the message that refuses it.
std::string PasswordError(std::string_view password);

// Addresses, counts and sizes: decimal digits only (no sign, blank or other character), at most
// 18 of them, so the value always fits 64-bit arithmetic. Nothing otherwise.
std::optional<std::int64_t> DecimalDigits(std::string_view text);

// A firmware packet's escaped data: a backslash and the next character stand for that
// character's code minus 0x40. Nothing when the text ends in a lone backslash.
std::optional<std::string> DecodePacket(std::string_view text);

// Upper-case hexadecimal text to bytes: nothing when a character is outside 0-9, A-F.
// `valid` gets the bytes of the pairs before the first bad one.
std::optional<std::string> DecodeUpperHex(std::string_view text, std::string* valid = nullptr);

class Transfer {
 public:
  explicit Transfer(TransferHost& host) : host_(host) {}
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // The stop button: the running transfer ends before its next block.
  void RequestStop() { stop_ = true; }
  bool stop_requested() const { return stop_; }
  bool running() const { return running_; }

  // Reads the firmware (data source 5) into `path`, packet by packet.
  TransferResult ReadFirmware(const std::string& password, const std::string& path);

  // Reads `range` of the fiscal memory into its file; a failed block is repeated up to
  // `repeats` times (0..99; a negative count means none).
  TransferResult DumpFlash(const FlashRange& range, int repeats);
  // Writes the first `range.count` bytes of its file to the fiscal memory from `range.start` on.
  TransferResult RestoreFlash(const FlashRange& range);
  // Erases the fiscal memory, after the host's question.
  TransferResult EraseFlash(const std::string& password);

  // The register's logo limits (GetDiagnosticInfo); nothing after a failed command.
  std::optional<LogoLimits> ReadLogoLimits(const std::string& password);
  // Sends the top-left `width` x `height` pixels of `picture` as the register's logo.
  TransferResult ProgramLogo(const std::string& password, const Picture& picture, int width,
                             int height, const LogoLimits& limits);

 private:
  // Ends a run with `outcome`, showing `message` when there is one.
  TransferResult Finish(Outcome outcome, const TransferProgress& progress,
                        const std::string& message);
  // The refusal of a start while another transfer runs.
  TransferResult Busy();
  // Pending events, then the stop flag.
  bool StopRequested();
  void Progress(const TransferProgress& progress) { host_.ProgressChanged(progress); }

  TransferResult ReadFirmwareRun(const std::string& password, const std::string& path);
  TransferResult DumpFlashRun(const FlashRange& range, int repeats);
  TransferResult RestoreFlashRun(const FlashRange& range);
  TransferResult ProgramLogoRun(const std::string& password, const Picture& picture, int width,
                                int height, const LogoLimits& limits);

  TransferHost& host_;
  bool stop_ = false;
  bool running_ = false;
};

}  // namespace tolvanet::transfer
