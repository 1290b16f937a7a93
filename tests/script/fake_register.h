// A register without a socket: answers each request frame as a register would, from a table
// of answers by command code, and records what it was sent.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/transport.h"

namespace tolvanet::testing {

struct FakeAnswer {
  std::string error = "0000";
  std::string data;
  bool silent = false;        // nothing comes back
  bool bad_checksum = false;  // the answer's checksum does not match
};

struct SentCommand {
  int code;
  std::string text;
  bool operator==(const SentCommand&) const = default;
};

class FakeRegister : public Transport {
 public:
  std::map<int, FakeAnswer> answers;  // by command code; other codes succeed with no data
  std::vector<SentCommand> sent;
  std::array<std::uint8_t, 6> status{0x80, 0x80, 0x80, 0x80, 0x80, 0x80};

  bool IsActive() const override { return true; }
  Result Exchange(std::string_view wire, const Consumer& consume) override {
    // SOH, length, sequence, code, text, 0x05, four checksum digits, ETX, zero byte.
    const auto seq = static_cast<std::uint8_t>(wire[2]);
    const int code = static_cast<std::uint8_t>(wire[3]);
    sent.push_back({code, std::string(wire.substr(4, wire.size() - 4 - 7))});
    FakeAnswer answer;
    if (auto it = answers.find(code); it != answers.end())
      answer = it->second;
    if (answer.silent)
      return Result::kDone;
    std::string frame =
        BuildAnswerFrame(seq, static_cast<std::uint8_t>(code), answer.error, answer.data, status);
    if (answer.bad_checksum)
      frame[frame.size() - 2] ^= 0x01;
    consume(frame);
    return Result::kDone;
  }
};

}  // namespace tolvanet::testing
