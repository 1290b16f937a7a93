#include "link/relay_link.h"

#include <algorithm>
#include <asio.hpp>

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
  Event(SocketEvent::kConnected, host_);
  return true;
}

bool RelayLink::WriteAll(std::string_view bytes) {
  if (!impl_->socket.is_open())
    return false;
  std::error_code ec;
  bool done = false;
  asio::async_write(impl_->socket, asio::buffer(bytes.data(), bytes.size()),
                    [&](const std::error_code& e, std::size_t) {
                      ec = e;
                      done = true;
                    });
  if (impl_->RunUntil(done, Clock::now() + timings_.stream_timeout, timings_.idle_interval, idle_,
                      {}) != Wait::kDone &&
      !ec) {
    ec = asio::error::timed_out;
  }
  if (ec) {
    error_text_ = "write failed: " + ec.message();
    return false;
  }
  return true;
}

int RelayLink::ReadSome(milliseconds limit, std::string& out) {
  if (!impl_->socket.is_open())
    return -2;
  char buf[kReceiveBlock];
  std::error_code ec;
  std::size_t n = 0;
  bool done = false;
  impl_->closed_while_waiting = false;
  impl_->socket.async_read_some(asio::buffer(buf), [&](const std::error_code& e, std::size_t got) {
    ec = e;
    n = got;
    done = true;
  });
  Wait w = impl_->RunUntil(done, Clock::now() + limit, timings_.idle_interval, idle_, {});
  if (impl_->closed_while_waiting || !impl_->socket.is_open())
    return -2;
  if (n > 0) {
    out.assign(buf, n);
    return 1;
  }
  if (w == Wait::kTimeout || ec == asio::error::operation_aborted)
    return 0;
  if (ec) {
    error_text_ = "connection lost: " + ec.message();
    return -1;
  }
  return 0;
}

RelayLink::Result RelayLink::Exchange(std::string_view wire, const Consumer& consume) {
  if (!IsActive())
    return Result::kNotActive;
  if (!WriteAll(wire)) {
    Reconnect();
    return Result::kFailed;
  }
  const auto budget = timings_.wait_step * (timings_.exchange_attempts * timings_.exchange_steps);
  const auto deadline = Clock::now() + budget;
  std::string block;
  while (true) {
    auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0)
      return Result::kDone;
    int r = ReadSome(left, block);
    if (r == 1) {
      if (consume(block))
        return Result::kDone;
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
    std::string block;
    // One wait step, cut short when the operator asks to stop.
    const auto deadline = Clock::now() + timings_.wait_step;
    int r = 0;
    while (r == 0 && Clock::now() < deadline) {
      auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
      r = ReadSome(std::min(left, timings_.idle_interval * 4), block);
      if (r == 0 && abort_requested && abort_requested()) {
        if (aborted)
          *aborted = true;
        return answer;
      }
    }
    if (r < 0)
      return answer;
    if (r == 1) {
      answer += block;
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
