// The report operations against a register without a socket: the commands each one sends, where
// it stops, what it tells the operator, and the inputs it refuses before sending anything.
#include "reports/report_sequences.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/app_state.h"
#include "link/codepage.h"
#include "link/decimal.h"
#include "link/device_errors.h"
#include "link/engine.h"
#include "link/free_text.h"
#include "tests/script/fake_register.h"

namespace tolvanet::reports {
namespace {

using ::testing::ElementsAreArray;
using testing::FakeAnswer;
using testing::SentCommand;

// Answers by the position of the request in the operation (0 first), else by command code.
struct StepRegister : testing::FakeRegister {
  std::map<std::size_t, FakeAnswer> at;
  Result Exchange(std::string_view wire, const Consumer& consume) override {
    const int code = static_cast<std::uint8_t>(wire[3]);
    const auto saved = answers;
    if (auto it = at.find(sent.size()); it != at.end())
      answers[code] = it->second;
    const Result r = FakeRegister::Exchange(wire, consume);
    answers = saved;
    return r;
  }
};

class ReportSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override { TheEngine().SetTransport(&reg); }
  void TearDown() override { TheEngine().SetTransport(nullptr); }
  StepRegister reg;
};

using Operation = std::function<ReportOutcome()>;

const std::string kTitle = ToCp1251("%MHJc*** Контрольная лента ***");

// The device error message for an error code, without a heading.
std::string DeviceText(const std::string& code) {
  ReplyRecord reply;
  reply.error_code = code;
  std::string message;
  DeviceErrorMessage(reply, message);
  return message;
}

TEST_F(ReportSequenceTest, EachOperationSendsItsCommands) {
  struct Case {
    const char* what;
    Operation run;
    std::vector<SentCommand> sent;
    std::optional<std::string> box;
  };
  const Case cases[] = {
      {"X", [] { return XReport("406172"); }, {{161, "406172;1;"}}, "0000"},
      {"Z", [] { return ZReport("1111"); }, {{161, "1111;0;"}}, "0000"},
      {"print tape",
       [] { return PrintControlTape("1111"); },
       {{96, "1111;"}, {97, "406172;" + kTitle + ";"}, {166, "1111;2;;;"}, {101, "1111;0;"}},
       std::nullopt},
      {"clear tape", [] { return ClearControlTape("1111"); }, {{161, "1111;2;"}}, "0000"},
      {"unload",
       [] { return UnloadAndClearTape("1111", false); },
       {{161, "1111;5;"}, {161, "1111;2;"}},
       "0000"},
      {"unload and clear articles",
       [] { return UnloadAndClearTape("1111", true); },
       {{161, "1111;5;"}, {161, "1111;2;"}, {59, "406172;"}},
       "0000"},
      {"periodic by dates, full",
       [] {
         return PeriodicReportByDates("406172", {2014, 6, 5}, {2014, 6, 7}, true);
       },
       {{96, "406172;"}, {162, "406172;050614;070614;1;"}, {101, "406172;0;"}},
       "0000"},
      {"periodic by numbers, short",
       [] { return PeriodicReportByNumbers("1111", " 3", "12 ", false); },
       {{96, "406172;"}, {163, "1111;3;12;0;"}, {101, "406172;0;"}},
       "0000"},
      {"sold goods, 64-bit codes",
       [] { return SoldGoodsReport("1111", "0", "99999999999999"); },
       {{96, "406172;"}, {164, "1111;0;99999999999999;"}, {101, "406172;0;"}},
       "0000"},
      {"extra daily report",
       [] { return ExtraDailyReport("1111", 1); },
       {{96, "406172;"}, {166, "1111;1;;;"}, {101, "406172;0;"}},
       "0000"},
  };
  for (const auto& c : cases) {
    reg.sent.clear();
    const ReportOutcome out = c.run();
    EXPECT_TRUE(out.ok) << c.what;
    EXPECT_THAT(reg.sent, ElementsAreArray(c.sent)) << c.what;
    EXPECT_EQ(out.error_code, c.box) << c.what;
    EXPECT_TRUE(out.messages.empty()) << c.what;
    EXPECT_FALSE(out.receipt_left_open) << c.what;
    EXPECT_EQ(out.steps.size(), c.sent.size()) << c.what;
    EXPECT_EQ(TheAppState().current_reply, &TheEngine().reply()) << c.what;
  }
}

TEST_F(ReportSequenceTest, FailuresStopWhereTheOperationSays) {
  const FakeAnswer error{"0101", ""};
  const FakeAnswer silent{"0000", "", true};
  const std::string device = DeviceText("0101");
  struct Case {
    const char* what;
    Operation run;
    std::size_t failing;  // position of the failing request
    FakeAnswer answer;
    std::vector<int> codes;  // what went out
    std::vector<std::string> messages;
    bool left_open;
    std::optional<std::string> box;
  };
  const std::string daily(kDailyReportsHeading);
  const Case cases[] = {
      {"X", [] { return XReport("406172"); }, 0, error, {161}, {daily + device}, false, "0101"},
      {"X, damaged answer",
       [] { return XReport("406172"); },
       0,
       FakeAnswer{"0000", "", false, true},
       {161},
       {daily + "Ответ регистратора повреждён (ошибка контрольной суммы): данные ответа не "
                "использованы. Ошибка!"},
       false,
       std::nullopt},
      {"clear tape",
       [] { return ClearControlTape("406172"); },
       0,
       error,
       {161},
       {std::string(kTapeClearingHeading) + device},
       false,
       "0101"},
      {"tape: opening, message alone",
       [] { return PrintControlTape("406172"); },
       0,
       error,
       {96},
       {device},
       false,
       std::nullopt},
      {"tape: report, receipt stays open",
       [] { return PrintControlTape("406172"); },
       2,
       error,
       {96, 97, 166},
       {std::string(kStatusCheckHeading) + device},
       true,
       std::nullopt},
      {"unload: first step stops it",
       [] { return UnloadAndClearTape("406172", true); },
       0,
       error,
       {161},
       {daily + device},
       false,
       "0101"},
      {"unload: 59 refused",
       [] { return UnloadAndClearTape("406172", true); },
       2,
       error,
       {161, 161, 59},
       {"Ошибка "},
       false,
       "0101"},
      {"unload: 59 unanswered",
       [] { return UnloadAndClearTape("406172", true); },
       2,
       silent,
       {161, 161, 59},
       {"Таймаут устройства! Ошибка!"},
       false,
       std::nullopt},
      {"sold goods: 101 still sent",
       [] { return SoldGoodsReport("406172", "1", "9"); },
       1,
       error,
       {96, 164, 101},
       {std::string(kSoldGoodsHeading) + device},
       false,
       "0000"},
      {"sold goods: opening stops it",
       [] { return SoldGoodsReport("406172", "1", "9"); },
       0,
       error,
       {96},
       {std::string(kSoldGoodsHeading) + device},
       false,
       "0101"},
      {"periodic: closing fails",
       [] { return PeriodicReportByNumbers("406172", "1", "2", true); },
       2,
       error,
       {96, 163, 101},
       {std::string(kPeriodicHeading) + device},
       true,
       "0101"},
      {"extra: report fails, no 101",
       [] { return ExtraDailyReport("406172", 0); },
       1,
       error,
       {96, 166},
       {std::string(kExtraReportHeading) + device},
       true,
       "0101"},
      {"extra: closing fails",
       [] { return ExtraDailyReport("406172", 2); },
       2,
       error,
       {96, 166, 101},
       {std::string(kExtraReceiptHeading) + device},
       true,
       "0101"},
  };
  for (const auto& c : cases) {
    reg.sent.clear();
    reg.at = {{c.failing, c.answer}};
    const ReportOutcome out = c.run();
    EXPECT_FALSE(out.ok) << c.what;
    std::vector<int> codes;
    for (const auto& s : reg.sent)
      codes.push_back(s.code);
    EXPECT_EQ(codes, c.codes) << c.what;
    EXPECT_EQ(out.messages, c.messages) << c.what;
    EXPECT_EQ(out.receipt_left_open, c.left_open) << c.what;
    if (c.box) {  // a time-out leaves whatever code text the engine kept
      EXPECT_EQ(out.error_code, c.box) << c.what;
    }
    EXPECT_TRUE(out.input_error.empty()) << c.what;
  }
}

TEST_F(ReportSequenceTest, BadInputSendsNothing) {
  struct Case {
    const char* what;
    Operation run;
    std::string message;
  };
  const std::string no_semicolon = FreeTextMessage("Пароль");
  const Case cases[] = {
      {"code not a number", [] { return SoldGoodsReport("406172", "12a", "9"); },
       NotAnIntegerMessage("12a")},
      {"last code empty", [] { return SoldGoodsReport("406172", "1", ""); },
       NotAnIntegerMessage("")},
      {"report number", [] { return PeriodicReportByNumbers("406172", "1", "x", true); },
       NotAnIntegerMessage("x")},
      {"report number beyond int",
       [] { return PeriodicReportByNumbers("406172", "1", "3000000000", true); }, ""},
      {"password with ;", [] { return XReport("40;6172"); }, no_semicolon},
      {"password with a control byte", [] { return ExtraDailyReport("4061\n72", 0); },
       no_semicolon},
      {"date before 2000",
       [] {
         return PeriodicReportByDates("406172", {1999, 12, 31}, {2014, 6, 7}, false);
       },
       ""},
      {"date that does not exist",
       [] {
         return PeriodicReportByDates("406172", {2014, 6, 5}, {2014, 2, 30}, false);
       },
       "Неверная дата отчета: 30.02.2014."},
      {"extra report kind", [] { return ExtraDailyReport("406172", 3); }, ""},
  };
  for (const auto& c : cases) {
    reg.sent.clear();
    const ReportOutcome out = c.run();
    EXPECT_FALSE(out.ok) << c.what;
    EXPECT_TRUE(reg.sent.empty()) << c.what;
    EXPECT_FALSE(out.input_error.empty()) << c.what;
    if (!c.message.empty()) {
      EXPECT_EQ(out.input_error, c.message) << c.what;
    }
    EXPECT_EQ(out.messages, std::vector<std::string>{out.input_error}) << c.what;
    EXPECT_TRUE(out.steps.empty()) << c.what;
  }
}

TEST_F(ReportSequenceTest, FreeResourcesFillsWhatTheAnswerHas) {
  reg.answers[160] = FakeAnswer{"0000", "1;0;0;01;x;1;3;1990;050614;0930;9999;1500;"};
  FreeResources res;
  ReportOutcome out = FreeResourcesReport("406172", res);
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(out.messages, std::vector<std::string>{std::string(kFreeResourcesDone)});
  EXPECT_EQ(res.count, 12);
  const bool permissions[] = {true, false, false, true, false, true};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(res.Permission(i), permissions[i]) << i;
  EXPECT_EQ(res.fields[7], "1990");
  EXPECT_EQ(res.fields[11], "1500");

  reg.answers[160] = FakeAnswer{"0000", "1;0;"};
  out = FreeResourcesReport("406172", res);
  ASSERT_TRUE(out.ok);
  EXPECT_EQ(res.count, 2);
  EXPECT_TRUE(res.Permission(0));
  EXPECT_FALSE(res.Permission(2));
  for (int i = 2; i < 12; ++i)
    EXPECT_EQ(res.fields[i], "") << i;

  reg.answers[160] = FakeAnswer{"0101", "1;1;1;"};
  out = FreeResourcesReport("406172", res);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(res.count, 0);
  EXPECT_EQ(out.messages,
            std::vector<std::string>{std::string(kFreeResourcesHeading) + DeviceText("0101")});
  EXPECT_EQ(out.error_code, "0101");
}

TEST(ReportDateTest, ReadsIsoDatesAndWritesDayMonthYear) {
  struct Case {
    const char* text;
    std::optional<ReportDate> date;
  };
  const Case cases[] = {
      {"2014-06-05", ReportDate{2014, 6, 5}}, {"2016-02-29", ReportDate{2016, 2, 29}},
      {"2015-02-29", std::nullopt},           {"2014-6-5", std::nullopt},
      {"05.06.2014", std::nullopt},           {"2014-13-01", std::nullopt},
      {"2014-06-05 ", std::nullopt},          {"", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseReportDate(c.text), c.date) << c.text;
  EXPECT_EQ(DdMmYy({2014, 6, 5}), "050614");
  EXPECT_EQ(DdMmYy({2000, 12, 31}), "311200");
}

}  // namespace
}  // namespace tolvanet::reports
