// The register's side of the frame protocol: request frames cut out of the byte stream.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvanet::sim {

struct RequestFrame {
  enum class Kind {
    kFrame,        // a whole frame with a matching checksum
    kBadChecksum,  // a whole frame whose checksum does not match
    kBroken,       // a frame that lost its post-amble, a checksum digit or its ETX
  };
  Kind kind = Kind::kFrame;
  std::uint8_t sequence = 0;
  std::uint8_t code = 0;
  std::string text;
};

// Fed with whatever the connection delivers: frames may arrive split into pieces or several in
// one piece. Bytes outside a frame (the zero byte after each frame, line noise) are skipped.
class RequestParser {
 public:
  void Feed(std::string_view bytes, std::vector<RequestFrame>& out);

 private:
  enum class State { kIdle, kLength, kSequence, kCode, kText, kPostamble, kChecksum, kEnd };
  void Broken(std::vector<RequestFrame>& out);
  void Start();

  State state_ = State::kIdle;
  std::size_t text_length_ = 0;
  std::uint32_t sum_ = 0;
  std::uint32_t received_sum_ = 0;
  int digits_ = 0;
  RequestFrame frame_;
};

}  // namespace tolvanet::sim
