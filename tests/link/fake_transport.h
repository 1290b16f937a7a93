// A transport without a socket: records what the engine writes and answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/transport.h"

namespace tolvanet::testing {

class FakeTransport : public Transport {
 public:
  // Each answer is a list of blocks handed over one by one.
  std::deque<std::vector<std::string>> answers;
  std::vector<std::string> written;
  bool active = true;
  bool connecting = false;  // the link is registering: the engine sends nothing
  bool fail_next = false;
  std::function<void()> during_exchange;

  bool IsActive() const override { return active; }
  bool Connecting() const override { return connecting; }
  Result Exchange(std::string_view wire, const Consumer& consume) override {
    if (!active)
      return Result::kNotActive;
    written.emplace_back(wire);
    if (during_exchange)
      during_exchange();
    if (fail_next) {
      fail_next = false;
      return Result::kFailed;
    }
    if (answers.empty())
      return Result::kDone;
    auto blocks = answers.front();
    answers.pop_front();
    for (const auto& b : blocks) {
      if (consume(b))
        break;
    }
    return Result::kDone;
  }
};

}  // namespace tolvanet::testing
