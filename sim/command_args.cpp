#include "sim/command_args.h"

#include <cstdlib>

#include "link/hex.h"

namespace tolvanet::sim {

std::string ErrorCodeText(std::uint16_t code) {
  return HexByte(static_cast<std::uint8_t>(code & 0xFF)) +
         HexByte(static_cast<std::uint8_t>(code >> 8));
}

CommandArgs::CommandArgs(std::string_view text) {
  // Every field is followed by ";"; a last field without one still counts.
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string_view::npos) {
      fields_.emplace_back(text.substr(start));
      break;
    }
    fields_.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

std::string_view CommandArgs::Raw(std::size_t i) const {
  return i < fields_.size() ? std::string_view(fields_[i]) : std::string_view();
}

DeviceError CommandArgs::FormatError(std::size_t i) {
  return DeviceError{static_cast<std::uint16_t>(err::kFieldFormat | (i & 0xFF))};
}

DeviceError CommandArgs::ValueError(std::size_t i) {
  return DeviceError{static_cast<std::uint16_t>(err::kFieldValue | (i & 0xFF))};
}

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Parses [-]digits[.digits] into units of 10^-decimals; nothing on a bad format or overflow.
std::optional<std::int64_t> ParseFixed(std::string_view s, int decimals) {
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  std::size_t dot = s.find('.');
  std::string_view whole = s.substr(0, dot);
  std::string_view frac = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
  if (whole.empty() && frac.empty())
    return std::nullopt;
  if (whole.size() > 15)
    return std::nullopt;
  std::int64_t value = 0;
  for (char c : whole) {
    if (!IsDigit(c))
      return std::nullopt;
    value = value * 10 + (c - '0');
  }
  for (int d = 0; d < decimals; ++d) {
    int digit = 0;
    if (static_cast<std::size_t>(d) < frac.size()) {
      if (!IsDigit(frac[d]))
        return std::nullopt;
      digit = frac[d] - '0';
    }
    value = value * 10 + digit;
  }
  for (std::size_t d = decimals; d < frac.size(); ++d) {
    if (frac[d] != '0')
      return std::nullopt;  // finer than the register counts
  }
  return negative ? -value : value;
}

}  // namespace

std::int64_t CommandArgs::Int(std::size_t i, std::int64_t lo, std::int64_t hi) const {
  if (!Has(i))
    throw FormatError(i);
  std::string_view s = Raw(i);
  if (s.find('.') != std::string_view::npos)
    throw FormatError(i);
  auto v = ParseFixed(s, 0);
  if (!v)
    throw FormatError(i);
  if (*v < lo || *v > hi)
    throw ValueError(i);
  return *v;
}

std::int64_t CommandArgs::Fixed(std::size_t i, int decimals, std::int64_t lo,
                                std::int64_t hi) const {
  if (!Has(i))
    throw FormatError(i);
  auto v = ParseFixed(Raw(i), decimals);
  if (!v)
    throw FormatError(i);
  if (*v < lo || *v > hi)
    throw ValueError(i);
  return *v;
}

std::uint32_t CommandArgs::Hex(std::size_t i, int digits) const {
  if (!Has(i))
    throw FormatError(i);
  std::string_view s = Raw(i);
  if (s.size() != static_cast<std::size_t>(digits))
    throw FormatError(i);
  std::uint32_t value = 0;
  for (char c : s) {
    int d = HexDigitValue(c);
    if (d < 0)
      throw FormatError(i);
    value = value * 16 + static_cast<std::uint32_t>(d);
  }
  return value;
}

std::string CommandArgs::Text(std::size_t i, std::size_t max_len, bool allow_empty) const {
  if (!Has(i))
    throw FormatError(i);
  std::string_view s = Raw(i);
  if (s.size() > max_len || (!allow_empty && s.empty()))
    throw ValueError(i);
  return std::string(s);
}

std::string CommandArgs::Digits(std::size_t i, std::size_t min_len, std::size_t max_len) const {
  if (!Has(i))
    throw FormatError(i);
  std::string_view s = Raw(i);
  for (char c : s) {
    if (!IsDigit(c))
      throw FormatError(i);
  }
  if (s.size() < min_len || s.size() > max_len)
    throw ValueError(i);
  return std::string(s);
}

std::string FormatFixed(std::int64_t units, int decimals) {
  std::int64_t scale = 1;
  for (int d = 0; d < decimals; ++d)
    scale *= 10;
  const bool negative = units < 0;
  const std::uint64_t abs =
      negative ? static_cast<std::uint64_t>(-(units + 1)) + 1 : static_cast<std::uint64_t>(units);
  std::string out = negative ? "-" : "";
  out += std::to_string(abs / static_cast<std::uint64_t>(scale));
  if (decimals > 0) {
    std::string frac = std::to_string(abs % static_cast<std::uint64_t>(scale));
    out += '.';
    out += std::string(decimals - frac.size(), '0') + frac;
  }
  return out;
}

namespace {

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = static_cast<int>(y - era * 400);
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = static_cast<int>(z - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yoe + era * 400) + (m <= 2);
}

std::string Two(int v) {
  return std::string(1, static_cast<char>('0' + v / 10 % 10)) + static_cast<char>('0' + v % 10);
}

}  // namespace

CivilTime ToCivil(RegisterTime t) {
  std::int64_t days = t / 86400;
  std::int64_t secs = t % 86400;
  if (secs < 0) {
    secs += 86400;
    --days;
  }
  CivilTime c;
  CivilFromDays(days, c.year, c.month, c.day);
  c.hour = static_cast<int>(secs / 3600);
  c.minute = static_cast<int>(secs / 60 % 60);
  c.second = static_cast<int>(secs % 60);
  return c;
}

RegisterTime FromCivil(const CivilTime& c) {
  return DaysFromCivil(c.year, c.month, c.day) * 86400 + c.hour * 3600 + c.minute * 60 + c.second;
}

std::string DateText(RegisterTime t) {
  CivilTime c = ToCivil(t);
  return Two(c.day) + Two(c.month) + Two(c.year % 100);
}

std::string TimeText(RegisterTime t) {
  CivilTime c = ToCivil(t);
  return Two(c.hour) + Two(c.minute);
}

std::optional<RegisterTime> ParseDate(std::string_view s) {
  if (s.size() != 6)
    return std::nullopt;
  for (char ch : s) {
    if (!IsDigit(ch))
      return std::nullopt;
  }
  CivilTime c;
  c.day = (s[0] - '0') * 10 + (s[1] - '0');
  c.month = (s[2] - '0') * 10 + (s[3] - '0');
  c.year = 2000 + (s[4] - '0') * 10 + (s[5] - '0');
  if (c.month < 1 || c.month > 12 || c.day < 1)
    return std::nullopt;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int limit = kDays[c.month - 1];
  if (c.month == 2 && c.year % 4 == 0)
    ++limit;  // 2000..2099: every fourth year
  if (c.day > limit)
    return std::nullopt;
  return FromCivil(c);
}

std::optional<int> ParseTime(std::string_view s) {
  if (s.size() != 4)
    return std::nullopt;
  for (char ch : s) {
    if (!IsDigit(ch))
      return std::nullopt;
  }
  int h = (s[0] - '0') * 10 + (s[1] - '0');
  int m = (s[2] - '0') * 10 + (s[3] - '0');
  if (h > 23 || m > 59)
    return std::nullopt;
  return h * 3600 + m * 60;
}

}  // namespace tolvanet::sim
