#include "sim/request_parser.h"

#include "link/frame.h"

namespace tolvanet::sim {

namespace {
constexpr std::uint8_t kLengthBase = 0x24;  // 0x24 + number of text bytes
}

void RequestParser::Broken(std::vector<RequestFrame>& out) {
  frame_.kind = RequestFrame::Kind::kBroken;
  out.push_back(frame_);
  state_ = State::kIdle;
}

void RequestParser::Start() {
  frame_ = RequestFrame{};
  sum_ = 0;
  state_ = State::kLength;
}

void RequestParser::Feed(std::string_view bytes, std::vector<RequestFrame>& out) {
  for (char ch : bytes) {
    const auto b = static_cast<std::uint8_t>(ch);
    switch (state_) {
      case State::kIdle:
        if (b == ctl::kSoh)
          Start();
        break;
      case State::kLength:
        if (b < kLengthBase) {
          Broken(out);
          if (b == ctl::kSoh)
            Start();  // a new frame began where this one broke off
          break;
        }
        text_length_ = b - kLengthBase;
        sum_ += b;
        state_ = State::kSequence;
        break;
      case State::kSequence:
        frame_.sequence = b;
        sum_ += b;
        state_ = State::kCode;
        break;
      case State::kCode:
        frame_.code = b;
        sum_ += b;
        state_ = text_length_ > 0 ? State::kText : State::kPostamble;
        break;
      case State::kText:
        frame_.text += ch;
        sum_ += b;
        if (frame_.text.size() == text_length_)
          state_ = State::kPostamble;
        break;
      case State::kPostamble:
        if (b != ctl::kPostamble) {
          Broken(out);
          if (b == ctl::kSoh)
            Start();  // a new frame began where this one broke off
          break;
        }
        sum_ += b;
        received_sum_ = 0;
        digits_ = 0;
        state_ = State::kChecksum;
        break;
      case State::kChecksum:
        if (b < 0x30 || b > 0x3F) {
          Broken(out);
          if (b == ctl::kSoh)
            Start();  // a new frame began where this one broke off
          break;
        }
        received_sum_ = received_sum_ * 16 + (b - 0x30);
        if (++digits_ == 4)
          state_ = State::kEnd;
        break;
      case State::kEnd:
        if (b != ctl::kEtx) {
          Broken(out);
          if (b == ctl::kSoh)
            Start();  // a new frame began where this one broke off
          break;
        }
        frame_.kind = received_sum_ == (sum_ & 0xFFFF) ? RequestFrame::Kind::kFrame
                                                       : RequestFrame::Kind::kBadChecksum;
        out.push_back(frame_);
        state_ = State::kIdle;
        break;
    }
  }
}

}  // namespace tolvanet::sim
