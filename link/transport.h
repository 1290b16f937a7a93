// The transport under the transaction engine: moves one request frame and its answer.
#pragma once

#include <functional>
#include <string_view>

namespace tolvanet {

class Transport {
 public:
  enum class Result {
    kDone,       // the frame was written; whatever came was handed over (maybe nothing)
    kNotActive,  // not connected: nothing was written or read
    kFailed,     // the socket failed during the exchange; the link has been re-established
  };

  // Hands one received block to the engine; returns true when the answer is finished.
  using Consumer = std::function<bool(std::string_view block)>;

  virtual ~Transport() = default;
  virtual bool IsActive() const = 0;
  // True while the link is connecting or registering with the relay: nothing can be sent.
  virtual bool Connecting() const { return false; }
  // Writes `wire` (the frame and its trailing zero byte), then reads blocks of at most
  // 500 bytes and hands each to `consume` until it returns true or the waiting limits end.
  virtual Result Exchange(std::string_view wire, const Consumer& consume) = 0;
};

}  // namespace tolvanet
