#include "script/monitor_lines.h"

#include "link/hex.h"

namespace tolvanet::script {

namespace {

constexpr std::size_t kFrameHead = 3;    // start, length, sequence
constexpr std::size_t kFrameTail = 6;    // post-amble, four checksum digits, end
constexpr std::size_t kAnswerTail = 13;  // separator, six status bytes, post-amble, checksum, end
constexpr std::string_view kArrow = "->";

// `text` without `head` characters at the front and `tail` at the back; empty when shorter.
std::string_view Inner(std::string_view text, std::size_t head, std::size_t tail) {
  if (text.size() <= head + tail)
    return {};
  return text.substr(head, text.size() - head - tail);
}

}  // namespace

std::optional<int> ParseCommandCode(std::string_view text) {
  if (text.size() != 2)
    return std::nullopt;
  const int hi = HexDigitValue(text[0]);
  const int lo = HexDigitValue(text[1]);
  if (hi < 0 || lo < 0)
    return std::nullopt;
  return hi * 16 + lo;
}

ExchangeLines ShortExchangeLines(const ReplyRecord& reply, std::string_view code_field) {
  ExchangeLines lines;
  lines.sent = "PC: (" + std::string(code_field) + ")" +
               std::string(Inner(reply.sent_frame, kFrameHead, kFrameTail));
  lines.answer = "FP: " + std::string(Inner(reply.raw_answer, 0, kAnswerTail));
  return lines;
}

ExchangeLines WholeExchangeLines(const ReplyRecord& reply) {
  return {"PC: " + reply.sent_frame, "FP: " + reply.raw_answer};
}

std::string KeptCommand(std::string_view code, std::string_view data) {
  return std::string(code) + std::string(kArrow) + std::string(data);
}

KeptFields ParseKeptCommand(std::string_view entry) {
  // A complete code is two characters, so its arrow stands at the third place; an entry kept
  // with a shorter code is split at its first arrow.
  std::size_t arrow = 2;
  if (entry.substr(arrow, kArrow.size()) != kArrow)
    arrow = entry.find(kArrow);
  if (arrow == std::string_view::npos)
    return {std::string(entry), std::string()};
  return {std::string(entry.substr(0, arrow)), std::string(entry.substr(arrow + kArrow.size()))};
}

}  // namespace tolvanet::script
