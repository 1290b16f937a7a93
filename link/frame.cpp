#include "link/frame.h"

#include <algorithm>
#include <cstring>

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

void BuildRequestFrame(std::string& frame, std::uint8_t sequence_byte, std::uint8_t code,
                       std::string_view text) {
  const std::size_t n = text.size();
  const auto length = static_cast<std::uint8_t>(0x24 + n);
  frame.resize(n + 10);
  char* p = frame.data();
  p[0] = static_cast<char>(ctl::kSoh);
  p[1] = static_cast<char>(length);
  p[2] = static_cast<char>(sequence_byte);
  p[3] = static_cast<char>(code);
  if (n > 0)
    std::memcpy(p + 4, text.data(), n);
  p[4 + n] = static_cast<char>(ctl::kPostamble);
  const std::uint32_t sum = length + sequence_byte + code + SumBytes(text) + ctl::kPostamble;
  for (int i = 0; i < 4; ++i)
    p[8 + n - i] = static_cast<char>(0x30 + ((sum >> (4 * i)) & 0x0F));
  p[9 + n] = static_cast<char>(ctl::kEtx);
}

std::string BuildRequestFrame(std::uint8_t sequence_byte, std::uint8_t code,
                              std::string_view text) {
  std::string frame;
  BuildRequestFrame(frame, sequence_byte, code, text);
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
  Keep(std::string_view(reinterpret_cast<const char*>(&byte), 1));
  Take(byte);
}

namespace {

// The length of the run of bytes at the start of `bytes` (at most `limit`) that are neither a
// byte meaning something to the frame anywhere (SOH, ETX, NAK) nor `end`; `sum` gets their sum.
std::size_t PlainRun(std::string_view bytes, std::size_t limit, int end, std::uint32_t& sum) {
  limit = std::min(limit, bytes.size());
  std::size_t run = 0;
  std::uint32_t total = 0;
  for (; run < limit; ++run) {
    const auto b = static_cast<std::uint8_t>(bytes[run]);
    if (b == ctl::kSoh || b == ctl::kEtx || b == ctl::kNak || b == end)
      break;
    total += b;
  }
  sum = total;
  return run;
}

}  // namespace

std::size_t AnswerParser::Feed(std::string_view block) {
  std::size_t taken = 0;
  while (taken < block.size() && !frame_complete_) {
    // The error code, the data part and the status bytes move as runs, up to the next byte
    // that means something to the frame; every other byte goes through the states one by one.
    const std::string_view rest = block.substr(taken);
    std::uint32_t sum = 0;
    std::size_t run = 0;
    if (state_ == 4) {
      run = PlainRun(rest, rest.size(), ';', sum);
      error_code_.append(
          rest.data(), std::min(run, kMaxErrorCode - std::min(error_code_.size(), kMaxErrorCode)));
    } else if (state_ == 5 && counter_ < data_count_) {
      run = PlainRun(rest, static_cast<std::size_t>(data_count_ - counter_), -1, sum);
      data_.append(rest.data(), run);
      counter_ += static_cast<int>(run);
      if (counter_ >= data_count_)
        state_ = 6;
    } else if (state_ == 7 && counter_ < 6) {
      run = PlainRun(rest, static_cast<std::size_t>(6 - counter_), -1, sum);
      std::memcpy(status_.data() + counter_, rest.data(), run);
      counter_ += static_cast<int>(run);
      if (counter_ >= 6)
        state_ = 8;
    }
    if (run > 0) {
      checksum_ += sum;
      taken += run;
      continue;
    }
    Take(static_cast<std::uint8_t>(block[taken++]));
  }
  Keep(block.substr(0, taken));
  return taken;
}

void AnswerParser::Keep(std::string_view bytes) {
  // Everything except SYN goes into the raw answer; SYN bytes are counted.
  const std::size_t room = kMaxRawKept - std::min(raw_.size(), kMaxRawKept);
  if (std::memchr(bytes.data(), ctl::kSyn, bytes.size()) == nullptr) {
    raw_.append(bytes.data(), std::min(bytes.size(), room));
    return;
  }
  for (char c : bytes) {
    if (static_cast<std::uint8_t>(c) == ctl::kSyn)
      ++syn_count_;
    else if (raw_.size() < kMaxRawKept)
      raw_ += c;
  }
}

inline void AnswerParser::Take(std::uint8_t byte) {
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

inline void AnswerParser::Step(std::uint8_t b) {
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
