#include "sales/card_terminal.h"

#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <asio.hpp>
#include <cerrno>
#include <cstring>

namespace tolvanet::card_terminal {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::string Message(std::string_view body) {
  const std::size_t n = std::min<std::size_t>(body.size(), 0xFFFF);
  std::string out;
  out.reserve(n + 2);
  out += static_cast<char>((n >> 8) & 0xFF);
  out += static_cast<char>(n & 0xFF);
  out.append(body.substr(0, n));
  return out;
}

std::string OpeningRequest() {
  return Message(std::string_view(&kOpening, 1));
}

std::string Acknowledgement() {
  return Message(std::string_view(&kAck, 1));
}

bool IsAcknowledgement(std::string_view three_bytes) {
  return three_bytes.size() == 3 && three_bytes[2] == kAck;
}

std::optional<std::string> FindTag(std::string_view body, std::string_view tag) {
  std::size_t start = 0;
  while (start <= body.size()) {
    std::size_t end = body.find(kFs, start);
    if (end == std::string_view::npos)
      end = body.size();
    std::string_view field = body.substr(start, end - start);
    if (!field.empty() && field.front() == kStx)
      field.remove_prefix(1);
    if (field.size() > tag.size() && field.substr(0, tag.size()) == tag &&
        field[tag.size()] == '=') {
      return std::string(field.substr(tag.size() + 1));
    }
    start = end + 1;
  }
  return std::nullopt;
}

bool IsSafeValue(std::string_view value) {
  return std::none_of(value.begin(), value.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return c == ';' || b < 0x20 || b == 0x7F;
  });
}

std::string PaymentRequestBody(std::string_view tag00, std::string_view kopecks) {
  std::string body(1, kStx);
  auto field = [&body](std::string_view tag, std::string_view value, bool last = false) {
    body.append(tag);
    body += '=';
    body.append(value);
    if (!last)
      body += kFs;
  };
  field("00", tag00);
  field("03", "S");
  field("05", kopecks);
  field("52", "980");
  field("53", "UAH");
  field("61", "1", true);
  return body;
}

std::string CardNumberLine(std::string_view tag01) {
  std::string digits(tag01);
  if (digits.size() >= 5)
    digits.insert(4, 1, ' ');
  return "**** **** " + digits;
}

struct Port::Impl {
  asio::io_context io;
  asio::serial_port port{io};
  milliseconds pump_interval;
  Waiting waiting;

  // Runs the pending operation until `done`, the deadline, or the host stops the wait; the
  // operation is cancelled and drained before it returns.
  ReadResult RunUntil(const bool& done, Clock::time_point deadline) {
    ReadResult result = ReadResult::kDone;
    while (!done) {
      const auto now = Clock::now();
      if (now >= deadline) {
        result = ReadResult::kTimeout;
        break;
      }
      auto slice =
          std::min(pump_interval, std::chrono::duration_cast<milliseconds>(deadline - now));
      if (slice.count() <= 0)
        slice = milliseconds(1);
      io.restart();
      io.run_for(slice);
      if (!done && waiting && waiting()) {
        result = ReadResult::kCancelled;
        break;
      }
    }
    if (!done) {
      std::error_code ignored;
      port.cancel(ignored);
      io.restart();
      while (!done && io.run_one() > 0) {
      }
    }
    return result;
  }
};

Port::Port(milliseconds pump_interval, Waiting waiting) : impl_(std::make_unique<Impl>()) {
  impl_->pump_interval = std::max(pump_interval, milliseconds(1));
  impl_->waiting = std::move(waiting);
}

Port::~Port() {
  Close();
}

bool Port::IsOpen() const {
  return impl_->port.is_open();
}

void Port::Close() {
  if (!impl_->port.is_open())
    return;
  // The exclusive mode belongs to the device, not to this handle: it would outlive the close
  // while anything else holds the device open.
  ::ioctl(impl_->port.native_handle(), TIOCNXCL);
  std::error_code ignored;
  impl_->port.close(ignored);
}

bool Port::Open(const std::string& device) {
  Close();
  error_text_.clear();
  std::error_code ec;
  impl_->port.open(device, ec);
  if (ec) {
    error_text_ = ec.message();
    return false;
  }
  using asio::serial_port_base;
  const int fd = impl_->port.native_handle();
  auto fail = [&](const std::string& what) {
    error_text_ = what;
    Close();
    return false;
  };
  // No other program may open the terminal's port while the payment runs.
  if (::ioctl(fd, TIOCEXCL) != 0)
    return fail(std::string("exclusive access refused: ") + std::strerror(errno));
  // Raw bytes both ways: asio starts from a raw mode; make sure nothing translates, echoes or
  // throttles the terminal's binary messages.
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0)
    return fail(std::string("cannot read the port settings: ") + std::strerror(errno));
  ::cfmakeraw(&tio);
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cflag |= CREAD | CLOCAL;
  // A read returns what has come (the port is non-blocking; an empty read would read as EOF).
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (::tcsetattr(fd, TCSANOW, &tio) != 0)
    return fail(std::string("cannot set the port to raw mode: ") + std::strerror(errno));
  impl_->port.set_option(serial_port_base::baud_rate(kBaudRate), ec);
  if (!ec)
    impl_->port.set_option(serial_port_base::character_size(8), ec);
  if (!ec)
    impl_->port.set_option(serial_port_base::parity(serial_port_base::parity::none), ec);
  if (!ec)
    impl_->port.set_option(serial_port_base::stop_bits(serial_port_base::stop_bits::one), ec);
  if (!ec)
    impl_->port.set_option(serial_port_base::flow_control(serial_port_base::flow_control::none),
                           ec);
  if (ec)
    return fail("cannot set 115200 8N1: " + ec.message());
  // Whatever the terminal sent before this payment belongs to no message of it.
  ::tcflush(fd, TCIOFLUSH);
  return true;
}

ReadResult Port::ReadExact(std::size_t count, std::string& out, Clock::time_point deadline) {
  out.assign(count, '\0');
  if (!IsOpen()) {
    error_text_ = "the port is not open";
    return ReadResult::kFailed;
  }
  if (count == 0)
    return ReadResult::kDone;
  std::error_code ec;
  std::size_t got = 0;
  bool done = false;
  asio::async_read(impl_->port, asio::buffer(out.data(), count),
                   [&](const std::error_code& e, std::size_t n) {
                     ec = e;
                     got = n;
                     done = true;
                   });
  ReadResult r = impl_->RunUntil(done, deadline);
  if (r != ReadResult::kDone) {
    out.resize(got);
    return r;
  }
  if (ec || got != count) {
    out.resize(got);
    error_text_ = ec ? ec.message() : "the port closed";
    return ReadResult::kFailed;
  }
  return ReadResult::kDone;
}

ReadResult Port::WriteAll(std::string_view bytes, Clock::time_point deadline) {
  if (!IsOpen()) {
    error_text_ = "the port is not open";
    return ReadResult::kFailed;
  }
  std::error_code ec;
  bool done = false;
  asio::async_write(impl_->port, asio::buffer(bytes.data(), bytes.size()),
                    [&](const std::error_code& e, std::size_t) {
                      ec = e;
                      done = true;
                    });
  ReadResult r = impl_->RunUntil(done, deadline);
  if (r == ReadResult::kDone && ec) {
    error_text_ = ec.message();
    return ReadResult::kFailed;
  }
  return r;
}

}  // namespace tolvanet::card_terminal
