#include "link/relay_link.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <asio.hpp>
#include <cerrno>

#include "link/engine.h"
#include "link/scoped_flag.h"

namespace tolvanet {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

constexpr std::size_t kReceiveBlock = 500;
constexpr std::size_t kRegistrationSize = 9;

enum class Wait { kDone, kTimeout, kStopped };

}  // namespace

std::string RegistrationMessage(std::string_view id_dev) {
  std::string msg(id_dev.substr(0, kRegistrationSize));
  msg.resize(kRegistrationSize, '\0');
  return msg;
}

bool IsReadyAnswer(std::string_view answer) {
  return answer.substr(0, answer.find('\0')) == "Ready";
}

struct RelayLink::Impl {
  asio::io_context io;
  tcp::socket socket{io};
  bool closed_while_waiting = false;
  unsigned closings = 0;  // how often the host closed the link
  // The receive time-out the socket has now; zero when not set on this connection yet.
  milliseconds receive_slice{0};

  // Sets how long one receive waits before it gives the idle hook its turn (at least 1 ms:
  // a zero time-out would wait for ever). Nothing is done when it is set so already.
  bool SetReceiveSlice(milliseconds slice) {
    slice = std::max(slice, milliseconds(1));
    if (slice == receive_slice)
      return true;
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(slice.count() / 1000);
    tv.tv_usec = static_cast<suseconds_t>((slice.count() % 1000) * 1000);
    if (::setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0)
      return false;
    receive_slice = slice;
    return true;
  }

  // Runs the io_context until `done`, the deadline, or `stop` says yes; calls the idle hook
  // between slices. Pending operations are cancelled and drained before it returns.
  Wait RunUntil(const bool& done, Clock::time_point deadline, milliseconds slice_limit,
                const std::function<void()>& idle, const std::function<bool()>& stop) {
    Wait result = Wait::kDone;
    while (!done) {
      if (stop && stop()) {
        result = Wait::kStopped;
        break;
      }
      auto now = Clock::now();
      if (now >= deadline) {
        result = Wait::kTimeout;
        break;
      }
      auto slice = std::min(slice_limit, std::chrono::duration_cast<milliseconds>(deadline - now));
      if (slice.count() <= 0)
        slice = milliseconds(1);
      io.restart();
      io.run_for(slice);
      if (!done && idle)
        idle();
    }
    if (!done) {
      std::error_code ignored;
      socket.cancel(ignored);
      io.restart();
      while (!done && io.run_one() > 0) {
      }
    }
    return result;
  }
};

RelayLink::RelayLink(LinkTimings timings) : timings_(timings), impl_(std::make_unique<Impl>()) {}

RelayLink::~RelayLink() {
  std::error_code ignored;
  impl_->socket.close(ignored);
}

void RelayLink::Event(SocketEvent e, const std::string& text) {
  if (events_)
    events_(e, text);
}

bool RelayLink::IsActive() const {
  return impl_->socket.is_open();
}

void RelayLink::CloseLink() {
  if (!impl_->socket.is_open())
    return;
  std::error_code ignored;
  impl_->socket.shutdown(tcp::socket::shutdown_both, ignored);
  impl_->socket.close(ignored);
  impl_->closed_while_waiting = true;
  ++impl_->closings;
  Event(SocketEvent::kDisconnected, host_);
}

bool RelayLink::OpenLink() {
  ScopedFlag connecting(connecting_);
  CloseLink();
  return Connect();
}

bool RelayLink::Connect() {
  error_text_.clear();
  impl_->closed_while_waiting = false;
  const auto deadline = Clock::now() + timings_.stream_timeout;

  Event(SocketEvent::kLookup, host_);
  tcp::resolver resolver(impl_->io);
  tcp::resolver::results_type endpoints;
  std::error_code ec;
  bool done = false;
  resolver.async_resolve(host_, std::to_string(timings_.port),
                         [&](const std::error_code& e, tcp::resolver::results_type r) {
                           ec = e;
                           endpoints = std::move(r);
                           done = true;
                         });
  if (impl_->RunUntil(done, deadline, timings_.idle_interval, idle_, {}) != Wait::kDone) {
    resolver.cancel();
    ec = asio::error::timed_out;
  }
  if (ec) {
    error_text_ = "cannot resolve " + host_ + ": " + ec.message();
    Event(SocketEvent::kError, error_text_);
    return false;
  }

  Event(SocketEvent::kConnecting, host_);
  done = false;
  asio::async_connect(impl_->socket, endpoints,
                      [&](const std::error_code& e, const tcp::endpoint&) {
                        ec = e;
                        done = true;
                      });
  if (impl_->RunUntil(done, deadline, timings_.idle_interval, idle_, {}) != Wait::kDone && !ec) {
    ec = asio::error::timed_out;
  }
  if (ec) {
    std::error_code ignored;
    impl_->socket.close(ignored);
    error_text_ =
        "cannot connect to " + host_ + ":" + std::to_string(timings_.port) + ": " + ec.message();
    Event(SocketEvent::kError, error_text_);
    return false;
  }
  impl_->socket.set_option(tcp::no_delay(true), ec);
  // From here on the link reads and writes the socket itself, without the event loop: a
  // receive that finds the answer there costs one system call, and one that does not waits in
  // that same call, up to the idle interval at a time.
  impl_->receive_slice = milliseconds(0);
  if (impl_->socket.native_non_blocking(false, ec); ec) {
    std::error_code ignored;
    impl_->socket.close(ignored);
    error_text_ = "cannot use the connection to " + host_ + ": " + ec.message();
    Event(SocketEvent::kError, error_text_);
    return false;
  }
  Event(SocketEvent::kConnected, host_);
  return true;
}

bool RelayLink::WriteAll(std::string_view bytes) {
  if (!impl_->socket.is_open())
    return false;
  const int fd = impl_->socket.native_handle();
  impl_->closed_while_waiting = false;
  const unsigned closings = impl_->closings;
  std::error_code ec;
  Clock::time_point deadline{};  // taken when the socket first has no room
  while (!bytes.empty()) {
    // Never blocks: a frame goes at once when the socket has room for it, as a loopback or
    // LAN connection always has.
    const ssize_t put = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (put > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(put));
      continue;
    }
    if (put < 0 && errno == EINTR)
      continue;
    if (put == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
      ec = std::error_code(put == 0 ? EPIPE : errno, std::system_category());
      break;
    }
    // No room: wait for it up to the stream time-out, the idle hook between the waits.
    const auto now = Clock::now();
    if (deadline == Clock::time_point{})
      deadline = now + timings_.stream_timeout;
    if (now >= deadline) {
      ec = asio::error::timed_out;
      break;
    }
    const auto slice = std::clamp(std::chrono::duration_cast<milliseconds>(deadline - now),
                                  milliseconds(1), timings_.idle_interval);
    pollfd p{fd, POLLOUT, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(slice.count()));
    if (ready < 0 && errno != EINTR) {
      ec = std::error_code(errno, std::system_category());
      break;
    }
    if (ready == 0 && idle_) {
      idle_();
      if (impl_->closed_while_waiting || !impl_->socket.is_open() || impl_->closings != closings) {
        impl_->closed_while_waiting = true;
        error_text_ = "write failed: the link was closed";
        return false;
      }
    }
  }
  if (ec) {
    error_text_ = "write failed: " + ec.message();
    return false;
  }
  return true;
}

int RelayLink::ReadSome(Clock::time_point deadline, milliseconds left, char* buf,
                        std::size_t& got) {
  got = 0;
  if (!impl_->socket.is_open())
    return -2;
  impl_->closed_while_waiting = false;
  const unsigned closings = impl_->closings;
  const int fd = impl_->socket.native_handle();
  milliseconds slice = std::min(left, timings_.idle_interval);
  while (true) {
    if (!impl_->SetReceiveSlice(slice)) {
      error_text_ = "connection lost: " + std::error_code(errno, std::system_category()).message();
      return -1;
    }
    // An answer already there costs this one receive; otherwise it waits here for one slice.
    const ssize_t n = ::recv(fd, buf, kReceiveBlock, 0);
    if (n > 0) {
      got = static_cast<std::size_t>(n);
      return 1;
    }
    if (n == 0) {
      error_text_ = "connection lost: " + std::error_code(asio::error::eof).message();
      return -1;
    }
    if (errno == EINTR)
      continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      error_text_ = "connection lost: " + std::error_code(errno, std::system_category()).message();
      return -1;
    }
    // The slice ended with nothing.
    if (idle_)
      idle_();
    // Closed, or closed and opened again, while waiting: this exchange is over.
    if (impl_->closed_while_waiting || !impl_->socket.is_open() || impl_->closings != closings)
      return -2;
    left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0)
      return 0;
    slice = std::min(left, timings_.idle_interval);
  }
}

RelayLink::Result RelayLink::Exchange(std::string_view wire, const Consumer& consume) {
  if (!IsActive())
    return Result::kNotActive;
  if (!WriteAll(wire)) {
    if (impl_->closed_while_waiting)
      return Result::kDone;  // closed by the host while waiting for room: nothing to repeat
    Reconnect();
    return Result::kFailed;
  }
  const milliseconds budget =
      timings_.wait_step * (timings_.exchange_attempts * timings_.exchange_steps);
  const auto deadline = Clock::now() + budget;
  milliseconds left = budget;
  char block[kReceiveBlock];
  while (true) {
    if (left.count() <= 0)
      return Result::kDone;
    std::size_t n = 0;
    int r = ReadSome(deadline, left, block, n);
    if (r == 1) {
      if (consume(std::string_view(block, n)))
        return Result::kDone;
      left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
      continue;
    }
    if (r == 0)
      return Result::kDone;  // nothing more within the limits
    if (r == -2)
      return Result::kDone;  // closed by the host while waiting
    Reconnect();
    return Result::kFailed;
  }
}

std::string RelayLink::WaitRegistrationAnswer(const std::function<bool()>& abort_requested,
                                              bool* aborted) {
  static const std::string kReady("Ready");
  std::string answer;
  const int steps = timings_.register_attempts * timings_.register_steps;
  for (int step = 0; step < steps; ++step) {
    if (abort_requested && abort_requested()) {
      if (aborted)
        *aborted = true;
      return answer;
    }
    char block[kReceiveBlock];
    std::size_t n = 0;
    // One wait step, cut short when the operator asks to stop.
    const auto deadline = Clock::now() + timings_.wait_step;
    int r = 0;
    while (r == 0 && Clock::now() < deadline) {
      const auto now = Clock::now();
      const auto left = std::min(std::chrono::duration_cast<milliseconds>(deadline - now),
                                 timings_.idle_interval * 4);
      r = ReadSome(now + left, left, block, n);
      if (r == 0 && abort_requested && abort_requested()) {
        if (aborted)
          *aborted = true;
        return answer;
      }
    }
    if (r < 0)
      return answer;
    if (r == 1) {
      answer.append(block, n);
      // A reply cut after a few bytes of "Ready" ("Rea") is read on; anything else is final,
      // "Ready" without its zero byte included: the reply is taken up to a zero byte only if
      // there is one.
      const bool partial =
          answer.size() < kReady.size() && kReady.compare(0, answer.size(), answer) == 0;
      if (!partial)
        return answer;
    }
  }
  return answer;
}

Registration RelayLink::RegisterDevice(const std::function<bool()>& abort_requested) {
  ScopedFlag connecting(connecting_);
  Registration reg;
  if (!IsActive())
    return reg;
  if (!WriteAll(RegistrationMessage(id_dev_)))
    return reg;
  reg.answer = WaitRegistrationAnswer(abort_requested, &reg.aborted);
  if (reg.aborted)
    CloseLink();
  return reg;
}

void RelayLink::Reconnect() {
  Event(SocketEvent::kDisconnected, error_text_);
  std::error_code ignored;
  impl_->socket.close(ignored);
  if (!Connect())
    return;  // the socket stays closed; error_text() says why
  if (WriteAll(RegistrationMessage(id_dev_)))
    WaitRegistrationAnswer({}, nullptr);
}

RelayLink& TheLink() {
  static RelayLink link;
  static const bool attached = [] {
    TheEngine().SetTransport(&link);
    return true;
  }();
  (void)attached;
  return link;
}

bool OpenLink() {
  return TheLink().OpenLink();
}
Registration RegisterDevice(const std::function<bool()>& abort_requested) {
  return TheLink().RegisterDevice(abort_requested);
}
void CloseLink() {
  TheLink().CloseLink();
}

}  // namespace tolvanet
