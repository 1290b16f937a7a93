#include "link/decimal.h"

#include <algorithm>
#include <limits>

#include "link/translate.h"

namespace tolvanet {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

std::int64_t Pow10(int n) {
  std::int64_t p = 1;
  while (n-- > 0)
    p *= 10;
  return p;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Adds a digit to a non-negative accumulator; false on overflow.
bool Push(std::int64_t& acc, int digit) {
  if (acc > (kMax - digit) / 10)
    return false;
  acc = acc * 10 + digit;
  return true;
}

std::string TooLarge(std::string_view text) {
  return TrArgs(Tr("Число \"%1\" слишком велико."), {text});
}

}  // namespace

double Decimal::Value() const {
  return static_cast<double>(units) / static_cast<double>(Pow10(decimals));
}

std::string Decimal::Text() const {
  const std::int64_t scale = Pow10(decimals);
  // Magnitude as unsigned so that the smallest value has one too.
  const std::uint64_t magnitude =
      units < 0 ? ~static_cast<std::uint64_t>(units) + 1 : static_cast<std::uint64_t>(units);
  std::string text = units < 0 ? "-" : "";
  text += std::to_string(magnitude / static_cast<std::uint64_t>(scale));
  if (decimals > 0) {
    std::string fraction = std::to_string(magnitude % static_cast<std::uint64_t>(scale));
    text += "." + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
  }
  return text;
}

std::string NotANumberMessage(std::string_view text) {
  return TrArgs(Tr("\"%1\" не является числом."), {text});
}

std::string NotAnIntegerMessage(std::string_view text) {
  return TrArgs(Tr("\"%1\" не является целым числом."), {text});
}

Parsed<Decimal> ParseDecimal(std::string_view text, int decimals, DecimalRule rule) {
  Parsed<Decimal> out;
  if (decimals < 0)
    decimals = 0;
  if (decimals > 6)
    decimals = 6;
  std::string_view s = Trim(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  std::int64_t units = 0;
  int digits = 0;
  int fraction_digits = -1;  // -1 before the point
  bool round_up = false;
  for (char c : s) {
    if (c == '.' || c == ',') {
      if (fraction_digits >= 0) {
        out.error = NotANumberMessage(text);
        return out;
      }
      fraction_digits = 0;
      continue;
    }
    if (!IsDigit(c)) {
      out.error = NotANumberMessage(text);
      return out;
    }
    ++digits;
    if (fraction_digits < 0 || fraction_digits < decimals) {
      if (!Push(units, c - '0')) {
        out.error = TooLarge(text);
        return out;
      }
      if (fraction_digits >= 0)
        ++fraction_digits;
    } else {
      if (fraction_digits == decimals)
        round_up = c >= '5';  // the first dropped digit decides: half away from zero
      ++fraction_digits;
    }
  }
  if (digits == 0) {
    out.error = NotANumberMessage(text);
    return out;
  }
  const int kept = fraction_digits < 0 ? 0 : std::min(fraction_digits, decimals);
  for (int i = kept; i < decimals; ++i) {
    if (!Push(units, 0)) {
      out.error = TooLarge(text);
      return out;
    }
  }
  if (round_up) {
    if (units == kMax) {
      out.error = TooLarge(text);
      return out;
    }
    ++units;
  }
  if (negative)
    units = -units;

  const Decimal value{units, decimals};
  if (rule == DecimalRule::kPositive && units <= 0) {
    out.error = TrArgs(Tr("Значение \"%1\" должно быть больше нуля (%2 после округления)."),
                       {Trim(text), value.Text()});
    return out;
  }
  if (rule == DecimalRule::kNonNegative && units < 0) {
    out.error = TrArgs(Tr("Значение \"%1\" не может быть отрицательным."), {Trim(text)});
    return out;
  }
  out.value = value;
  return out;
}

Parsed<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max) {
  Parsed<std::int64_t> out;
  std::string_view s = Trim(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) {
    out.error = NotAnIntegerMessage(text);
    return out;
  }
  std::int64_t value = 0;
  bool overflow = false;
  for (char c : s) {
    if (!IsDigit(c)) {
      out.error = NotAnIntegerMessage(text);
      return out;
    }
    if (!overflow && !Push(value, c - '0'))
      overflow = true;
  }
  if (negative)
    value = -value;
  if (overflow || value < min || value > max) {
    out.error = TrArgs(Tr("Значение \"%1\" вне допустимых пределов (%2..%3)."),
                       {Trim(text), std::to_string(min), std::to_string(max)});
    return out;
  }
  out.value = value;
  return out;
}

}  // namespace tolvanet
