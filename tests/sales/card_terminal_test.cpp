// The bank terminal's messages: framing and tag extraction from untrusted bodies.
#include "sales/card_terminal.h"

#include <gtest/gtest.h>

#include <optional>

namespace tolvanet::card_terminal {
namespace {

TEST(CardTerminalMessages, TagsCountOnlyAtTheStartOfAField) {
  const std::string fs(1, kFs);
  const std::string stx(1, kStx);
  struct Case {
    std::string body;
    const char* tag;
    std::optional<std::string> value;
  };
  const Case cases[] = {
      {stx + "00=123" + fs + "01=4567" + fs, "00", "123"},
      {stx + "00=123" + fs + "01=4567", "01", "4567"},  // the last field without FS
      {"01=4567" + fs, "01", "4567"},                   // a body without STX
      {stx + "90=X58=FAKE" + fs + "58=REAL" + fs, "58", "REAL"},
      {stx + "90=X58=FAKE" + fs, "58", std::nullopt},
      {stx + "580=1" + fs + "58=" + fs, "58", ""},  // present, empty
      {stx + "05=1234", "58", std::nullopt},
      {stx + "0=1" + fs + "00", "00", std::nullopt},
      {"", "00", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    EXPECT_EQ(FindTag(c.body, c.tag), c.value);
  }
}

TEST(CardTerminalMessages, RequestAndLinesAsTheTerminalAndTheReceiptWantThem) {
  EXPECT_EQ(OpeningRequest(), std::string("\x00\x01\x12", 3));
  EXPECT_EQ(Acknowledgement(), std::string("\x00\x01\x06", 3));
  EXPECT_TRUE(IsAcknowledgement(std::string("\x00\x01\x06", 3)));
  EXPECT_FALSE(IsAcknowledgement(std::string("\x00\x01\x15", 3)));
  EXPECT_EQ(Message(std::string(300, 'x')).substr(0, 2), std::string("\x01\x2C", 2));

  const std::string body = PaymentRequestBody("77", "1234");
  EXPECT_EQ(body,
            "\x02"
            "00=77\x1C"
            "03=S\x1C"
            "05=1234\x1C"
            "52=980\x1C"
            "53=UAH\x1C"
            "61=1");

  const std::pair<const char*, const char*> numbers[] = {
      {"12345678", "**** **** 1234 5678"},
      {"12345", "**** **** 1234 5"},
      {"1234", "**** **** 1234"},
      {"", "**** **** "},
  };
  for (const auto& [tag01, line] : numbers)
    EXPECT_EQ(CardNumberLine(tag01), line) << tag01;

  EXPECT_TRUE(IsSafeValue("VISA \xD0\xC0"));
  for (const char* bad : {"A;B", "A\x1C", "\x02", "A\x7F"})
    EXPECT_FALSE(IsSafeValue(bad)) << bad;
}

}  // namespace
}  // namespace tolvanet::card_terminal
