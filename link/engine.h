// The transaction engine: one request frame out, one answer frame in, decoded into the reply.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/frame.h"
#include "link/reply.h"
#include "link/session_log.h"
#include "link/transport.h"

namespace tolvanet {

class Engine {
 public:
  Engine() = default;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  void SetTransport(Transport* transport) { transport_ = transport; }
  Transport* transport() const { return transport_; }
  SessionLog& log() { return log_; }

  // The single entry to the register. Never fails by return value: the outcome is in the
  // reply's status flags word and error code. A text longer than 219 bytes, or a command
  // started while another one is waiting for its answer or while the link connects, is not
  // sent: the reply then carries this command's code, text and description, no fields and no
  // error code, reads as no-answer, and its `refusal` (and refusal()) says why.
  ReplyRecord& ExecuteCommand(int code, std::string_view text);

  // Sends the last command again, with the same sequence byte or the next one. Nothing is
  // sent (nullptr) when the last transaction did not reach its decoding, or when a command was
  // refused after it (a refused command leaves nothing to repeat until one is sent).
  ReplyRecord* ResendLastCommand(bool new_sequence);
  // A builder refused its arguments and sent nothing: the command before it is no longer the
  // one to repeat. The reply record stays as it is.
  void ForgetLastCommand();

  // The one reply record (also the last-reply pointer that refusing builders return).
  ReplyRecord& reply() { return reply_; }
  const ReplyRecord& reply() const { return reply_; }

  // Why the last ExecuteCommand sent nothing; empty when it was sent.
  const std::string& refusal() const { return refusal_; }
  bool busy() const { return busy_; }

  // Writes the end-of-session entry and resets the retry counter; there is never a device
  // port handle to close, so it returns false.
  bool EndSession();
  int RetryCount() const { return retry_count_; }

  std::uint8_t sequence_counter() const { return sequence_; }
  void set_sequence_counter(std::uint8_t value) { sequence_ = value; }
  const AnswerParser& parser() const { return parser_; }

 private:
  void Decode();
  void MarkNoAnswer();
  ReplyRecord& Refuse(int code, std::string_view text, std::string reason);

  Transport* transport_ = nullptr;
  SessionLog log_;
  AnswerParser parser_;
  ReplyRecord reply_;
  std::string last_text_;
  std::string wire_;  // the request frame and its trailing zero byte
  std::string data_;  // the answer data after the comma rules
  int last_code_ = 0;
  std::uint8_t sequence_ = 0;
  std::uint8_t previous_sequence_ = 0;
  bool decoded_ = false;  // the last transaction reached its decoding
  bool busy_ = false;
  int retry_count_ = 0;
  std::string refusal_;
};

// The description of a command code (0x20..0xA3), or "Неверная команда": a text of the
// static table, valid for the whole run.
std::string_view CommandDescription(int code);

// The process-wide engine and the free functions that act on it.
Engine& TheEngine();
ReplyRecord& ExecuteCommand(int code, std::string_view text);
ReplyRecord* ResendLastCommand(bool new_sequence);
bool EndSession();
int RetryCount();
void SetLogFileName(std::string name);
void LogEntry(std::string_view heading, std::string_view body);

}  // namespace tolvanet
