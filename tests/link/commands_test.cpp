// The command builders' codes, texts, argument checks and result codes, driven
// through a fake transport installed in the process-wide engine.
#include "link/commands.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <locale>
#include <string>
#include <vector>

#include "link/engine.h"
#include "link/frame.h"

namespace tolvanet {
namespace {

// Records every request frame and answers each with a frame made by BuildAnswerFrame.
class FakeTransport : public Transport {
 public:
  bool IsActive() const override { return true; }
  Result Exchange(std::string_view wire, const Consumer& consume) override {
    std::string frame(wire);
    if (!frame.empty() && frame.back() == '\0')
      frame.pop_back();  // the trailing zero byte
    frames.push_back(frame);
    const std::string answer =
        BuildAnswerFrame(static_cast<std::uint8_t>(frame[2]), static_cast<std::uint8_t>(frame[3]),
                         error_code, data, status);
    consume(answer);
    return Result::kDone;
  }

  // The command code and text of a recorded request frame: text = bytes 4 .. size - 6.
  static int CodeOf(const std::string& frame) { return static_cast<std::uint8_t>(frame[3]); }
  static std::string TextOf(const std::string& frame) {
    return frame.substr(4, frame.size() - 4 - 6);
  }

  std::vector<std::string> frames;
  std::string error_code = "0000";
  std::string data = "OK;";
  std::array<std::uint8_t, 6> status{0x80, 0x80, 0x80, 0x80, 0x80, 0x80};
};

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override { TheEngine().SetTransport(&transport_); }
  void TearDown() override { TheEngine().SetTransport(nullptr); }

  FakeTransport transport_;
};

// How a builder treats the result-code output.
enum class ResultUse { kSetsZero, kUnchanged, kNone };

struct BuilderCase {
  std::string name;
  std::function<ReplyRecord&(int&)> call;
  int code;
  std::string text;
  ResultUse result_use = ResultUse::kSetsZero;
};

constexpr std::int64_t kMaxI64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMinI64 = std::numeric_limits<std::int64_t>::min();
const std::string kCyr = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет" in Windows-1251

std::vector<BuilderCase> Cases() {
  const std::string p = "406172";
  return {
      {"SetDateTime", [=](int& r) -> ReplyRecord& { return SetDateTime(p, "311224", "2359", r); },
       32, "406172;311224;2359;"},
      {"GetDateTime", [=](int& r) -> ReplyRecord& { return GetDateTime(p, r); }, 33, "406172;",
       ResultUse::kUnchanged},
      {"SetHeaderFooter0",
       [=](int& r) -> ReplyRecord& { return SetHeaderFooter(p, 0, "HEAD", 1, r); }, 34,
       "406172;0;HEAD;1;"},
      {"SetHeaderFooter20",
       [=](int& r) -> ReplyRecord& { return SetHeaderFooter(p, 20, kCyr, 0, r); }, 34,
       "406172;20;" + kCyr + ";0;"},
      {"GetHeaderFooter", [=](int& r) -> ReplyRecord& { return GetHeaderFooter(p, 20, r); }, 35,
       "406172;20;"},
      {"SetRegistratorParams",
       [=](int& r) -> ReplyRecord& {
         return SetRegistratorParams(p, 19200, 5, 0x1A2B, 0x0F, 3, 255, 7, r);
       },
       39, "406172;19200;5;1A2B;0F;03;FF;07;"},
      {"SetRegistratorParamsWide",
       [=](int& r) -> ReplyRecord& {
         return SetRegistratorParams(p, 9600, 0, 0x12345, 0x100, 0, 0xab, 123, r);
       },
       39, "406172;9600;0;12345;100;00;AB;123;"},
      {"GetRegistratorParams", [=](int& r) -> ReplyRecord& { return GetRegistratorParams(p, r); },
       40, "406172;"},
      {"SetUserLogo",
       [=](int& r) -> ReplyRecord& { return SetUserLogo(p, 0, std::string(48, 'F'), r); }, 41,
       "406172;0;" + std::string(48, 'F') + ";"},
      {"SetModePsw", [=](int& r) -> ReplyRecord& { return SetModePsw(p, "111", "222", "333", r); },
       43, "406172;111;222;333;"},
      {"ClearOpetratorPsw", [=](int& r) -> ReplyRecord& { return ClearOpetratorPsw(p, 3, r); }, 44,
       "406172;3;"},
      {"SetPaymentParams",
       [=](int& r) -> ReplyRecord& { return SetPaymentParams(p, 2, 0x0C, kCyr, r); }, 45,
       "406172;2;0C;" + kCyr + ";"},
      {"GetPaymentParams", [=](int& r) -> ReplyRecord& { return GetPaymentParams(p, 9, r); }, 46,
       "406172;9;"},
      {"SetOperatorParams",
       [=](int& r) -> ReplyRecord& { return SetOperatorParams(p, 1, "0000", "Ivan", r); }, 47,
       "406172;1;0000;Ivan;"},
      {"GetOperatorParams", [=](int& r) -> ReplyRecord& { return GetOperatorParams(p, 1, r); }, 48,
       "406172;1;"},
      {"AddServiceMessageLine",
       [=](int& r) -> ReplyRecord& { return AddServiceMessageLine(p, 1, "Call us", r); }, 52,
       "406172;1;Call us;"},
      {"SetServiceReminder",
       [=](int& r) -> ReplyRecord& {
         return SetServiceReminder(p, "123456", "010125", 30, 0x5, r);
       },
       53, "406172;123456;010125;30;05;"},
      {"GetServiceReminder", [=](int& r) -> ReplyRecord& { return GetServiceReminder(p, r); }, 54,
       "406172;"},
      {"Fiscalize", [=](int& r) -> ReplyRecord& { return Fiscalize(p, "AB123456789", "777", r); },
       64, "406172;AB123456789;777;"},
      {"SetSerialNumber",
       [=](int& r) -> ReplyRecord& { return SetSerialNumber(p, "AB123456789", r); }, 65,
       "406172;AB123456789;"},
      {"GetSerialNumber", [=](int& r) -> ReplyRecord& { return GetSerialNumber(p, r); }, 66,
       "406172;"},
      {"SetFiscalNumber",
       [=](int& r) -> ReplyRecord& { return SetFiscalNumber(p, "1234567890", r); }, 67,
       "406172;1234567890;"},
      {"GetFiscalNumber", [=](int& r) -> ReplyRecord& { return GetFiscalNumber(p, r); }, 68,
       "406172;"},
      {"SetTaxIdNumber",
       [=](int& r) -> ReplyRecord& { return SetTaxIdNumber(p, "1234567890", "123456789012", r); },
       69, "406172;1234567890;123456789012;"},
      {"GetTaxIdNumber", [=](int& r) -> ReplyRecord& { return GetTaxIdNumber(p, r); }, 70,
       "406172;"},
      {"SetTaxes", [=](int& r) -> ReplyRecord& { return SetTaxes(p, 1, 0x3, "20.00", "A", r); }, 71,
       "406172;1;03;20.00;A;-1;"},
      {"SetTaxesExtended",
       [=](int& r) -> ReplyRecord& { return SetTaxes(p, 2, 0x81, "7.00", "B", 4, r); }, 71,
       "406172;2;81;7.00;B;4;"},
      {"GetTaxes", [=](int& r) -> ReplyRecord& { return GetTaxes(p, 5, r); }, 72, "406172;5;"},
      {"SetDecimalPoint", [=](int& r) -> ReplyRecord& { return SetDecimalPoint(p, 2, r); }, 73,
       "406172;2;"},
      {"GetDecimalPoint", [=](int& r) -> ReplyRecord& { return GetDecimalPoint(p, r); }, 74,
       "406172;"},
      {"OpenNonFiscalReceipt", [=](int& r) -> ReplyRecord& { return OpenNonFiscalReceipt(p, r); },
       96, "406172;"},
      {"PrintText",
       [=](int& r) -> ReplyRecord& { return PrintText(p, kCyr + ";not escaped\\", r); }, 97,
       "406172;" + kCyr + ";not escaped\\;"},
      {"OpenFiscalReceipt",
       [=](int& r) -> ReplyRecord& { return OpenFiscalReceipt(p, 1, 2, 0, r); }, 99,
       "406172;1;2;0;"},
      {"SellItem", [=](int& r) -> ReplyRecord& { return SellItem(p, 123, 10.0, 1.5, r); }, 100,
       "406172;123;1.500;10.00;"},
      {"SellItem64", [=](int& r) -> ReplyRecord& { return SellItem(p, kMaxI64, 0.0, 0.0005, r); },
       100, "406172;9223372036854775807;0.001;0.00;"},
      {"SellItemRounding",
       [=](int& r) -> ReplyRecord& { return SellItem(p, 4294967296, 2.675, 1234.5678, r); }, 100,
       "406172;4294967296;1234.568;2.67;"},
      {"CloseFiscalReceipt", [=](int& r) -> ReplyRecord& { return CloseFiscalReceipt(p, 17, r); },
       101, "406172;17;"},
      {"CloseFiscalReceiptFixed", [=](int& r) -> ReplyRecord& { return CloseFiscalReceipt(p, r); },
       101, "406172;0;"},
      {"MakePayment0", [=](int& r) -> ReplyRecord& { return MakePayment(p, 0, 100, r); }, 103,
       "406172;0;100.00;"},
      {"MakePayment9", [=](int& r) -> ReplyRecord& { return MakePayment(p, 9, 0.1, r); }, 103,
       "406172;9;0.10;"},
      {"DiscountItemPercent", [=](int& r) -> ReplyRecord& { return DiscountItemPercent(p, -5, r); },
       104, "406172;-5.00;"},
      {"DiscountItemAbsolute",
       [=](int& r) -> ReplyRecord& { return DiscountItemAbsolute(p, 1.005, r); }, 105,
       "406172;1.00;"},  // 1.005 is 1.00499999... in binary
      {"VoidReceipt", [=](int& r) -> ReplyRecord& { return VoidReceipt(p, 3, r); }, 107,
       "406172;3;"},
      {"PrintTotalTrue", [=](int& r) -> ReplyRecord& { return PrintTotal(p, true, r); }, 109,
       "406172;1;"},
      {"PrintTotalFalse", [=](int& r) -> ReplyRecord& { return PrintTotal(p, false, r); }, 109,
       "406172;0;"},
      {"PrintEAN13Code",
       [=](int& r) -> ReplyRecord& { return PrintEAN13Code(p, 50, "400638133393", r); }, 111,
       "406172;50;0051A9D7BD12CD50A142E90B35000000;"},
      {"DiscountSubtotalPercent",
       [=](int& r) -> ReplyRecord& { return DiscountSubtotalPercent(p, 12.5, r); }, 115,
       "406172;12.50;"},
      {"DiscountSubtotalAbsolute",
       [=](int& r) -> ReplyRecord& { return DiscountSubtotalAbsolute(p, -0.25, r); }, 116,
       "406172;-0.25;"},
      {"DiscountTaxGroupPercent",
       [=](int& r) -> ReplyRecord& { return DiscountTaxGroupPercent(p, 3, 2, r); }, 117,
       "406172;3.00;2;"},
      {"DiscountTaxGroupAbsolute",
       [=](int& r) -> ReplyRecord& { return DiscountTaxGroupAbsolute(p, 0.5, 1, r); }, 118,
       "406172;0.50;1;"},
      {"ServiceCashInOutIn",
       [=](int& r) -> ReplyRecord& { return ServiceCashInOut(p, 0, 1000000000, r); }, 119,
       "406172;0;1000000000.00;"},
      {"ServiceCashInOutOut",
       [=](int& r) -> ReplyRecord& { return ServiceCashInOut(p, 0, -50.5, r); }, 119,
       "406172;0;-50.50;"},
      {"GetDiagnosticInfo", [=](int& r) -> ReplyRecord& { return GetDiagnosticInfo(p, r); }, 128,
       "406172;"},
      {"DisplayText", [=](int& r) -> ReplyRecord& { return DisplayText(p, "Hello", 1, 2, r); }, 129,
       "406172;1;2;Hello;"},
      {"PrintInfoReport", [=](int& r) -> ReplyRecord& { return PrintInfoReport(p, 3, r); }, 132,
       "406172;3;"},
      {"SetServiceCounter", [=](int& r) -> ReplyRecord& { return SetServiceCounter(p, 20, 0, r); },
       136, "406172;20;0;"},
      {"GetServiceCounter", [=](int& r) -> ReplyRecord& { return GetServiceCounter(p, 7, r); }, 137,
       "406172;7;"},
      {"GetFreeResources", [=](int& r) -> ReplyRecord& { return GetFreeResources(p, r); }, 160,
       "406172;"},
      {"PrintReport", [=](int& r) -> ReplyRecord& { return PrintReport(p, 0, r); }, 161,
       "406172;0;"},
      {"FindReportByDate",
       [=](int& r) -> ReplyRecord& { return FindReportByDate(p, "010124", "311224", 1, r); }, 162,
       "406172;010124;311224;1;"},
      {"PrintPeriodicReport",
       [=](int& r) -> ReplyRecord& { return PrintPeriodicReport(p, 1, 30, 2, r); }, 163,
       "406172;1;30;2;"},
      {"PrintSoldItemsReport",
       [=](int& r) -> ReplyRecord& { return PrintSoldItemsReport(p, kMinI64, 4294967296, r); }, 164,
       "406172;-9223372036854775808;4294967296;"},
      {"PrintExtraDailyReport",
       [=](int& r) -> ReplyRecord& { return PrintExtraDailyReport(p, 4, r); }, 166, "406172;4;;;"},
      {"SetDataSource", [=](int&) -> ReplyRecord& { return SetDataSource(p); }, 231, "406172;5;;;",
       ResultUse::kNone},
      {"ReadDataFromBuf", [=](int&) -> ReplyRecord& { return ReadDataFromBuf(p); }, 232, "406172;",
       ResultUse::kNone},
      {"PrintCopyByNumbers", [=](int&) -> ReplyRecord& { return PrintCopyByNumbers(p, 5, 9); }, 235,
       "406172;5;9;", ResultUse::kNone},
      {"PrintCopyByDates",
       [=](int&) -> ReplyRecord& {
         return PrintCopyByDates(p, "010124", "0800", "020124", "2000", 1);
       },
       238, "406172;010124;0800;020124;2000;1;", ResultUse::kNone},
      {"RestartDevice", [=](int& r) -> ReplyRecord& { return RestartDevice(p, r); }, 243,
       "406172;"},
      {"EmptyPassword", [](int& r) -> ReplyRecord& { return GetSerialNumber("", r); }, 66, ";"},
  };
}

TEST_F(CommandTest, EveryBuilderSendsItsCodeAndText) {
  for (const BuilderCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    transport_.frames.clear();
    int result = 12345;
    ReplyRecord& reply = c.call(result);

    ASSERT_EQ(transport_.frames.size(), 1u);
    EXPECT_EQ(FakeTransport::CodeOf(transport_.frames[0]), c.code);
    EXPECT_EQ(FakeTransport::TextOf(transport_.frames[0]), c.text);
    EXPECT_EQ(&reply, &TheEngine().reply());
    EXPECT_EQ(reply.command_code, c.code);
    EXPECT_EQ(reply.command_text, c.text);
    EXPECT_EQ(reply.sent_frame, transport_.frames[0]);
    EXPECT_TRUE(reply.Succeeded());
    EXPECT_EQ(reply.answer_copy, "OK;");  // before the engine's comma rules
    switch (c.result_use) {
      case ResultUse::kSetsZero:
        EXPECT_EQ(result, 0);
        break;
      case ResultUse::kUnchanged:
      case ResultUse::kNone:
        EXPECT_EQ(result, 12345);
        break;
    }
  }
}

TEST_F(CommandTest, ResultIsZeroEvenWhenTheDeviceReportsAnError) {
  transport_.error_code = "0006";
  int result = -7;
  ReplyRecord& reply = OpenFiscalReceipt("1", 1, 1, 0, result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(reply.error_code, "0006");
  EXPECT_FALSE(reply.Succeeded());
}

// A snapshot of everything a transaction writes into the reply record.
struct Snapshot {
  explicit Snapshot(const ReplyRecord& r)
      : field_count(r.field_count),
        command_code(r.command_code),
        status_flags(r.status_flags),
        description(r.description),
        command_text(r.command_text),
        answer_copy(r.answer_copy),
        error_code(r.error_code),
        fields(r.fields),
        status_bytes(r.status_bytes),
        sent_frame(r.sent_frame),
        raw_answer(r.raw_answer),
        checksum_error(r.checksum_error),
        refusal(r.refusal) {}
  bool operator==(const Snapshot&) const = default;

  int field_count;
  int command_code;
  std::uint32_t status_flags;
  std::string description, command_text, answer_copy, error_code;
  std::array<std::string, kMaxFields> fields;
  std::array<std::uint8_t, 6> status_bytes;
  std::string sent_frame, raw_answer;
  std::uint8_t checksum_error;
  std::string refusal;
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct RefusalCase {
  std::string name;
  std::function<ReplyRecord&(int&)> call;
  int expected_result;
};

TEST_F(CommandTest, RefusalsSendNothingAndLeaveTheReply) {
  const std::vector<RefusalCase> cases = {
      {"SetHeaderFooter21",
       [](int& r) -> ReplyRecord& { return SetHeaderFooter("1", 21, "x", 0, r); }, -121},
      {"SetHeaderFooter-1",
       [](int& r) -> ReplyRecord& { return SetHeaderFooter("1", -1, "x", 0, r); }, -121},
      {"GetHeaderFooter-1", [](int& r) -> ReplyRecord& { return GetHeaderFooter("1", -1, r); },
       -131},
      {"GetHeaderFooter21", [](int& r) -> ReplyRecord& { return GetHeaderFooter("1", 21, r); },
       -131},
      {"SetUserLogoLine",
       [](int& r) -> ReplyRecord& { return SetUserLogo("1", -1, std::string(48, '0'), r); }, -110},
      {"SetUserLogoLineFirst", [](int& r) -> ReplyRecord& { return SetUserLogo("1", -1, "00", r); },
       -110},
      {"SetUserLogo47",
       [](int& r) -> ReplyRecord& { return SetUserLogo("1", 0, std::string(47, '0'), r); }, -111},
      {"SetUserLogo49",
       [](int& r) -> ReplyRecord& { return SetUserLogo("1", 0, std::string(49, '0'), r); }, -111},
      {"SellItemQuantity0", [](int& r) -> ReplyRecord& { return SellItem("1", 1, 10, 0, r); },
       -151},
      {"SellItemQuantityNegative",
       [](int& r) -> ReplyRecord& { return SellItem("1", 1, 10, -1, r); }, -151},
      {"SellItemQuantityFirst", [](int& r) -> ReplyRecord& { return SellItem("1", 1, -1, 0, r); },
       -151},
      {"SellItemPrice", [](int& r) -> ReplyRecord& { return SellItem("1", 1, -0.01, 1, r); }, -152},
      {"MakePayment10", [](int& r) -> ReplyRecord& { return MakePayment("1", 10, 1, r); }, -151},
      {"MakePayment-1", [](int& r) -> ReplyRecord& { return MakePayment("1", -1, 1, r); }, -151},
      {"EAN11", [](int& r) -> ReplyRecord& { return PrintEAN13Code("1", 50, "40063813339", r); },
       -100},
      {"EAN13", [](int& r) -> ReplyRecord& { return PrintEAN13Code("1", 50, "4006381333931", r); },
       -100},
      {"EANLetter",
       [](int& r) -> ReplyRecord& { return PrintEAN13Code("1", 50, "40063813339X", r); }, -100},
      // NaN and infinities never reach the text as "nan" or "inf".
      {"SellItemQuantityNaN", [](int& r) -> ReplyRecord& { return SellItem("1", 1, 10, kNaN, r); },
       -151},
      {"SellItemQuantityInf", [](int& r) -> ReplyRecord& { return SellItem("1", 1, 10, kInf, r); },
       -153},
      {"SellItemPriceNaN", [](int& r) -> ReplyRecord& { return SellItem("1", 1, kNaN, 1, r); },
       -154},
      {"SellItemPriceInf", [](int& r) -> ReplyRecord& { return SellItem("1", 1, kInf, 1, r); },
       -154},
      {"SellItemPriceMinusInf",
       [](int& r) -> ReplyRecord& { return SellItem("1", 1, -kInf, 1, r); }, -152},
      {"MakePaymentNaN", [](int& r) -> ReplyRecord& { return MakePayment("1", 0, kNaN, r); }, -155},
      {"MakePaymentInf", [](int& r) -> ReplyRecord& { return MakePayment("1", 0, -kInf, r); },
       -155},
      {"ServiceCashNaN", [](int& r) -> ReplyRecord& { return ServiceCashInOut("1", 0, kNaN, r); },
       -155},
      {"DiscountItemPercentInf",
       [](int& r) -> ReplyRecord& { return DiscountItemPercent("1", kInf, r); }, -157},
      {"DiscountItemAbsoluteNaN",
       [](int& r) -> ReplyRecord& { return DiscountItemAbsolute("1", kNaN, r); }, -156},
      {"DiscountSubtotalPercentNaN",
       [](int& r) -> ReplyRecord& { return DiscountSubtotalPercent("1", kNaN, r); }, -157},
      {"DiscountSubtotalAbsoluteInf",
       [](int& r) -> ReplyRecord& { return DiscountSubtotalAbsolute("1", -kInf, r); }, -156},
      {"DiscountTaxGroupPercentNaN",
       [](int& r) -> ReplyRecord& { return DiscountTaxGroupPercent("1", kNaN, 1, r); }, -157},
      {"DiscountTaxGroupAbsoluteInf",
       [](int& r) -> ReplyRecord& { return DiscountTaxGroupAbsolute("1", kInf, 1, r); }, -156},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    // A previous transaction with a recognisable reply.
    transport_.data = "PREVIOUS;ANSWER;";
    int ignored = 0;
    GetSerialNumber("406172", ignored);
    transport_.frames.clear();
    const Snapshot before(TheEngine().reply());
    const std::uint8_t sequence = TheEngine().sequence_counter();

    int result = 0;
    ReplyRecord& reply = c.call(result);
    EXPECT_EQ(result, c.expected_result);
    EXPECT_TRUE(transport_.frames.empty());
    EXPECT_EQ(&reply, &TheEngine().reply());
    EXPECT_TRUE(Snapshot(reply) == before);
    EXPECT_EQ(reply.Field(1), "ANSWER");
    EXPECT_EQ(TheEngine().sequence_counter(), sequence);
    // The command before the refusal is not repeated in its place.
    EXPECT_EQ(TheEngine().ResendLastCommand(false), nullptr);
    EXPECT_TRUE(transport_.frames.empty());
  }
}

TEST_F(CommandTest, HeaderLinesZeroAndTwentyAreAccepted) {
  int result = 1;
  SetHeaderFooter("1", 0, "a", 0, result);
  EXPECT_EQ(result, 0);
  result = 1;
  SetHeaderFooter("1", 20, "a", 0, result);
  EXPECT_EQ(result, 0);
  result = 1;
  GetHeaderFooter("1", 0, result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(transport_.frames.size(), 3u);
}

TEST_F(CommandTest, TooLongTextIsRefusedByTheEngine) {
  int result = 99;
  ReplyRecord& reply = PrintText("406172", std::string(250, 'x'), result);
  EXPECT_TRUE(transport_.frames.empty());
  EXPECT_TRUE(reply.NoAnswer());
  EXPECT_FALSE(TheEngine().refusal().empty());
  EXPECT_EQ(result, 0);  // the builder handed it on; the engine refused
}

TEST_F(CommandTest, WithoutTransportTheReplyReadsNoAnswer) {
  TheEngine().SetTransport(nullptr);
  int result = 5;
  ReplyRecord& reply = GetDiagnosticInfo("406172", result);
  EXPECT_TRUE(reply.NoAnswer());
  EXPECT_EQ(result, 0);
}

TEST(CommandFormat, FixedMatchesPrintfInTheCLocale) {
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
  const double values[] = {0.0,   -0.0,   0.005,  0.015,   0.125,      0.375,
                           1.005, 2.675,  1e-9,   -1e-9,   123456.789, -99.995,
                           1e15,  0.0005, 0.0015, 1.0 / 3, -2.0 / 3,   4503599627370497.0};
  for (double v : values) {
    char two[64];
    char three[64];
    std::snprintf(two, sizeof two, "%-#.2lf", v);
    std::snprintf(three, sizeof three, "%-#.3lf", v);
    EXPECT_EQ(FormatFixed(v, 2), two) << v;
    EXPECT_EQ(FormatFixed(v, 3), three) << v;
  }
}

// Tries the comma-decimal locales; returns the one that was set, or an empty text.
std::string SetCommaLocale() {
  for (const char* name :
       {"uk_UA.UTF-8", "ru_RU.UTF-8", "de_DE.UTF-8", "uk_UA.utf8", "ru_RU.utf8", "de_DE.utf8",
        "uk_UA.CP1251", "ru_RU.CP1251", "ru_RU.KOI8-R", "uk_UA", "ru_RU", "de_DE", "de_DE@euro",
        "Russian_Russia.1251", "Ukrainian_Ukraine.1251", "German_Germany.1252"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      const std::lconv* conv = std::localeconv();
      if (conv != nullptr && std::string(conv->decimal_point) == ",")
        return name;
      std::setlocale(LC_ALL, "C");
    }
  }
  return {};
}

TEST_F(CommandTest, NumbersUseAPointWhateverTheLocale) {
  const std::string name = SetCommaLocale();
  // scripts/setup generates uk_UA.UTF-8; without a comma locale this test proves nothing.
  ASSERT_FALSE(name.empty()) << "no locale with a decimal comma is installed (scripts/setup "
                                "generates uk_UA.UTF-8)";
  std::locale previous;
  try {
    previous = std::locale::global(std::locale(name));
  } catch (const std::exception&) {
    // The C locale alone is still a valid test.
  }
  // Proof that the locale is in force: printf writes a comma now.
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.2f", 1.5);
  EXPECT_STREQ(probe, "1,50");

  int result = 1;
  SellItem("406172", 123, 10.0, 1.5, result);
  MakePayment("406172", 0, 1234.5, result);
  ServiceCashInOut("406172", 0, -0.25, result);
  DiscountTaxGroupPercent("406172", 7.125, 3, result);
  const std::vector<std::string> texts = {FakeTransport::TextOf(transport_.frames.at(0)),
                                          FakeTransport::TextOf(transport_.frames.at(1)),
                                          FakeTransport::TextOf(transport_.frames.at(2)),
                                          FakeTransport::TextOf(transport_.frames.at(3))};
  const std::string fixed = FormatFixed(2.5, 3);

  std::locale::global(previous);
  std::setlocale(LC_ALL, "C");

  EXPECT_EQ(texts[0], "406172;123;1.500;10.00;");
  EXPECT_EQ(texts[1], "406172;0;1234.50;");
  EXPECT_EQ(texts[2], "406172;0;-0.25;");
  EXPECT_EQ(texts[3], "406172;7.12;3;");
  EXPECT_EQ(fixed, "2.500");
}

}  // namespace
}  // namespace tolvanet
