#include "settings/field_codecs.h"

#include <cstdio>

#include "link/decimal.h"
#include "link/hex.h"
#include "link/translate.h"

namespace tolvanet {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ')
    s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ')
    s.remove_suffix(1);
  return s;
}

bool AllDigits(std::string_view s) {
  for (char c : s) {
    if (c < '0' || c > '9')
      return false;
  }
  return !s.empty();
}

int DaysInMonth(int month, int year) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string TwoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v % 100);
  return buf;
}

}  // namespace

std::optional<int> ListIndex(std::string_view field, int count) {
  auto v = ParseInteger(field, 0, count - 1);
  if (!v)
    return std::nullopt;
  return static_cast<int>(*v);
}

std::optional<unsigned> ParseHex(std::string_view text, int max_digits) {
  std::string_view s = TrimBlanks(text);
  if (s.empty() || s.size() > static_cast<std::size_t>(max_digits))
    return std::nullopt;
  unsigned v = 0;
  for (char c : s) {
    const int d = HexDigitValue(c);
    if (d < 0)
      return std::nullopt;
    v = v * 16 + static_cast<unsigned>(d);
  }
  return v;
}

std::optional<CalendarDate> ParseDdmmyy(std::string_view text) {
  if (text.size() != 6 || !AllDigits(text))
    return std::nullopt;
  auto two = [&](std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
  CalendarDate d{two(0), two(2), 2000 + two(4)};
  if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > DaysInMonth(d.month, d.year))
    return std::nullopt;
  return d;
}

std::string FormatDdmmyy(const CalendarDate& date) {
  return TwoDigits(date.day) + TwoDigits(date.month) + TwoDigits(date.year);
}

bool IsHhmm(std::string_view text) {
  if (text.size() != 4 || !AllDigits(text))
    return false;
  const int hours = (text[0] - '0') * 10 + (text[1] - '0');
  const int minutes = (text[2] - '0') * 10 + (text[3] - '0');
  return hours < 24 && minutes < 60;
}

std::tm SystemLocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

CalendarDate DateOf(const std::tm& t) {
  return {t.tm_mday, t.tm_mon + 1, t.tm_year + 1900};
}

std::string HhmmOf(const std::tm& t) {
  return TwoDigits(t.tm_hour) + TwoDigits(t.tm_min);
}

std::string PermissionText(unsigned mask, unsigned bit) {
  return (mask & bit) != 0 ? Tr("Разрешено") : Tr("Запрещено");
}

}  // namespace tolvanet
