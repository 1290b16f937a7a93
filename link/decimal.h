// Numbers as an operator types them: exact decimals for money, percentages and quantities, and
// whole numbers for codes, counts and addresses. Every window and the terminal tool convert
// their inputs here, before the first command of an operation goes out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvanet {

// Decimals the command texts carry.
inline constexpr int kMoneyDecimals = 2;     // amounts, prices, percentages
inline constexpr int kQuantityDecimals = 3;  // quantities

// An exact decimal: `units` of 10^-decimals.
struct Decimal {
  std::int64_t units = 0;
  int decimals = 0;

  double Value() const;
  // Fixed decimals with "." as the point, as the command texts want it ("12.30", "-0.50").
  std::string Text() const;
  bool operator==(const Decimal&) const = default;
};

// What a value must be after rounding.
enum class DecimalRule { kAny, kNonNegative, kPositive };

// Outcome of a conversion: the value, or the message to show (UTF-8) and nothing else.
template <typename T>
struct Parsed {
  std::optional<T> value;
  std::string error;

  explicit operator bool() const { return value.has_value(); }
  const T& operator*() const { return *value; }
  const T* operator->() const { return &*value; }
};

// Reads a decimal number: blanks around it are ignored; an optional sign, digits with at most
// one "." or "," (either may stand first or last: ".5", "12."); nothing else — no exponent, no
// "inf" or "nan", no hexadecimal. The value is rounded half away from zero to `decimals`
// (0..6) and then checked against `rule`. "2.675" with two decimals is 2.68; "0.0004" as a
// positive quantity rounds to 0.000 and is refused.
Parsed<Decimal> ParseDecimal(std::string_view text, int decimals,
                             DecimalRule rule = DecimalRule::kAny);

// Reads a whole decimal number within [min, max]: blanks around it are ignored, an optional
// sign, decimal digits only.
Parsed<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max);

// The conversion messages, for callers that check in their own way.
std::string NotANumberMessage(std::string_view text);
std::string NotAnIntegerMessage(std::string_view text);

}  // namespace tolvanet
