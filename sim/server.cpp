#include "sim/server.h"

#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <cstring>
#include <list>
#include <map>
#include <mutex>
#include <thread>

#include "link/codepage.h"
#include "link/frame.h"
#include "sim/register.h"
#include "sim/request_parser.h"
#include "sim/state_file.h"

namespace tolvanet::sim {

using asio::awaitable;
using asio::use_awaitable;
using asio::ip::tcp;

namespace {

constexpr std::size_t kRegistrationSize = 9;
constexpr auto kSaveInterval = std::chrono::milliseconds(500);
const std::string kReady("Ready\0", 6);
const std::string kUnknown("Unknown ID_DEV\0", 15);
const std::string kRemoteOff("Remote access off\0", 18);

// A register text for the log: UTF-8, with control bytes shown as "?".
std::string Printable(std::string_view cp1251) {
  std::string out = FromCp1251(cp1251);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20)
      c = '?';
  }
  return out;
}

}  // namespace

class Session;

// The server's state; Server::Impl is this under the name the header gives it.
struct ServerCore {
  ServerOptions options;
  mutable std::mutex registers_mutex;
  std::vector<std::unique_ptr<Register>> registers;

  std::unique_ptr<asio::io_context> io;
  std::unique_ptr<tcp::acceptor> acceptor;
  std::unique_ptr<asio::steady_timer> save_timer;
  std::thread thread;
  std::atomic<bool> running{false};
  std::uint16_t port = 0;
  std::string error;

  // Touched on the server's thread only.
  std::map<Register*, std::weak_ptr<Session>> active;
  std::list<std::weak_ptr<Session>> sessions;

  void Log(const std::string& line) const {
    if (options.log)
      options.log(line);
  }
  Register* Find(const std::string& id) const;
  void Claim(Register* r, const std::shared_ptr<Session>& s);
  bool Save();
  bool Load();
};

struct Server::Impl : ServerCore {};

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(ServerCore& server, tcp::socket socket)
      : server_(server), socket_(std::move(socket)), timer_(socket_.get_executor()) {
    std::error_code ec;
    auto ep = socket_.remote_endpoint(ec);
    peer_ = ec ? std::string("?") : ep.address().to_string() + ":" + std::to_string(ep.port());
    socket_.non_blocking(true, ec);  // Write tries at once and never blocks the io thread
  }

  static awaitable<void> Run(std::shared_ptr<Session> self) { co_await self->Serve(); }

  void Close() {
    std::error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
    timer_.cancel();
  }

 private:
  awaitable<void> Serve();
  // Finds the register a registration names; the relay's refusal when it cannot connect it.
  const std::string* Admit(const std::string& id);
  awaitable<bool> Answer(const RequestFrame& frame);
  awaitable<bool> Write(std::string_view bytes);
  awaitable<void> Pause(int ms);

  ServerCore& server_;
  tcp::socket socket_;
  asio::steady_timer timer_;
  std::string peer_;
  Register* register_ = nullptr;
  // The last frame answered on this connection, for a client that repeats it.
  bool answered_ = false;
  std::uint8_t last_sequence_ = 0;
  std::uint8_t last_code_ = 0;
  std::string last_text_;
  std::string last_answer_;
};

awaitable<bool> Session::Write(std::string_view bytes) {
  // An answer nearly always fits in the socket's buffer: written here at once, it costs one
  // system call and no round through the reactor. What does not fit goes the asynchronous way.
  std::error_code ec;
  std::size_t put = socket_.write_some(asio::buffer(bytes.data(), bytes.size()), ec);
  if (ec == asio::error::would_block || ec == asio::error::try_again) {
    put = 0;
    ec.clear();
  }
  if (ec)
    co_return false;
  if (put == bytes.size())
    co_return true;
  co_await asio::async_write(socket_, asio::buffer(bytes.data() + put, bytes.size() - put),
                             asio::redirect_error(use_awaitable, ec));
  co_return !ec;
}

awaitable<void> Session::Pause(int ms) {
  if (ms <= 0)
    co_return;
  std::error_code ec;
  timer_.expires_after(std::chrono::milliseconds(ms));
  co_await timer_.async_wait(asio::redirect_error(use_awaitable, ec));
}

const std::string* Session::Admit(const std::string& id) {
  register_ = server_.Find(id);
  if (register_ == nullptr) {
    server_.Log("client " + peer_ + " asked for unknown ID_DEV \"" + Printable(id) + "\"");
    return &kUnknown;
  }
  if (!register_->RemoteAccess()) {
    // Service counter 20 is 0: the register works locally and takes no connection.
    server_.Log("client " + peer_ + " refused: remote access of ID_DEV " + id + " is off");
    return &kRemoteOff;
  }
  return nullptr;
}

awaitable<void> Session::Serve() {
  std::error_code ec;
  char registration[kRegistrationSize];
  co_await asio::async_read(socket_, asio::buffer(registration),
                            asio::redirect_error(use_awaitable, ec));
  if (ec)
    co_return;
  const std::string id(registration, strnlen(registration, kRegistrationSize));
  if (const std::string* refusal = Admit(id)) {
    co_await Write(*refusal);
    Close();
    co_return;
  }
  co_await Pause(register_->faults().registration_delay_ms);
  if (!socket_.is_open())
    co_return;
  server_.Claim(register_, shared_from_this());
  server_.Log("client " + peer_ + " registered for ID_DEV " + id);
  if (!co_await Write(kReady))
    co_return;

  RequestParser parser;
  std::vector<RequestFrame> frames;
  char buffer[512];
  while (true) {
    const std::size_t n = co_await socket_.async_read_some(asio::buffer(buffer),
                                                           asio::redirect_error(use_awaitable, ec));
    if (ec)
      break;
    frames.clear();
    parser.Feed(std::string_view(buffer, n), frames);
    for (const RequestFrame& f : frames) {
      if (!co_await Answer(f)) {
        Close();
        co_return;
      }
    }
  }
  server_.Log("client " + peer_ + " disconnected");
  Close();
}

awaitable<bool> Session::Answer(const RequestFrame& f) {
  static const std::string kNak(1, static_cast<char>(ctl::kNak));
  static const std::string kSyn(1, static_cast<char>(ctl::kSyn));
  if (f.kind != RequestFrame::Kind::kFrame) {
    server_.Log("client " + peer_ + ": damaged frame, NAK");
    co_return co_await Write(kNak);
  }
  const Faults faults = register_->faults();
  if (faults.drop_connection || faults.no_answer || faults.nak) {
    register_->Record(f.code, f.text, f.sequence);
    if (faults.drop_connection)
      co_return false;
    if (faults.no_answer)
      co_return true;
    co_return co_await Write(kNak);
  }
  if (answered_ && f.sequence == last_sequence_ && f.code == last_code_ && f.text == last_text_) {
    // The same frame again: the client lost the answer. It gets it again; the command is not
    // carried out twice.
    register_->Record(f.code, f.text, f.sequence);
    co_return co_await Write(last_answer_);
  }
  const sim::Answer answer = register_->Execute(f.code, f.text, f.sequence);
  if (answer.delivery == sim::Answer::Delivery::kNoAnswer)
    co_return true;
  if (answer.delivery == sim::Answer::Delivery::kNak)
    co_return co_await Write(kNak);
  if (server_.options.log_requests) {
    server_.Log("ID_DEV " + register_->id_dev() + ": code " + std::to_string(f.code) + " \"" +
                Printable(f.text) + "\" -> " + answer.error_code + " \"" + Printable(answer.data) +
                "\"");
  }
  co_await Pause(faults.answer_delay_ms);
  if (answer.prints) {
    for (int i = 0; i < faults.syn_count; ++i) {
      if (!co_await Write(kSyn))
        co_return false;
      co_await Pause(faults.syn_interval_ms);
    }
  }
  std::string frame =
      BuildAnswerFrame(f.sequence, f.code, answer.error_code, answer.data, answer.status);
  answered_ = true;
  last_sequence_ = f.sequence;
  last_code_ = f.code;
  last_text_ = f.text;
  last_answer_ = frame;
  if (faults.corrupt_checksum || answer.delivery == sim::Answer::Delivery::kBadChecksum) {
    frame[frame.size() - 2] ^= 0x01;  // the last checksum digit, still a digit byte
  }
  if (faults.split_answer_bytes <= 0)
    co_return co_await Write(frame);
  const auto piece = static_cast<std::size_t>(faults.split_answer_bytes);
  for (std::size_t at = 0; at < frame.size(); at += piece) {
    if (!co_await Write(std::string_view(frame).substr(at, piece)))
      co_return false;
    if (at + piece < frame.size())
      co_await Pause(1);
  }
  co_return true;
}

Register* ServerCore::Find(const std::string& id) const {
  std::lock_guard<std::mutex> lock(registers_mutex);
  for (const auto& r : registers) {
    // The registration carries at most 9 bytes of the identifier.
    if (r->id_dev().substr(0, kRegistrationSize) == id)
      return r.get();
  }
  return nullptr;
}

void ServerCore::Claim(Register* r, const std::shared_ptr<Session>& s) {
  // A newer client for the same register takes over; the older connection is closed.
  auto it = active.find(r);
  if (it != active.end()) {
    if (auto old = it->second.lock(); old && old != s) {
      Log("an older client of ID_DEV " + r->id_dev() + " is disconnected: a new one took over");
      old->Close();
    }
  }
  active[r] = s;
}

bool ServerCore::Save() {
  if (options.state_file.empty())
    return true;
  std::vector<RegisterState> states;
  {
    std::lock_guard<std::mutex> lock(registers_mutex);
    for (const auto& r : registers)
      states.push_back(r->State());
  }
  std::string why;
  if (!SaveStateFile(options.state_file, states, why)) {
    Log("state file not saved: " + why);
    return false;
  }
  return true;
}

bool ServerCore::Load() {
  if (options.state_file.empty())
    return true;
  std::vector<RegisterState> states;
  if (!LoadStateFile(options.state_file, states, error))
    return false;
  std::lock_guard<std::mutex> lock(registers_mutex);
  for (RegisterState& s : states) {
    Register* target = nullptr;
    for (const auto& r : registers) {
      if (r->id_dev() == s.id_dev)
        target = r.get();
    }
    if (target == nullptr) {
      registers.push_back(std::make_unique<Register>(s.id_dev));
      target = registers.back().get();
    }
    // A register switched on again is reachable: remote access comes back on at start.
    s.counters[20] = 1;
    target->ReplaceState(std::move(s));
    target->TakeDirty();
  }
  return true;
}

namespace {

awaitable<void> AcceptLoop(ServerCore& impl) {
  while (true) {
    std::error_code ec;
    tcp::socket socket =
        co_await impl.acceptor->async_accept(asio::redirect_error(use_awaitable, ec));
    if (ec) {
      if (!impl.acceptor->is_open())
        co_return;
      continue;
    }
    socket.set_option(tcp::no_delay(true), ec);
    impl.sessions.remove_if([](const std::weak_ptr<Session>& w) { return w.expired(); });
    auto session = std::make_shared<Session>(impl, std::move(socket));
    impl.sessions.push_back(session);
    asio::co_spawn(*impl.io, Session::Run(session), asio::detached);
  }
}

awaitable<void> SaveLoop(ServerCore& impl) {
  while (true) {
    std::error_code ec;
    impl.save_timer->expires_after(kSaveInterval);
    co_await impl.save_timer->async_wait(asio::redirect_error(use_awaitable, ec));
    if (ec)
      co_return;
    bool dirty = false;
    {
      std::lock_guard<std::mutex> lock(impl.registers_mutex);
      for (const auto& r : impl.registers)
        dirty = r->TakeDirty() || dirty;
    }
    if (dirty)
      impl.Save();
  }
}

}  // namespace

Server::Server(ServerOptions options) : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
}

Server::~Server() {
  Stop();
}

Register& Server::AddRegister(const std::string& id_dev) {
  if (Register* r = FindRegister(id_dev))
    return *r;
  std::lock_guard<std::mutex> lock(impl_->registers_mutex);
  impl_->registers.push_back(std::make_unique<Register>(id_dev));
  return *impl_->registers.back();
}

Register* Server::FindRegister(const std::string& id_dev) {
  std::lock_guard<std::mutex> lock(impl_->registers_mutex);
  for (const auto& r : impl_->registers) {
    if (r->id_dev() == id_dev)
      return r.get();
  }
  return nullptr;
}

std::vector<std::string> Server::register_ids() const {
  std::lock_guard<std::mutex> lock(impl_->registers_mutex);
  std::vector<std::string> ids;
  for (const auto& r : impl_->registers)
    ids.push_back(r->id_dev());
  return ids;
}

bool Server::Start() {
  Impl& m = *impl_;
  if (m.running)
    return true;
  m.error.clear();
  if (!m.Load())
    return false;
  m.io = std::make_unique<asio::io_context>();
  std::error_code ec;
  tcp::endpoint endpoint;
  auto address = asio::ip::make_address(m.options.address, ec);
  if (ec) {
    tcp::resolver resolver(*m.io);
    auto found = resolver.resolve(m.options.address, std::to_string(m.options.port), ec);
    if (ec || found.empty()) {
      m.error = "cannot resolve " + m.options.address + ": " + ec.message();
      m.io.reset();
      return false;
    }
    endpoint = found.begin()->endpoint();
  } else {
    endpoint = tcp::endpoint(address, m.options.port);
  }
  m.acceptor = std::make_unique<tcp::acceptor>(*m.io);
  m.acceptor->open(endpoint.protocol(), ec);
  if (!ec)
    m.acceptor->set_option(tcp::acceptor::reuse_address(true), ec);
  if (!ec)
    m.acceptor->bind(endpoint, ec);
  if (!ec)
    m.acceptor->listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    m.error = "cannot listen on " + m.options.address + ":" + std::to_string(m.options.port) +
              ": " + ec.message();
    m.acceptor.reset();
    m.io.reset();
    return false;
  }
  m.port = m.acceptor->local_endpoint().port();
  m.save_timer = std::make_unique<asio::steady_timer>(*m.io);
  asio::co_spawn(*m.io, AcceptLoop(m), asio::detached);
  if (!m.options.state_file.empty())
    asio::co_spawn(*m.io, SaveLoop(m), asio::detached);
  m.running = true;
  m.thread = std::thread([io = m.io.get()] { io->run(); });
  return true;
}

void Server::Stop() {
  Impl& m = *impl_;
  if (!m.running)
    return;
  asio::post(*m.io, [&m] {
    std::error_code ignored;
    m.acceptor->close(ignored);
    m.save_timer->cancel();
    for (auto& w : m.sessions) {
      if (auto s = w.lock())
        s->Close();
    }
    m.sessions.clear();
    m.active.clear();
    m.io->stop();
  });
  m.thread.join();
  // Whatever is still pending (sessions in the middle of an answer) goes with the io_context.
  m.acceptor.reset();
  m.save_timer.reset();
  m.io.reset();
  m.running = false;
  m.Save();
}

bool Server::running() const {
  return impl_->running;
}

std::uint16_t Server::port() const {
  return impl_->port;
}

const std::string& Server::error_text() const {
  return impl_->error;
}

}  // namespace tolvanet::sim
