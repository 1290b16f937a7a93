// The settings windows' value codecs: whole numbers, list indexes, DDMMYY dates, HHMM times,
// hexadecimal masks, free texts, and one clock reading for date and time.
#include "settings/field_codecs.h"

#include <gtest/gtest.h>

#include "link/codepage.h"
#include "link/free_text.h"
#include "tests/link/fixed_clock.h"

namespace tolvanet {
namespace {

TEST(FieldCodecs, ListIndexOnlyInRange) {
  EXPECT_EQ(ListIndex("0", 4), 0);
  EXPECT_EQ(ListIndex("3", 4), 3);
  EXPECT_EQ(ListIndex("4", 4), std::nullopt);
  EXPECT_EQ(ListIndex("-1", 4), std::nullopt);
  EXPECT_EQ(ListIndex("2x", 4), std::nullopt);
}

TEST(FieldCodecs, Hexadecimal) {
  EXPECT_EQ(ParseHex("83", 2), 0x83u);
  EXPECT_EQ(ParseHex("a", 2), 0xAu);
  EXPECT_EQ(ParseHex("FFFF", 4), 0xFFFFu);
  EXPECT_EQ(ParseHex("100", 2), std::nullopt);
  EXPECT_EQ(ParseHex("G1", 2), std::nullopt);
  EXPECT_EQ(ParseHex("", 2), std::nullopt);
}

TEST(FieldCodecs, DatesTakeTheYearAs2000PlusYy) {
  struct Case {
    const char* text;
    std::optional<CalendarDate> want;
  } cases[] = {
      {"311299", CalendarDate{31, 12, 2099}},
      {"010100", CalendarDate{1, 1, 2000}},
      {"290224", CalendarDate{29, 2, 2024}},
      {"290223", {}},  // not a leap year
      {"000000", {}},  // an unset reminder date
      {"311124", {}},
      {"011324", {}},
      {"01012", {}},
      {"01012a", {}},
      {"0101240", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseDdmmyy(c.text), c.want) << c.text;
  EXPECT_EQ(FormatDdmmyy({5, 3, 2026}), "050326");
  EXPECT_EQ(FormatDdmmyy({31, 12, 2099}), "311299");
}

TEST(FieldCodecs, Times) {
  for (const char* good : {"0000", "2359", "1205"})
    EXPECT_TRUE(IsHhmm(good)) << good;
  for (const char* bad : {"2400", "1260", "123", "12:30", "", "12345"})
    EXPECT_FALSE(IsHhmm(bad)) << bad;
}

TEST(FieldCodecs, DateAndTimeFromOneReading) {
  const std::tm t = testing::LocalTime(31, 12, 2026, 23, 59, 59);
  EXPECT_EQ(FormatDdmmyy(DateOf(t)), "311226");
  EXPECT_EQ(HhmmOf(t), "2359");
}

TEST(FieldCodecs, FreeTexts) {
  EXPECT_TRUE(IsFreeText(""));
  EXPECT_TRUE(IsFreeText(ToCp1251("ТОВ \"Ромашка\", м. Київ")));
  for (std::string bad : {std::string("a;b"), std::string("a\0b", 3), std::string("tab\there"),
                          std::string("line\n"), std::string("\x7F")})
    EXPECT_FALSE(IsFreeText(bad)) << bad;
  EXPECT_NE(CheckFreeText("a;b", "Имя:").find("Имя:"), std::string::npos);
  EXPECT_EQ(CheckFreeText("ab", "Имя:"), "");
}

TEST(FieldCodecs, PermissionTexts) {
  EXPECT_EQ(PermissionText(0x83, 0x80), "Разрешено");
  EXPECT_EQ(PermissionText(0x83, 0x02), "Разрешено");
  EXPECT_EQ(PermissionText(0x01, 0x02), "Запрещено");
}

}  // namespace
}  // namespace tolvanet
