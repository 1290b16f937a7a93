// A fixed local time for session-log tests.
#pragma once

#include <ctime>

namespace tolvanet::testing {

inline std::tm LocalTime(int day, int month, int year, int hour, int minute, int second) {
  std::tm t{};
  t.tm_mday = day;
  t.tm_mon = month - 1;
  t.tm_year = year - 1900;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

}  // namespace tolvanet::testing
