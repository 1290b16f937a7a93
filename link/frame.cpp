#include "link/frame.h"

namespace tolvanet {

namespace {
constexpr std::size_t kMaxErrorCode = 19;
// Everything received goes into the session log, junk before the frame included; only a peer
// that streams without end is cut off here.
constexpr std::size_t kMaxRawKept = 1 << 20;
}  // namespace

std::uint8_t SequenceByte(std::uint8_t counter) {
  return static_cast<std::uint8_t>(0x20 + counter % 95);
}

std::string ChecksumDigits(std::uint32_t sum) {
  std::string out(4, '0');
  for (int i = 0; i < 4; ++i) {
    out[3 - i] = static_cast<char>(0x30 + ((sum >> (4 * i)) & 0x0F));
  }
  return out;
}

namespace {
std::uint32_t SumBytes(std::string_view bytes) {
  std::uint32_t sum = 0;
  for (unsigned char c : bytes)
    sum += c;
  return sum;
}
}  // namespace

std::string BuildRequestFrame(std::uint8_t sequence_byte, std::uint8_t code,
                              std::string_view text) {
  std::string frame;
  frame.reserve(text.size() + 10);
  frame += static_cast<char>(ctl::kSoh);
  frame += static_cast<char>(0x24 + text.size());
  frame += static_cast<char>(sequence_byte);
  frame += static_cast<char>(code);
  frame += text;
  frame += static_cast<char>(ctl::kPostamble);
  frame += ChecksumDigits(SumBytes(std::string_view(frame).substr(1)));
  frame += static_cast<char>(ctl::kEtx);
  return frame;
}

std::string BuildAnswerFrame(std::uint8_t sequence_byte, std::uint8_t code,
                             std::string_view error_code, std::string_view data,
                             const std::array<std::uint8_t, 6>& status) {
  std::string frame;
  frame += static_cast<char>(ctl::kSoh);
  frame += static_cast<char>(0x30 + data.size());
  frame += static_cast<char>(sequence_byte);
  frame += static_cast<char>(code);
  frame += error_code;
  frame += ';';
  frame += data;
  frame += static_cast<char>(ctl::kSeparator);
  for (auto b : status)
    frame += static_cast<char>(b);
  frame += static_cast<char>(ctl::kPostamble);
  frame += ChecksumDigits(SumBytes(std::string_view(frame).substr(1)));
  frame += static_cast<char>(ctl::kEtx);
  return frame;
}

void AnswerParser::BeginTransaction() {
  state_ = 0;
  checksum_ = 0;
  received_checksum_ = 0;
  data_count_ = 0;
  counter_ = 0;
  data_.clear();
  status_.fill(0);
  raw_.clear();
  syn_count_ = 0;
  frame_complete_ = false;
  frame_ended_ = false;
  link_flags_ = 0;
}

void AnswerParser::Feed(std::uint8_t byte) {
  if (byte == ctl::kSyn) {
    ++syn_count_;
  } else if (raw_.size() < kMaxRawKept) {
    raw_ += static_cast<char>(byte);
  }
  switch (byte) {
    case ctl::kSoh:
      state_ = 0;
      Step(byte);
      return;
    case ctl::kEtx:
      if (state_ != 10)
        link_flags_ = link_flags::kEarlyEtx;
      state_ = 10;
      Step(byte);
      return;
    case ctl::kNak:
      state_ = 0;
      link_flags_ = link_flags::kNak;
      frame_ended_ = true;
      return;
    default:
      Step(byte);
  }
}

void AnswerParser::Step(std::uint8_t b) {
  switch (state_) {
    case 0:
      if (b == ctl::kSoh)
        state_ = 1;
      checksum_ = 0;
      break;
    case 1:
      if (b < 0x30) {
        state_ = 0;
        break;
      }
      data_count_ = b - 0x30;
      checksum_ += b;
      state_ = 2;
      break;
    case 2:
      if (b < 0x20) {
        state_ = 0;
        break;
      }
      sequence_ = static_cast<std::uint8_t>(b - 0x20);
      checksum_ += b;
      state_ = 3;
      break;
    case 3:
      command_ = b;
      data_.clear();
      error_code_.clear();
      counter_ = 0;
      checksum_ += b;
      state_ = 4;
      break;
    case 4:
      checksum_ += b;
      if (b == ';') {
        state_ = data_count_ > 0 ? 5 : 6;
      } else if (error_code_.size() < kMaxErrorCode) {
        error_code_ += static_cast<char>(b);
      }
      break;
    case 5:
      if (counter_ < data_count_) {
        data_ += static_cast<char>(b);
        ++counter_;
        checksum_ += b;
      }
      if (counter_ >= data_count_)
        state_ = 6;
      break;
    case 6:
      if (b == ctl::kSeparator) {
        counter_ = 0;
        checksum_ += b;
        state_ = 7;
      } else {
        state_ = 0;
      }
      break;
    case 7:
      if (counter_ < 6) {
        status_[counter_++] = b;
        checksum_ += b;
      }
      if (counter_ >= 6)
        state_ = 8;
      break;
    case 8:
      if (b == ctl::kPostamble) {
        counter_ = 0;
        received_checksum_ = 0;
        checksum_ += b;
        state_ = 9;
      } else {
        state_ = 0;
      }
      break;
    case 9:
      if (counter_ < 4) {
        received_checksum_ = received_checksum_ * 16 + static_cast<std::uint32_t>(b - 0x30);
        ++counter_;
      }
      if (counter_ >= 4)
        state_ = 10;
      break;
    case 10:
      state_ = 0;
      frame_complete_ = true;
      if (b == ctl::kEtx)
        frame_ended_ = true;
      break;
    default:
      state_ = 0;
  }
}

}  // namespace tolvanet
