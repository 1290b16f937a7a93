#include "link/engine.h"

#include "link/scoped_flag.h"
#include "link/translate.h"

#include <cstdio>

namespace tolvanet {

namespace {

constexpr std::size_t kMaxAnswerCopy = 255;
constexpr std::size_t kMaxRawAnswer = 299;  // the record's copy; the session log gets it all

std::string HexHeading(unsigned value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", value);
  return buf;
}

// Adjusts the answer data by the code of the command that was sent.
void ApplyCommaRules(int code, std::string& data) {
  if (data.size() <= 1)
    return;
  switch (code) {
    case 50:
    case 53:
      data.insert(1, 1, ',');
      break;
    case 62:
      if (data.size() > 8)
        data[8] = ',';
      break;
    case 90:
      for (std::size_t i = 0; i < data.size() && i < 20; ++i) {
        if (data[i] == ' ')
          data[i] = ',';
      }
      break;
    default:
      break;
  }
}

}  // namespace

void Engine::MarkNoAnswer() {
  reply_.status_flags = status_bits::kNoAnswer;
  reply_.field_count = 0;
  for (auto& f : reply_.fields)
    f.clear();
  reply_.status_bytes.fill(0);
  reply_.answer_copy.clear();
  reply_.raw_answer.clear();
  reply_.checksum_error = 0;
}

ReplyRecord& Engine::Refuse(int code, std::string_view text, std::string reason) {
  refusal_ = std::move(reason);
  decoded_ = false;  // nothing to repeat until a command is sent
  MarkNoAnswer();
  reply_.command_code = code;
  reply_.command_text.assign(text);
  reply_.description = CommandDescription(code);
  reply_.error_code.clear();
  reply_.sent_frame.clear();
  reply_.refusal = refusal_;
  return reply_;
}

void Engine::ForgetLastCommand() {
  decoded_ = false;
}

ReplyRecord& Engine::ExecuteCommand(int code, std::string_view text) {
  refusal_.clear();
  if (busy_) {
    return Refuse(code, text,
                  Tr("Команда не отправлена: предыдущая команда ещё ждёт ответа регистратора."));
  }
  if (transport_ != nullptr && transport_->Connecting())
    return Refuse(code, text, Tr("Команда не отправлена: идёт подключение к регистратору."));
  if (text.size() > kMaxCommandText) {
    return Refuse(code, text,
                  TrArgs(Tr("Команда не отправлена: текст команды длиннее 219 байт (%1)."),
                         {std::to_string(text.size())}));
  }
  ScopedFlag busy(busy_);

  // 1. Remember the command and advance the sequence.
  last_text_.assign(text);
  last_code_ = code;
  reply_.command_code = code;
  reply_.refusal.clear();
  previous_sequence_ = sequence_;
  ++sequence_;
  const std::uint8_t seq_byte = SequenceByte(sequence_);

  // 2-4. Fresh transaction state. The previous error code text is cleared too, so that an
  // answer that never came cannot read as the previous command's "0000".
  parser_.BeginTransaction();
  parser_.clear_error_code();
  if (log_.enabled())
    log_.LogRecord(HexHeading(seq_byte), HexHeading(static_cast<unsigned>(code)) + last_text_);

  // 5. The frame, built in storage the engine keeps: a transaction allocates nothing once the
  // longest text has been sent.
  BuildRequestFrame(wire_, seq_byte, static_cast<std::uint8_t>(code), last_text_);
  wire_ += '\0';
  const std::string_view frame(wire_.data(), wire_.size() - 1);
  reply_.sent_frame.assign(frame);

  // 6-7. Exchange; every block is parsed from its first byte as it arrives, and what follows
  // a finished frame is dropped.
  Transport::Result result = Transport::Result::kNotActive;
  if (transport_ != nullptr) {
    result = transport_->Exchange(wire_, [this](std::string_view block) {
      parser_.Feed(block);
      return parser_.frame_complete() || parser_.frame_ended();
    });
  }
  // A command refused while this one waited wrote its own outcome into the record; this
  // transaction's outcome replaces it.
  refusal_.clear();
  reply_.refusal.clear();
  reply_.command_code = code;
  reply_.sent_frame.assign(frame);

  if (result == Transport::Result::kFailed) {
    // The link was re-established; the command is not repeated and nothing is decoded.
    decoded_ = false;
    reply_.command_text = last_text_;
    reply_.description = CommandDescription(code);
    MarkNoAnswer();
    reply_.error_code.clear();
    return reply_;
  }

  // 8-9. Decode.
  parser_.clear_frame_complete();
  Decode();
  parser_.set_frame_ended();
  decoded_ = true;

  // 10. Log the answer.
  if (!log_.enabled())
    return reply_;
  char heading[48];
  std::snprintf(heading, sizeof heading, "%X SYN=%ld",
                static_cast<unsigned>(SequenceByte(parser_.sequence())), parser_.syn_count());
  log_.LogRecord(heading, parser_.raw());
  return reply_;
}

void Engine::Decode() {
  LinkOutcome link;
  link.frame_ended = parser_.frame_ended();
  std::uint8_t flags = parser_.link_flags();
  // An ETX before the checksum was complete ends a frame that cannot be trusted: it counts
  // as a checksum mismatch even in the rare case that the partial sums happen to agree.
  if (link.frame_ended && (parser_.received_checksum() != parser_.running_checksum() ||
                           (flags & link_flags::kEarlyEtx))) {
    flags |= link_flags::kChecksumMismatch;
  }
  link.nak = (flags & link_flags::kNak) != 0;
  link.checksum_error = (flags & link_flags::kChecksumMismatch) != 0;

  reply_.status_flags = BuildStatusFlags(link, parser_.status());
  if (link.frame_ended) {
    for (int i = 0; i < 6; ++i)
      reply_.status_bytes[i] = parser_.status()[i] & 0x7F;
  } else {
    reply_.status_bytes.fill(0);
  }
  reply_.checksum_error = link.checksum_error ? 1 : 0;
  reply_.description = CommandDescription(last_code_);
  reply_.command_text = last_text_;
  reply_.raw_answer.assign(parser_.raw(), 0, kMaxRawAnswer);

  if (!link.frame_ended) {
    // Whatever part of a frame came before the wait ended is not an answer.
    reply_.answer_copy.clear();
    reply_.error_code.clear();
    SplitFields({}, reply_);
    return;
  }
  data_.assign(parser_.data());
  reply_.answer_copy.assign(data_, 0, kMaxAnswerCopy);
  ApplyCommaRules(last_code_, data_);
  reply_.error_code = parser_.error_code();
  SplitFields(data_, reply_);
}

ReplyRecord* Engine::ResendLastCommand(bool new_sequence) {
  if (!decoded_ || busy_)
    return nullptr;
  if (!new_sequence)
    sequence_ = previous_sequence_;
  const std::string text = last_text_;
  return &ExecuteCommand(last_code_, text);
}

bool Engine::EndSession() {
  log_.LogEntry("END", "");
  retry_count_ = 0;
  return false;
}

Engine& TheEngine() {
  static Engine engine;
  return engine;
}

ReplyRecord& ExecuteCommand(int code, std::string_view text) {
  return TheEngine().ExecuteCommand(code, text);
}
ReplyRecord* ResendLastCommand(bool new_sequence) {
  return TheEngine().ResendLastCommand(new_sequence);
}
bool EndSession() {
  return TheEngine().EndSession();
}
int RetryCount() {
  return TheEngine().RetryCount();
}
void SetLogFileName(std::string name) {
  TheEngine().log().SetLogFileName(std::move(name));
}
void LogEntry(std::string_view heading, std::string_view body) {
  TheEngine().log().LogEntry(heading, body);
}

}  // namespace tolvanet
