// Service counters, payment type rows, exchange speeds and the maintenance message lines.
#include "settings/register_settings.h"

#include <gtest/gtest.h>

#include "link/codepage.h"
#include "settings/service_counters.h"

namespace tolvanet {
namespace {

ReplyRecord Answer(std::string_view data) {
  ReplyRecord r;
  r.error_code = "0000";
  SplitFields(data, r);
  return r;
}

TEST(ServiceCounters, NamesAndButtons) {
  EXPECT_EQ(ServiceCounterName(0), "Напряжение аккумулятора");
  EXPECT_EQ(ServiceCounterName(20), "Включить (1) удаленный доступ (0 - выключить)");
  EXPECT_EQ(ServiceCounterName(21), "");
  std::string readable, settable, chosen;
  for (int n = 0; n < kServiceCounterCount; ++n) {
    readable += CounterReadable(n) ? 'r' : '-';
    settable += CounterSettable(n) ? 's' : '-';
    chosen += CounterChosenValue(n).empty() ? '.' : CounterChosenValue(n)[0];
  }
  EXPECT_EQ(readable, "rrr---rrrrrrrrrrrrrrr");
  EXPECT_EQ(settable, "-ssssssssssssssssssss");
  EXPECT_EQ(chosen, ".00..................");
}

TEST(ServiceCounters, ValueTexts) {
  struct Case {
    int counter;
    const char* data;
    std::string want;
  } cases[] = {
      {0, "95;", "95%"},     {1, "2;", "2. USB"},       {1, "0;", "0. Auto"},
      {1, "7;", "7"},        {1, "3;", "3. Bluetooth"}, {2, "30;5;", "30"},
      {16, "1460;", "1460"}, {16, "1460;1;", ""},       {7, "", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CounterValueText(c.counter, Answer(c.data)), c.want) << c.counter << " " << c.data;
}

TEST(ServiceCounters, ValuesToSet) {
  EXPECT_EQ(CounterValueToSet(3, ""), 0);
  EXPECT_EQ(CounterValueToSet(3, "1"), 1);
  EXPECT_EQ(CounterValueToSet(1, "2. USB"), 2);
  EXPECT_EQ(CounterValueToSet(16, "2. USB"), std::nullopt);
  EXPECT_EQ(CounterValueToSet(2, "ten"), std::nullopt);
  EXPECT_TRUE(CutsRemoteAccess(20, 0));
  EXPECT_FALSE(CutsRemoteAccess(20, 1));
  EXPECT_FALSE(CutsRemoteAccess(19, 0));
}

TEST(RegisterSettings, PaymentTypes) {
  auto row = DecodePaymentType(Answer("83;" + ToCp1251("ГОТІВКА") + ";"));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->mask, 0x83u);
  EXPECT_EQ(FromCp1251(row->name), "ГОТІВКА");
  EXPECT_FALSE(DecodePaymentType(Answer("XZ;Cash;")));
}

TEST(RegisterSettings, Speeds) {
  EXPECT_EQ(SpeedIndex("110"), 0);
  EXPECT_EQ(SpeedIndex("115200"), 10);
  EXPECT_EQ(SpeedIndex("14400"), std::nullopt);
  EXPECT_EQ(SpeedIndex("fast"), std::nullopt);
  EXPECT_EQ(SpeedOfIndex(10), 115200);
  EXPECT_EQ(SpeedOfIndex(11), 0);  // "Не изменять"
}

TEST(RegisterSettings, ServiceMessageLines) {
  using Lines = std::vector<std::pair<int, std::string>>;
  EXPECT_EQ(ServiceMessageLines({"one", "", "two", "three"}),
            (Lines{{0, "one"}, {1, "two"}, {1, "three"}}));
  EXPECT_EQ(ServiceMessageLines({"", "two"}), (Lines{{0, ""}, {1, "two"}}));
  EXPECT_EQ(ServiceMessageLines({"", ""}), Lines{});
  EXPECT_EQ(ServiceMessageLines({}), Lines{});
}

}  // namespace
}  // namespace tolvanet
