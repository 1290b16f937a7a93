#include "sim/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "sim/terminal_message.h"

namespace tolvanet::sim {

namespace wire = terminal_message;

namespace {

std::string Single(char byte) {
  return wire::Frame(std::string_view(&byte, 1));
}

}  // namespace

struct Terminal::Impl {
  mutable std::mutex mutex;
  TerminalBehaviour behaviour;
  std::vector<std::string> received;
  std::vector<TerminalPayment> payments;
  std::function<void(const std::string&)> log;

  std::string device;
  std::string error;
  int master = -1;
  int slave = -1;  // held open so that the pair lives while no client has it open
  std::thread thread;
  std::atomic<bool> stop{false};
  wire::Reader reader;  // bytes received and not yet a whole message
  int sessions = 0;
  std::string session;  // tag 00 of the running exchange

  void Log(const std::string& line) {
    std::function<void(const std::string&)> out;
    {
      std::lock_guard<std::mutex> lock(mutex);
      out = log;
    }
    if (out)
      out(line);
  }

  void Write(const std::string& bytes, bool pieces) {
    std::size_t done = 0;
    while (done < bytes.size() && !stop) {
      const std::size_t n = pieces ? 1 : bytes.size() - done;
      const ssize_t w = ::write(master, bytes.data() + done, n);
      if (w < 0) {
        if (errno == EINTR || errno == EAGAIN) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
          continue;
        }
        return;
      }
      done += static_cast<std::size_t>(w);
      if (pieces)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  // A body of tagged fields, FS after each (the last one too, unless switched off), less
  // the tags the behaviour leaves out.
  static std::string Body(const std::vector<wire::Field>& fields, const TerminalBehaviour& b) {
    std::vector<wire::Field> kept;
    for (const wire::Field& f : fields) {
      if (!b.missing_tags.count(f.first))
        kept.push_back(f);
    }
    return wire::TaggedBody(kept, !b.no_final_fs);
  }

  std::string CardData(const TerminalBehaviour& b) {
    std::vector<wire::Field> fields;
    if (b.extra_tags)
      fields.push_back({"90", "X00=FAKE"});
    fields.push_back({"00", session});
    if (b.extra_tags)
      fields.push_back({"91", "01=99999999"});
    fields.push_back({"01", b.card_tail});
    fields.push_back({"02", b.card_line});
    if (b.oversized_body)
      fields.push_back({"99", std::string(1200, 'X')});
    if (b.extra_tags)
      fields.push_back({"92", "04=FAKE"});
    fields.push_back({"04", b.card_brand});
    return Body(fields, b);
  }

  std::string Result(const TerminalBehaviour& b, const std::string& transaction) {
    std::vector<wire::Field> fields;
    fields.push_back({"00", session});
    if (b.extra_tags)
      fields.push_back({"93", "58=FAKE"});
    fields.push_back({"39", b.decline ? "05" : "00"});
    if (!b.decline)
      fields.push_back({"58", transaction});
    if (b.extra_tags)
      fields.push_back({"94", "unknown"});
    return Body(fields, b);
  }

  // One message from the link.
  void Handle(const std::string& body) {
    TerminalBehaviour b;
    {
      std::lock_guard<std::mutex> lock(mutex);
      received.push_back(body);
      b = behaviour;
    }
    if (body.size() == 1 && body[0] == wire::kOpening) {
      session = std::to_string(100000 + ++sessions);
      Log("opening request (exchange " + session + ")");
      if (b.silence == TerminalBehaviour::Silence::kOpening)
        return;
      if (b.wrong_ack == TerminalBehaviour::WrongAck::kOpening) {
        Write(Single(wire::kNak), b.one_byte_pieces);
        return;
      }
      Write(Single(wire::kAck), b.one_byte_pieces);
      if (b.silence == TerminalBehaviour::Silence::kCardData)
        return;
      Write(wire::Frame(CardData(b)), b.one_byte_pieces);
      return;
    }
    if (!body.empty() && body[0] == wire::kStx) {
      const std::string amount = wire::Tag(body, "05").value_or("");
      Log("payment request, amount " + amount);
      if (b.wrong_ack == TerminalBehaviour::WrongAck::kRequest) {
        Write(Single(wire::kNak), b.one_byte_pieces);
        return;
      }
      Write(Single(wire::kAck), b.one_byte_pieces);
      if (b.silence == TerminalBehaviour::Silence::kResult)
        return;
      std::string transaction;
      if (!b.decline) {
        std::lock_guard<std::mutex> lock(mutex);
        transaction = std::to_string(410000000000LL + static_cast<long long>(payments.size()) + 1);
        payments.push_back({amount, transaction});
      }
      Write(wire::Frame(Result(b, transaction)), b.one_byte_pieces);
      Log(b.decline ? "payment declined" : "payment approved, transaction " + transaction);
    }
  }

  void Run() {
    char buf[512];
    while (!stop) {
      pollfd p{master, POLLIN, 0};
      const int r = ::poll(&p, 1, 50);
      if (r <= 0 || !(p.revents & POLLIN))
        continue;
      const ssize_t n = ::read(master, buf, sizeof buf);
      if (n <= 0)
        continue;
      std::vector<std::string> bodies;
      reader.Feed(std::string_view(buf, static_cast<std::size_t>(n)), bodies);
      for (const std::string& body : bodies)
        Handle(body);
    }
  }
};

Terminal::Terminal() : impl_(std::make_unique<Impl>()) {}

Terminal::~Terminal() {
  Stop();
}

bool Terminal::Start() {
  Stop();
  Impl& d = *impl_;
  d.error.clear();
  d.master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (d.master < 0 || ::grantpt(d.master) != 0 || ::unlockpt(d.master) != 0) {
    d.error = std::string("no pseudo-terminal: ") + std::strerror(errno);
    Stop();
    return false;
  }
  char name[128];
  if (::ptsname_r(d.master, name, sizeof name) != 0) {
    d.error = std::string("no pseudo-terminal name: ") + std::strerror(errno);
    Stop();
    return false;
  }
  d.device = name;
  d.slave = ::open(name, O_RDWR | O_NOCTTY);
  if (d.slave < 0) {
    d.error = "cannot open " + d.device + ": " + std::strerror(errno);
    Stop();
    return false;
  }
  // Raw until the client sets its own mode: nothing echoed back to the terminal's side.
  termios tio{};
  if (::tcgetattr(d.slave, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::tcsetattr(d.slave, TCSANOW, &tio);
  }
  d.stop = false;
  d.reader.Clear();
  d.thread = std::thread([&d] { d.Run(); });
  return true;
}

void Terminal::Stop() {
  Impl& d = *impl_;
  d.stop = true;
  if (d.thread.joinable())
    d.thread.join();
  if (d.slave >= 0)
    ::close(d.slave);
  if (d.master >= 0)
    ::close(d.master);
  d.slave = d.master = -1;
}

const std::string& Terminal::device_path() const {
  return impl_->device;
}

const std::string& Terminal::error_text() const {
  return impl_->error;
}

TerminalBehaviour Terminal::behaviour() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->behaviour;
}

void Terminal::SetBehaviour(const TerminalBehaviour& behaviour) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->behaviour = behaviour;
}

void Terminal::ChangeBehaviour(const std::function<void(TerminalBehaviour&)>& change) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  change(impl_->behaviour);
}

std::vector<std::string> Terminal::received() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->received;
}

void Terminal::ClearReceived() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->received.clear();
}

std::vector<TerminalPayment> Terminal::payments() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->payments;
}

void Terminal::SendRaw(const std::string& bytes) {
  if (impl_->master >= 0)
    impl_->Write(bytes, false);
}

void Terminal::SetLog(std::function<void(const std::string&)> log) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->log = std::move(log);
}

}  // namespace tolvanet::sim
