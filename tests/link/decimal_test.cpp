#include "link/decimal.h"

#include <gtest/gtest.h>

namespace tolvanet {
namespace {

struct DecimalCase {
  const char* text;
  int decimals;
  DecimalRule rule;
  const char* sent;  // nullptr: refused
};

TEST(ParseDecimal, RoundsAndChecksWhatOperatorsType) {
  const DecimalCase cases[] = {
      {"2.675", 2, DecimalRule::kAny, "2.68"},  // never 2.67 as binary rounding would give
      {"2.665", 2, DecimalRule::kAny, "2.67"},
      {"-2.675", 2, DecimalRule::kAny, "-2.68"},  // half away from zero
      {"1,5", 3, DecimalRule::kPositive, "1.500"},
      {" 12.34 ", 2, DecimalRule::kPositive, "12.34"},
      {"12.", 2, DecimalRule::kAny, "12.00"},
      {".5", 2, DecimalRule::kAny, "0.50"},
      {"+7", 2, DecimalRule::kAny, "7.00"},
      {"0.0005", 3, DecimalRule::kPositive, "0.001"},
      {"0.0004", 3, DecimalRule::kPositive, nullptr},    // rounds to 0.000
      {"-0.001", 2, DecimalRule::kNonNegative, "0.00"},  // rounds to zero, which is allowed
      {"-0.001", 3, DecimalRule::kNonNegative, nullptr},
      {"-0.01", 2, DecimalRule::kNonNegative, nullptr},
      {"0", 2, DecimalRule::kPositive, nullptr},
      {"1e3", 2, DecimalRule::kAny, nullptr},
      {"inf", 2, DecimalRule::kAny, nullptr},
      {"nan", 2, DecimalRule::kAny, nullptr},
      {"0x10", 2, DecimalRule::kAny, nullptr},
      {"1.2.3", 2, DecimalRule::kAny, nullptr},
      {"1 000", 2, DecimalRule::kAny, nullptr},
      {"", 2, DecimalRule::kAny, nullptr},
      {"-", 2, DecimalRule::kAny, nullptr},
      {".", 2, DecimalRule::kAny, nullptr},
      {"99999999999999999999", 2, DecimalRule::kAny, nullptr},  // does not fit
      {"92233720368547758.07", 2, DecimalRule::kAny, "92233720368547758.07"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto parsed = ParseDecimal(c.text, c.decimals, c.rule);
    if (c.sent == nullptr) {
      EXPECT_FALSE(parsed);
      EXPECT_FALSE(parsed.error.empty());
    } else {
      ASSERT_TRUE(parsed) << parsed.error;
      EXPECT_EQ(parsed->Text(), c.sent);
    }
  }
}

TEST(ParseDecimal, MessagesNameTheText) {
  EXPECT_EQ(ParseDecimal("1e3", 2).error, "\"1e3\" не является числом.");
  EXPECT_NE(ParseDecimal("0.0004", 3, DecimalRule::kPositive).error.find("0.000"),
            std::string::npos);
  EXPECT_DOUBLE_EQ(ParseDecimal("12.34", 2)->Value(), 12.34);
}

TEST(ParseInteger, DigitsWithinBounds) {
  struct Case {
    const char* text;
    std::int64_t min, max;
    std::optional<std::int64_t> value;
  } const cases[] = {
      {"42", 0, 100, 42},
      {" -5 ", -10, 10, -5},
      {"101", 0, 100, std::nullopt},
      {"-1", 0, 100, std::nullopt},
      {"99999999999999", 0, 99999999999999, 99999999999999},
      {"9223372036854775808", 0, INT64_MAX, std::nullopt},  // overflow is out of range
      {"1.0", 0, 100, std::nullopt},
      {"0x10", 0, 100, std::nullopt},
      {"", 0, 100, std::nullopt},
      {"+", 0, 100, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto parsed = ParseInteger(c.text, c.min, c.max);
    EXPECT_EQ(parsed.value, c.value);
    EXPECT_EQ(parsed.error.empty(), c.value.has_value());
  }
}

}  // namespace
}  // namespace tolvanet
