// The monitor's hand-typed commands: the command code typed in hexadecimal, the exchange lines
// of the message area, and the entries of the kept-command list.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "link/reply.h"

namespace tolvanet::script {

// The command code typed as exactly two hexadecimal digits (either case); nothing otherwise.
std::optional<int> ParseCommandCode(std::string_view text);

// The two message-area lines of one exchange (Windows-1251 bytes, as they travelled).
struct ExchangeLines {
  std::string sent;    // "PC: ..."
  std::string answer;  // "FP: ..."
};

// The short form: "PC: (" code ")" + the request frame without start, length and sequence
// bytes and without post-amble, checksum and end; "FP: " + the answer without its separator,
// status bytes, post-amble, checksum and end.
ExchangeLines ShortExchangeLines(const ReplyRecord& reply, std::string_view code_field);

// The whole form: "PC: " + the request frame, "FP: " + the answer as received.
ExchangeLines WholeExchangeLines(const ReplyRecord& reply);

// A kept-command list entry: the code, "->", the data (the password is not kept).
std::string KeptCommand(std::string_view code, std::string_view data);

struct KeptFields {
  std::string code;
  std::string data;
};

// The code and data of a kept entry.
KeptFields ParseKeptCommand(std::string_view entry);

}  // namespace tolvanet::script
