// The bank terminal's side of a card payment: its messages and tags, and the serial port it
// sits on (raw, 115200 8N1, opened exclusively for one payment).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tolvanet::card_terminal {

inline constexpr char kStx = 0x02;
inline constexpr char kAck = 0x06;
inline constexpr char kFs = 0x1C;
inline constexpr char kOpening = 0x12;
// Longest body taken from the terminal, and longest body of a message with a one-byte length.
inline constexpr std::size_t kMaxReceivedBody = 999;
inline constexpr std::size_t kMaxRequestBody = 255;
inline constexpr unsigned kBaudRate = 115200;

// A message: two length bytes, high byte first, then the body (at most 65535 bytes).
std::string Message(std::string_view body);
// The opening request and the acknowledgement, as they travel.
std::string OpeningRequest();
std::string Acknowledgement();
// The three bytes of an acknowledgement are one when the third is ACK.
bool IsAcknowledgement(std::string_view three_bytes);

// The value of a two-digit tag in a received body: the text after "NN=" up to the next FS or
// the end. The tag counts only at the start of a field (the body's start, after STX or after
// FS), never inside another field's value. Nothing when the tag is missing.
std::optional<std::string> FindTag(std::string_view body, std::string_view tag);

// A value that may go into a command text or back to the terminal: no ";" and no control bytes.
bool IsSafeValue(std::string_view value);

// The payment request body: STX, 00 echoed, a sale, 05 the amount in kopecks, the currency
// 980/UAH, 61=1; FS between the fields and none after the last.
std::string PaymentRequestBody(std::string_view tag00, std::string_view kopecks);

// The card number line: "**** **** " and tag 01 with a blank before its fifth character
// ("12345678" gives "**** **** 1234 5678"); a shorter value is printed as it is.
std::string CardNumberLine(std::string_view tag01);

enum class ReadResult { kDone, kTimeout, kCancelled, kFailed };

// The serial port of the terminal. Every read takes an exact number of bytes under a deadline;
// while it waits it calls `waiting` at least every `pump_interval`, and stops when that says so.
class Port {
 public:
  // Called while a read or write waits; true to stop waiting (the operator cancelled).
  using Waiting = std::function<bool()>;

  Port(std::chrono::milliseconds pump_interval, Waiting waiting);
  ~Port();
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;

  // Opens `device` for reading and writing, exclusively, in raw mode (no echo, no CR/LF
  // translation, no XON/XOFF or RTS/CTS) at 115200 8N1, and drops whatever input was waiting.
  // False with error_text() when it cannot.
  bool Open(const std::string& device);
  void Close();
  bool IsOpen() const;

  ReadResult ReadExact(std::size_t count, std::string& out,
                       std::chrono::steady_clock::time_point deadline);
  ReadResult WriteAll(std::string_view bytes, std::chrono::steady_clock::time_point deadline);

  // Why the last open, read or write failed (UTF-8).
  const std::string& error_text() const { return error_text_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string error_text_;
};

}  // namespace tolvanet::card_terminal
