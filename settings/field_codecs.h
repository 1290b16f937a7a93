// The value codecs of the settings windows: list indexes from answer fields, DDMMYY dates,
// HHMM times and hexadecimal masks (whole numbers are link/decimal.h's ParseInteger). Each
// either gives a value or says the text is not one; nothing is guessed from a partly readable
// text.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tolvanet {

// The list entry an answer field names: the field read as a whole number in 0..count-1.
std::optional<int> ListIndex(std::string_view field, int count);

// Hexadecimal digits (either case, optional blanks around), 1 to `max_digits` of them.
std::optional<unsigned> ParseHex(std::string_view text, int max_digits);

struct CalendarDate {
  int day = 1;
  int month = 1;
  int year = 2000;  // in full

  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// Six digits DDMMYY that name a real day; the year is 2000 + YY.
std::optional<CalendarDate> ParseDdmmyy(std::string_view text);
// The date as DDMMYY (the year's last two digits).
std::string FormatDdmmyy(const CalendarDate& date);

// Four digits HHMM of a time of day (00:00 to 23:59).
bool IsHhmm(std::string_view text);

// The local time; windows that show "now" take it from one reading of such a clock, so a date
// and a time shown together always belong to the same instant.
using LocalClock = std::function<std::tm()>;
std::tm SystemLocalTime();
CalendarDate DateOf(const std::tm& t);
std::string HhmmOf(const std::tm& t);

// "Разрешено" when `bit` is set in `mask`, else "Запрещено" (UTF-8).
std::string PermissionText(unsigned mask, unsigned bit);

}  // namespace tolvanet
