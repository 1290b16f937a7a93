// The relay link over real loopback TCP against a small scripted relay.
#include <gtest/gtest.h>

#include <asio.hpp>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>
#include <sstream>
#include <thread>

#include "link/engine.h"
#include "link/relay_link.h"
#include "tests/link/fixed_clock.h"

namespace tolvanet {
namespace {

using asio::ip::tcp;

// Accepts connections on a free loopback port and runs `script` on each, in a thread.
class ScriptedRelay {
 public:
  using Script = std::function<void(tcp::socket&, int connection)>;
  explicit ScriptedRelay(Script script, int connections = 1)
      : acceptor_(io_, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0)),
        thread_([this, script, connections] {
          for (int i = 0; i < connections; ++i) {
            tcp::socket s(io_);
            std::error_code ec;
            acceptor_.accept(s, ec);
            if (ec)
              return;
            script(s, i);
          }
        }) {}
  ~ScriptedRelay() {
    std::error_code ec;
    acceptor_.close(ec);
    thread_.join();
  }
  std::uint16_t port() const { return acceptor_.local_endpoint().port(); }

 private:
  asio::io_context io_;
  tcp::acceptor acceptor_;
  std::thread thread_;
};

std::string ReadExactly(tcp::socket& s, std::size_t n) {
  std::string buf(n, '\0');
  std::error_code ec;
  asio::read(s, asio::buffer(buf), ec);
  return ec ? std::string() : buf;
}

// Reads one request frame and the zero byte after it.
std::string ReadRequest(tcp::socket& s) {
  std::string head = ReadExactly(s, 2);
  if (head.size() != 2)
    return {};
  const std::size_t rest = static_cast<unsigned char>(head[1]) - 0x24 + 9;  // through the zero
  return head + ReadExactly(s, rest);
}

void Send(tcp::socket& s, std::string_view bytes) {
  std::error_code ec;
  asio::write(s, asio::buffer(bytes.data(), bytes.size()), ec);
}

// Waits until the client closes its side.
void WaitForClose(tcp::socket& s) {
  char c;
  std::error_code ec;
  while (!ec)
    s.read_some(asio::buffer(&c, 1), ec);
}

LinkTimings ShortTimings(std::uint16_t port) {
  LinkTimings t;
  t.port = port;
  t.stream_timeout = std::chrono::milliseconds(2000);
  t.wait_step = std::chrono::milliseconds(100);
  t.exchange_attempts = 1;
  t.exchange_steps = 3;
  t.register_attempts = 1;
  t.register_steps = 5;
  return t;
}

const std::array<std::uint8_t, 6> kPlain{0x80, 0x80, 0x80, 0x80, 0x80, 0x80};

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(RelayLink, RegistrationMessageIsNineBytes) {
  EXPECT_EQ(RegistrationMessage("ABCD"), std::string("ABCD\0\0\0\0\0", 9));
  EXPECT_EQ(RegistrationMessage("123456789012"), "123456789");
  EXPECT_EQ(RegistrationMessage(""), std::string(9, '\0'));
}

TEST(RelayLink, ReadyRule) {
  struct Case {
    std::string answer;
    bool ready;
  } cases[] = {
      {std::string("Ready\0", 6), true},
      {"Ready", true},
      {std::string("Ready\0more", 10), true},
      {"Ready more", false},
      {"ReadyReady", false},
      {std::string("ready\0", 6), false},
      {"", false},
      {"Busy", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsReadyAnswer(c.answer), c.ready) << c.answer;
}

TEST(RelayLink, SessionOverLoopback) {
  std::string registration, request;
  const std::string answer = BuildAnswerFrame(0x21, 0x21, "0000", "010315;0405;", kPlain);
  std::optional<ScriptedRelay> relay;
  relay.emplace([&](tcp::socket& s, int) {
    registration = ReadExactly(s, 9);
    Send(s, std::string("Ready\0", 6));
    request = ReadRequest(s);
    // The answer comes in three segments, SYN bytes first.
    Send(s, "\x16\x16");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Send(s, answer.substr(0, 10));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Send(s, answer.substr(10));
    WaitForClose(s);
  });

  const auto dir =
      std::filesystem::temp_directory_path() / ("tolvanet-relay-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto log_path = dir / "fp.log";
  std::filesystem::remove(log_path);

  RelayLink link(ShortTimings(relay->port()));
  std::vector<SocketEvent> events;
  link.SetEventHandler([&](SocketEvent e, const std::string&) { events.push_back(e); });
  link.SetHost("127.0.0.1");
  link.SetIdDev("ID42");
  Engine engine;
  engine.SetTransport(&link);
  engine.log().SetLogFileName(log_path.string());
  engine.log().SetClock([] { return testing::LocalTime(9, 12, 2026, 13, 7, 5); });

  ASSERT_TRUE(link.OpenLink()) << link.error_text();
  Registration reg = link.RegisterDevice();
  EXPECT_TRUE(IsReadyAnswer(reg.answer));
  EXPECT_FALSE(reg.aborted);

  ReplyRecord& r = engine.ExecuteCommand(33, "406172;");
  EXPECT_TRUE(r.Succeeded());
  EXPECT_EQ(r.fields[0], "010315");
  EXPECT_EQ(r.fields[1], "0405");
  link.CloseLink();
  EXPECT_FALSE(link.IsActive());
  relay.reset();

  EXPECT_EQ(registration, std::string("ID42\0\0\0\0\0", 9));
  EXPECT_EQ(request, BuildRequestFrame(0x21, 33, "406172;") + std::string(1, '\0'));
  EXPECT_EQ(ReadFile(log_path),
            "; 9-12-2026 13:07:05  21\n21406172;\n"
            "; 9-12-2026 13:07:05  21 SYN=2\n" +
                answer + "\n");
  EXPECT_EQ(events,
            (std::vector<SocketEvent>{SocketEvent::kLookup, SocketEvent::kConnecting,
                                      SocketEvent::kConnected, SocketEvent::kDisconnected}));
  std::filesystem::remove_all(dir);
}

TEST(RelayLink, ReadySplitOverTwoSegmentsIsAccepted) {
  ScriptedRelay relay([&](tcp::socket& s, int) {
    ReadExactly(s, 9);
    Send(s, "Rea");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Send(s, std::string("dy\0", 3));
    WaitForClose(s);
  });
  RelayLink link(ShortTimings(relay.port()));
  link.SetHost("127.0.0.1");
  link.SetIdDev("1");
  ASSERT_TRUE(link.OpenLink());
  EXPECT_TRUE(IsReadyAnswer(link.RegisterDevice().answer));
  link.CloseLink();
}

TEST(RelayLink, ReadyWithOrWithoutItsZeroByteIsTakenAtOnce) {
  struct ReadyCase {
    const char* name;
    std::vector<std::string> pieces;  // written 20 ms apart
    bool reconnect;                   // the answer comes to the re-registration in an exchange
    bool ready;
    bool reads_on;  // the link keeps waiting for more after the last piece
  };
  const std::string ready0("Ready\0", 6);
  const std::vector<ReadyCase> cases = {
      {"with zero byte", {ready0}, false, true, false},
      {"without zero byte", {"Ready"}, false, true, false},
      {"split Re+ady", {"Re", "ady"}, false, true, false},
      {"split Rea+dy+zero", {"Rea", std::string("dy\0", 3)}, false, true, false},
      {"a strict prefix", {"Rea"}, false, false, true},
      {"lower case is final", {"ready"}, false, false, false},
      {"reconnect, without zero byte", {"Ready"}, true, true, false},
      {"reconnect, split Re+ady", {"Re", "ady"}, true, true, false},
  };
  for (const ReadyCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::atomic<bool> answered{false};
    std::optional<ScriptedRelay> relay;
    relay.emplace(
        [&](tcp::socket& s, int connection) {
          ReadExactly(s, 9);
          if (c.reconnect && connection == 0) {
            Send(s, ready0);
            ReadRequest(s);
            s.close();  // the exchange fails: the link connects and registers again
            return;
          }
          for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            if (i > 0)
              std::this_thread::sleep_for(std::chrono::milliseconds(20));
            Send(s, c.pieces[i]);
          }
          answered = true;
          WaitForClose(s);
        },
        c.reconnect ? 2 : 1);
    RelayLink link(ShortTimings(relay->port()));
    link.timings().register_steps = 1000;  // 100 s: the test would time out waiting it out
    link.timings().idle_interval = std::chrono::milliseconds(10);
    // A link still waiting well after the whole answer was written has missed it: give up.
    int idle_after_answer = 0;
    link.SetIdleHook([&] {
      if (answered && ++idle_after_answer > 50)
        link.CloseLink();
    });
    link.SetHost("127.0.0.1");
    link.SetIdDev("1");
    Engine engine;
    engine.SetTransport(&link);
    ASSERT_TRUE(link.OpenLink());
    if (c.reconnect) {
      ASSERT_TRUE(IsReadyAnswer(link.RegisterDevice().answer));
      EXPECT_TRUE(engine.ExecuteCommand(33, "406172;").NoAnswer());
      EXPECT_EQ(link.IsActive(), !c.reads_on);
    } else {
      const Registration reg = link.RegisterDevice();
      EXPECT_EQ(IsReadyAnswer(reg.answer), c.ready) << reg.answer;
      EXPECT_EQ(link.IsActive(), !c.reads_on);
    }
    link.CloseLink();
    relay.reset();
  }
}

TEST(RelayLink, OperatorAbortsASlowRegistration) {
  ScriptedRelay relay([&](tcp::socket& s, int) {
    ReadExactly(s, 9);
    WaitForClose(s);  // never answers
  });
  RelayLink link(ShortTimings(relay.port()));
  link.timings().register_steps = 1000;  // would wait far longer than the test runs
  int idle_calls = 0;
  link.SetIdleHook([&] { ++idle_calls; });
  link.SetHost("127.0.0.1");
  link.SetIdDev("1");
  ASSERT_TRUE(link.OpenLink());
  Registration reg = link.RegisterDevice([&] { return idle_calls >= 3; });
  EXPECT_TRUE(reg.aborted);
  EXPECT_FALSE(link.IsActive());
  EXPECT_GE(idle_calls, 3);
}

TEST(RelayLink, CommandsWaitingForTheRegistrationAreRefusedUnsent) {
  std::string after_registration;
  std::optional<ScriptedRelay> relay;
  relay.emplace([&](tcp::socket& s, int) {
    ReadExactly(s, 9);
    char c;
    std::error_code ec;
    while (!ec) {
      if (s.read_some(asio::buffer(&c, 1), ec) == 1)
        after_registration += c;
    }
  });
  RelayLink link(ShortTimings(relay->port()));
  Engine engine;
  engine.SetTransport(&link);
  std::string refusal;
  link.SetIdleHook([&] {
    if (refusal.empty() && link.Connecting()) {
      engine.ExecuteCommand(0x80, "406172;");
      refusal = engine.refusal();
    }
  });
  link.SetHost("127.0.0.1");
  link.SetIdDev("1");
  ASSERT_TRUE(link.OpenLink());
  link.RegisterDevice();  // the relay never says "Ready"
  EXPECT_FALSE(link.Connecting());
  link.CloseLink();
  relay.reset();
  EXPECT_FALSE(refusal.empty());
  EXPECT_TRUE(engine.reply().NoAnswer());
  EXPECT_EQ(after_registration, "");
}

TEST(RelayLink, ConnectionRefused) {
  std::uint16_t port;
  {
    asio::io_context io;
    tcp::acceptor a(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    port = a.local_endpoint().port();
  }
  RelayLink link(ShortTimings(port));
  std::vector<SocketEvent> events;
  link.SetEventHandler([&](SocketEvent e, const std::string&) { events.push_back(e); });
  link.SetHost("127.0.0.1");
  EXPECT_FALSE(link.OpenLink());
  EXPECT_FALSE(link.IsActive());
  EXPECT_FALSE(link.error_text().empty());
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), SocketEvent::kError);
  // Registration on a closed link sends nothing and reads nothing.
  EXPECT_EQ(link.RegisterDevice().answer, "");
}

TEST(RelayLink, NoAnswerWithinTheLimitsAndCommandsFromTheIdleHookAreRefused) {
  ScriptedRelay relay([&](tcp::socket& s, int) {
    ReadExactly(s, 9);
    Send(s, std::string("Ready\0", 6));
    ReadRequest(s);
    WaitForClose(s);  // the register never answers
  });
  RelayLink link(ShortTimings(relay.port()));
  Engine engine;
  engine.SetTransport(&link);
  int idle_calls = 0;
  std::string inner_refusal;
  link.SetIdleHook([&] {
    if (++idle_calls == 1) {
      engine.ExecuteCommand(0x42, "406172;");
      inner_refusal = engine.refusal();
    }
  });
  link.SetHost("127.0.0.1");
  link.SetIdDev("1");
  ASSERT_TRUE(link.OpenLink());
  ASSERT_TRUE(IsReadyAnswer(link.RegisterDevice().answer));
  ReplyRecord& r = engine.ExecuteCommand(33, "406172;");
  EXPECT_EQ(r.status_flags, status_bits::kNoAnswer);
  EXPECT_GT(idle_calls, 1);
  EXPECT_FALSE(inner_refusal.empty());
  link.CloseLink();
}

// How an exchange reads its answer: at once when it is there, block by block when it comes in
// pieces, and in slices of the idle interval (the idle hook between them) when nothing comes.
TEST(RelayLink, ReadingTheAnswer) {
  const std::string answer = BuildAnswerFrame(0x21, 0x21, "0000", "010315;0405;", kPlain);
  struct ReadCase {
    const char* name;
    std::vector<std::string> pieces;  // the relay's bytes after the request, 20 ms apart
    bool already_there;               // sent before the command starts, not after its request
    bool peer_closes;                 // the relay drops the connection after the pieces
    bool stop_in_wait;                // the idle hook closes the link
    bool reopen_in_wait;              // the idle hook closes the link and connects again
    bool succeeded;
    bool active_after;
    int connections;  // 2: the link connected and registered again
    int min_idle;     // the idle hook ran at least this often ...
    int max_idle;     // ... and at most this often
  };
  const std::vector<ReadCase> cases = {
      // clang-format off
      {"answer already there", {answer}, true, false, false, false, true, true, 1, 0, 0},
      {"answer split across reads",
       {"\x16", answer.substr(0, 5), answer.substr(5, 15), answer.substr(20)},
       false, false, false, false, true, true, 1, 0, 100},
      {"no answer: time-out", {}, false, false, false, false, false, true, 1, 1, 100},
      {"stop during the wait", {}, false, false, true, false, false, false, 1, 1, 1},
      {"closed and opened again during the wait", {}, false, false, false, true, false, true, 2,
       1, 1},
      {"peer closes before answering", {}, false, true, false, false, false, true, 2, 0, 100},
      {"peer closes in the middle of the answer", {answer.substr(0, 12)}, false, true, false,
       false, false, true, 2, 0, 100},
      // clang-format on
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::promise<void> registered;
    std::promise<void> sent_early;
    std::string request;
    std::atomic<int> connections = 0;
    std::optional<ScriptedRelay> relay;
    relay.emplace(
        [&](tcp::socket& s, int connection) {
          ++connections;
          ReadExactly(s, 9);
          Send(s, std::string("Ready\0", 6));
          if (connection > 0) {
            WaitForClose(s);
            return;
          }
          if (c.already_there) {
            registered.get_future().wait();
            Send(s, c.pieces[0]);
            sent_early.set_value();
          }
          request = ReadRequest(s);
          for (std::size_t i = 0; !c.already_there && i < c.pieces.size(); ++i) {
            if (i > 0)
              std::this_thread::sleep_for(std::chrono::milliseconds(20));
            Send(s, c.pieces[i]);
          }
          if (c.peer_closes) {
            s.close();
            return;
          }
          WaitForClose(s);
        },
        c.connections);
    RelayLink link(ShortTimings(relay->port()));
    Engine engine;
    engine.SetTransport(&link);
    int idle_calls = 0;
    link.SetIdleHook([&] {
      ++idle_calls;
      if (c.stop_in_wait)
        link.CloseLink();
      if (c.reopen_in_wait && idle_calls == 1)
        link.OpenLink();
    });
    link.SetHost("127.0.0.1");
    link.SetIdDev("1");
    ASSERT_TRUE(link.OpenLink());
    const bool ready = IsReadyAnswer(link.RegisterDevice().answer);
    if (c.already_there) {
      registered.set_value();
      sent_early.get_future().wait();
    }
    ASSERT_TRUE(ready);
    idle_calls = 0;
    const ReplyRecord& r = engine.ExecuteCommand(33, "406172;");
    EXPECT_EQ(r.Succeeded(), c.succeeded);
    EXPECT_EQ(r.NoAnswer(), !c.succeeded);
    if (c.succeeded) {
      EXPECT_EQ(r.raw_answer, answer);
      EXPECT_EQ(r.Field(0), "010315");
      EXPECT_EQ(r.Field(1), "0405");
      EXPECT_EQ(engine.parser().syn_count(), c.pieces[0] == "\x16" ? 1 : 0);
    }
    EXPECT_EQ(link.IsActive(), c.active_after);
    EXPECT_GE(idle_calls, c.min_idle);
    EXPECT_LE(idle_calls, c.max_idle);
    // A connection made again may still wait in the relay's backlog: it is counted once taken.
    for (int i = 0; i < 200 && connections < c.connections; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    link.CloseLink();
    relay.reset();
    EXPECT_EQ(connections, c.connections);
    EXPECT_EQ(request, BuildRequestFrame(0x21, 33, "406172;") + std::string(1, '\0'));
  }
}

TEST(RelayLink, SocketFailureReconnectsAndReRegisters) {
  std::vector<std::string> registrations;
  std::optional<ScriptedRelay> relay;
  relay.emplace(
      [&](tcp::socket& s, int connection) {
        registrations.push_back(ReadExactly(s, 9));
        Send(s, std::string("Ready\0", 6));
        if (connection == 0) {
          ReadRequest(s);
          s.close();  // the relay drops the connection mid-command
          return;
        }
        WaitForClose(s);
      },
      2);
  RelayLink link(ShortTimings(relay->port()));
  Engine engine;
  engine.SetTransport(&link);
  link.SetHost("127.0.0.1");
  link.SetIdDev("77");
  ASSERT_TRUE(link.OpenLink());
  ASSERT_TRUE(IsReadyAnswer(link.RegisterDevice().answer));
  ReplyRecord& r = engine.ExecuteCommand(33, "406172;");
  EXPECT_TRUE(r.NoAnswer());
  EXPECT_TRUE(link.IsActive());  // connected and registered again
  EXPECT_EQ(engine.ResendLastCommand(false), nullptr);
  link.CloseLink();
  relay.reset();  // joins the relay thread before its record is read
  ASSERT_EQ(registrations.size(), 2u);
  EXPECT_EQ(registrations[1], std::string("77\0\0\0\0\0\0\0", 9));
}

}  // namespace
}  // namespace tolvanet
