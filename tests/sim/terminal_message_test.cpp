// The simulated terminal's own framing, against bytes written out by hand: a fault here must not
// hide behind the same fault in the program's side of the link.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/terminal.h"
#include "sim/terminal_message.h"

namespace tolvanet::sim::terminal_message {
namespace {

// Two length bytes as they travel.
std::string L(unsigned char high, unsigned char low) {
  return std::string{static_cast<char>(high), static_cast<char>(low)};
}

// A body written readably: '^' stands for STX, '|' for FS.
std::string B(std::string text) {
  for (char& c : text) {
    if (c == '^')
      c = 0x02;
    else if (c == '|')
      c = 0x1C;
  }
  return text;
}

const std::string kOpeningBytes = L(0x00, 0x01) + "\x12";
const std::string kAckBytes = L(0x00, 0x01) + "\x06";
// The payment request as the program sends it: 42 body bytes, no FS after the last field.
const std::string kRequestBody = B("^00=100001|03=S|05=1234|52=980|53=UAH|61=1");
const std::string kRequestBytes = L(0x00, 0x2A) + kRequestBody;

TEST(TerminalMessage, FixturesAreWhatTheySay) {
  ASSERT_EQ(kRequestBody.size(), 42u);
  ASSERT_EQ(kRequestBytes.size(), 44u);
}

TEST(TerminalMessage, FrameWritesTheLengthHighByteFirst) {
  struct Case {
    const char* name;
    std::string body;
    std::string length;  // the two bytes expected in front of the body
  };
  const std::vector<Case> cases = {
      {"empty", "", L(0x00, 0x00)},
      {"acknowledgement", "\x06", L(0x00, 0x01)},
      {"the request", kRequestBody, L(0x00, 0x2A)},
      {"255 bytes", std::string(255, 'A'), L(0x00, 0xFF)},
      {"256 bytes", std::string(256, 'A'), L(0x01, 0x00)},
      {"1264 bytes", std::string(1264, 'A'), L(0x04, 0xF0)},
      {"the largest", std::string(65535, 'A'), L(0xFF, 0xFF)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Frame(c.body), c.length + c.body);
  }
  EXPECT_EQ(Frame("\x12"), kOpeningBytes);
  EXPECT_THROW(Frame(std::string(65536, 'A')), std::length_error);
}

TEST(TerminalMessage, ReaderCutsBodiesOutOfAnyPieces) {
  struct Case {
    const char* name;
    std::vector<std::string> pieces;
    std::vector<std::string> bodies;
    std::size_t pending;
  };
  const std::string big(300, 'Z');
  const std::vector<Case> cases = {
      {"one whole message", {kOpeningBytes}, {"\x12"}, 0},
      {"the request whole", {kRequestBytes}, {kRequestBody}, 0},
      {"the length alone first", {L(0x00, 0x2A), kRequestBody}, {kRequestBody}, 0},
      {"the length split", {std::string(1, '\0'), "\x2A" + kRequestBody}, {kRequestBody}, 0},
      {"a body split", {kRequestBytes.substr(0, 10), kRequestBytes.substr(10)}, {kRequestBody}, 0},
      {"two in one piece", {kOpeningBytes + kAckBytes}, {"\x12", "\x06"}, 0},
      {"one and a half", {kOpeningBytes + kRequestBytes.substr(0, 5)}, {"\x12"}, 5},
      {"half a length", {std::string(1, '\0')}, {}, 1},
      {"a body still short", {L(0x00, 0x03) + "ab"}, {}, 4},
      {"an empty body", {L(0x00, 0x00) + kAckBytes}, {"", "\x06"}, 0},
      // A reader that took the low byte alone would end this body after 44 bytes.
      {"a length over 255", {L(0x01, 0x2C) + big}, {big}, 0},
      {"over 255, short", {L(0x01, 0x2C) + big.substr(0, 44)}, {}, 46},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reader reader;
    std::vector<std::string> bodies;
    for (const std::string& p : c.pieces)
      reader.Feed(p, bodies);
    EXPECT_EQ(bodies, c.bodies);
    EXPECT_EQ(reader.pending(), c.pending);
  }
}

TEST(TerminalMessage, ReaderTakesAStreamOneByteAtATime) {
  const std::string stream = kOpeningBytes + kAckBytes + kRequestBytes + kAckBytes;
  Reader reader;
  std::vector<std::string> bodies;
  for (char c : stream)
    reader.Feed(std::string_view(&c, 1), bodies);
  EXPECT_EQ(bodies, (std::vector<std::string>{"\x12", "\x06", kRequestBody, "\x06"}));
  EXPECT_EQ(reader.pending(), 0u);
}

TEST(TerminalMessage, TaggedBodyWritesFieldsWithSeparators) {
  const std::vector<Field> fields = {{"00", "100001"}, {"39", "00"}, {"58", "410000000001"}};
  EXPECT_EQ(TaggedBody(fields, true), B("^00=100001|39=00|58=410000000001|"));
  EXPECT_EQ(TaggedBody(fields, false), B("^00=100001|39=00|58=410000000001"));
  EXPECT_EQ(TaggedBody({}, true), B("^"));
  EXPECT_EQ(TaggedBody({}, false), B("^"));
  EXPECT_EQ(TaggedBody({{"05", ""}}, false), B("^05="));
}

TEST(TerminalMessage, TagIsReadOnlyWhereAFieldStarts) {
  struct Case {
    const char* name;
    std::string body;
    const char* tag;
    std::optional<std::string> value;
  };
  const std::vector<Case> cases = {
      {"the first field", kRequestBody, "00", "100001"},
      {"a middle field", kRequestBody, "05", "1234"},
      {"the last field, no FS", kRequestBody, "61", "1"},
      {"missing", kRequestBody, "58", std::nullopt},
      {"an empty value", B("^05=|61=1"), "05", ""},
      {"an empty last value", B("^61=1|05="), "05", ""},
      {"no STX", B("05=77|61=1"), "05", "77"},
      {"inside a value", B("^90=05=FAKE|05=12"), "05", "12"},
      {"only inside a value", B("^90=X05=FAKE"), "05", std::nullopt},
      {"no '='", B("^051234|61=1"), "05", std::nullopt},
      {"a three-digit tag", B("^050=9|05=1"), "05", "1"},
      {"the first of two", B("^05=1|05=2"), "05", "1"},
      {"an empty body", "", "05", std::nullopt},
      {"STX alone", B("^"), "05", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Tag(c.body, c.tag), c.value);
  }
}

// The simulated terminal on its pseudo-terminal, driven with hand-written bytes.
class TerminalWire : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(terminal_.Start()) << terminal_.error_text();
    fd_ = ::open(terminal_.device_path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd_, 0);
  }
  void TearDown() override {
    if (fd_ >= 0)
      ::close(fd_);
    terminal_.Stop();
  }
  void Send(const std::string& bytes) {
    ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Exactly `count` bytes, or fewer when none come for five seconds (a bound, not a timing).
  std::string Receive(std::size_t count) {
    std::string out;
    char buf[512];
    while (out.size() < count) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 5000) <= 0)
        break;
      const ssize_t n = ::read(fd_, buf, std::min(sizeof buf, count - out.size()));
      if (n <= 0)
        break;
      out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
  }

  Terminal terminal_;
  int fd_ = -1;
};

TEST_F(TerminalWire, AnswersAPaymentInTheBytesOfTheLink) {
  const std::string card = B("^00=100001|01=12345678|02=TERMINAL T1000001 AUTH OK|04=VISA|");
  ASSERT_EQ(card.size(), 60u);
  Send(kOpeningBytes);
  EXPECT_EQ(Receive(65), kAckBytes + L(0x00, 0x3C) + card);

  // The request's length arrives split: its high byte alone first.
  Send(kRequestBytes.substr(0, 1));
  Send(kRequestBytes.substr(1));
  const std::string result = B("^00=100001|39=00|58=410000000001|");
  ASSERT_EQ(result.size(), 33u);
  EXPECT_EQ(Receive(38), kAckBytes + L(0x00, 0x21) + result);
  Send(kAckBytes);

  ASSERT_EQ(terminal_.payments().size(), 1u);
  EXPECT_EQ(terminal_.payments()[0].amount, "1234");
  EXPECT_EQ(terminal_.payments()[0].transaction_id, "410000000001");
}

TEST_F(TerminalWire, AnOversizedCardBodyCarriesItsWholeLength) {
  terminal_.ChangeBehaviour([](TerminalBehaviour& b) { b.oversized_body = true; });
  Send(kOpeningBytes);
  const std::string got = Receive(3 + 2 + 1264);
  ASSERT_EQ(got.size(), 3u + 2u + 1264u);
  EXPECT_EQ(got.substr(0, 5), kAckBytes + L(0x04, 0xF0));
  EXPECT_EQ(got.substr(got.size() - 8), B("04=VISA|"));
}

TEST_F(TerminalWire, WithoutAFinalSeparatorTheLengthCountsOneByteLess) {
  terminal_.ChangeBehaviour([](TerminalBehaviour& b) {
    b.no_final_fs = true;
    b.missing_tags = {"02"};
  });
  Send(kOpeningBytes);
  const std::string card = B("^00=100001|01=12345678|04=VISA");
  ASSERT_EQ(card.size(), 30u);
  EXPECT_EQ(Receive(35), kAckBytes + L(0x00, 0x1E) + card);
}

}  // namespace
}  // namespace tolvanet::sim::terminal_message
