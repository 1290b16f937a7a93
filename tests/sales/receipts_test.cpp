// Receipt sequences and their input checks, against a socket-free register.
#include "sales/receipts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/engine.h"
#include "tests/script/fake_register.h"

namespace tolvanet::sales {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using tolvanet::testing::FakeAnswer;
using tolvanet::testing::FakeRegister;
using tolvanet::testing::SentCommand;

class ReceiptsTest : public ::testing::Test {
 protected:
  void SetUp() override { TheEngine().SetTransport(&reg); }
  void TearDown() override { TheEngine().SetTransport(nullptr); }
  FakeRegister reg;
};

TEST_F(ReceiptsTest, SaleChecksEveryInputBeforeTheFirstCommand) {
  struct Case {
    const char* article;
    const char* quantity;
    const char* price;
    const char* message;
  };
  const Case cases[] = {
      {"", "1.000", "1.00", "Не выбран товар!"},
      {"abc;Name;1.00;0;1;", "1.000", "1.00", "Код товара"},
      {"123;Name;1.00;0;1;", "0", "1.00", "Кол-во"},
      {"123;Name;1.00;0;1;", "0.0004", "1.00", "Кол-во"},
      {"123;Name;1.00;0;1;", "1.000", "-0.01", "Цена"},
      {"123;Name;1.00;0;1;", "1.000", "1,00x", "Цена"},
      {"123;Na\nme;1.00;0;1;", "1.000", "1.00", "управляющий символ"},
  };
  for (const Case& c : cases) {
    const auto sale = PrepareSale("406172", c.article, c.quantity, c.price);
    EXPECT_FALSE(sale) << c.article << " " << c.quantity << " " << c.price;
    EXPECT_THAT(sale.error, HasSubstr(c.message));
  }
  EXPECT_FALSE(PrepareSale("4;06172", "1;A;", "1", "1"));
  EXPECT_TRUE(reg.sent.empty());
}

TEST_F(ReceiptsTest, SaleProgramsTheArticleThenSellsWithTheFixedPassword) {
  const auto sale = PrepareSale("1111", "123;Name;4.50;1;2;", " 2 ", "4.5");
  ASSERT_TRUE(sale) << sale.error;
  EXPECT_TRUE(Sell(*sale).ok);
  EXPECT_THAT(reg.sent, ElementsAre(SentCommand{36, "1111;123;Name;4.50;1;2;"},
                                    SentCommand{100, "406172;123;2.000;4.50;"}));

  // A refused article stops the sale before it is sold; a refused sale has its own texts.
  reg.sent.clear();
  reg.answers[36] = FakeAnswer{"0A05", ""};
  EXPECT_EQ(Sell(*sale).message, "Ошибка ");
  EXPECT_EQ(reg.sent.size(), 1u);
  reg.answers[36] = FakeAnswer{"0000", "", true};
  EXPECT_EQ(Sell(*sale).message, "Таймаут устройства! Ошибка!");
  reg.answers[36] = FakeAnswer{};
  reg.answers[100] = FakeAnswer{"000B", ""};
  EXPECT_EQ(Sell(*sale).message, "Ошибка продажи");
}

TEST_F(ReceiptsTest, PaymentInputsAndTheCardRule) {
  struct Case {
    const char* type;
    const char* amount;
    int count;
    const char* message;  // nullptr: accepted
  };
  const Case cases[] = {
      {"0", "12.34", 10, nullptr},
      {"9", " 1 ", 10, nullptr},
      {"x", "1.00", 10, "Ошибочный тип оплаты"},
      {"10", "1.00", 12, "Тип оплаты"},
      {"4", "1.00", 4, "Тип оплаты"},
      {"1", "0.00", 10, "Сумма оплаты"},
      {"1", "12.3.4", 10, "Сумма оплаты"},
  };
  for (const Case& c : cases) {
    const auto p = PreparePayment(c.type, c.amount, c.count);
    if (c.message == nullptr) {
      EXPECT_TRUE(p) << c.type << " " << c.amount << ": " << p.error;
    } else {
      EXPECT_THAT(p.error, HasSubstr(c.message)) << c.type << " " << c.amount;
      // The window's own text stays the first line whatever was wrong.
      const std::string first = "Ошибочный тип оплаты";
      EXPECT_TRUE(p.error == first || p.error.starts_with(first + "\n")) << p.error;
    }
  }
  EXPECT_TRUE(IsCardPayment("КСЕФ", 1));
  EXPECT_FALSE(IsCardPayment("КСЕФ", 0));
  EXPECT_FALSE(IsCardPayment("", 1));

  const auto p = PreparePayment("0", "12.345", 10);
  ASSERT_TRUE(p);
  EXPECT_TRUE(PayDirect("406172", *p).ok);
  reg.answers[103] = FakeAnswer{"0B0A", ""};
  EXPECT_EQ(PayDirect("406172", *p).message, "Ошибка оплаты чека");
  EXPECT_THAT(reg.sent, ElementsAre(SentCommand{103, "406172;0;12.35;"},
                                    SentCommand{103, "406172;0;12.35;"}));
}

TEST_F(ReceiptsTest, NonFiscalReceiptCutsLinesAndStopsAtTheFirstFailure) {
  const std::string long_line = "0123456789;0123456789;0123456789;0123456789";  // 43 bytes
  EXPECT_EQ(NonFiscalLine(long_line), "012345678901234567890123456789012345");
  EXPECT_TRUE(PrintNonFiscalReceipt("406172", {long_line, ""}).ok);
  EXPECT_THAT(reg.sent, ElementsAre(SentCommand{96, "406172;"},
                                    SentCommand{97, "406172;012345678901234567890123456789012345;"},
                                    SentCommand{97, "406172;;"}, SentCommand{101, "406172;0;"}));

  reg.sent.clear();
  reg.answers[97] = FakeAnswer{"000B", ""};
  const Outcome failed = PrintNonFiscalReceipt("406172", {"a", "b"});
  EXPECT_FALSE(failed.ok);
  EXPECT_FALSE(failed.message.empty());
  EXPECT_EQ(reg.sent.size(), 2u);  // open and the first line; the receipt stays open

  reg.sent.clear();
  EXPECT_THAT(PrintNonFiscalReceipt("406172", {"a", "b\tc"}).message, HasSubstr("Строка 2"));
  EXPECT_TRUE(reg.sent.empty());
}

TEST_F(ReceiptsTest, ServiceCashTakesAPositiveAmountAndTheSignFromTheOperation) {
  reg.answers[119] = FakeAnswer{"0000", "95.00;"};
  const CashOutcome out = ServiceCash("406172", "1", "5", true);
  EXPECT_TRUE(out.outcome.ok);
  EXPECT_EQ(out.outcome.message, "Служебное изъятие денег - Успешно!");
  EXPECT_EQ(out.drawer, "95.00");
  EXPECT_THAT(reg.sent,
              ElementsAre(SentCommand{99, "406172;1;0;2;"}, SentCommand{119, "406172;0;-5.00;"},
                          SentCommand{101, "406172;0;"}));

  reg.sent.clear();
  for (const char* amount : {"-5", "0", "x"})
    EXPECT_THAT(ServiceCash("406172", "1", amount, false).outcome.message, HasSubstr("Сумма"));
  EXPECT_THAT(ServiceCash("406172", "one", "5", false).outcome.message, HasSubstr("оператора"));
  EXPECT_TRUE(reg.sent.empty());

  reg.answers[119] = FakeAnswer{"0000", "", true};
  EXPECT_EQ(ServiceCash("406172", "1", "5", false).outcome.message,
            "Служебный внос денег:\n  Таймаут устройства! Ошибка!");
  EXPECT_EQ(reg.sent.size(), 2u);  // the service receipt stays open
}

TEST(ReceiptStateTest, StatusByte2GivesTheStateAndTheButtons) {
  struct Case {
    std::uint8_t byte2;
    const char* text;
    bool close;
    bool void_;
  };
  const Case cases[] = {
      {0x00, "Нет открытых чеков", false, false},     {0x10, "Нет открытых чеков", false, false},
      {0x05, "Открыт нефискальный чек", true, false}, {0x14, "Открыт чек возврата", true, true},
      {0x12, "Открыт чек возврата", false, true},     {0x04, "Открыт фискальный чек", true, true},
      {0x07, "Открыт фискальный чек", true, true},    {0x02, "Открыт фискальный чек", false, true},
  };
  for (const Case& c : cases) {
    const ReceiptStateView v = ReceiptStateOf(c.byte2);
    EXPECT_EQ(v.text, c.text) << int(c.byte2);
    EXPECT_EQ(v.close_enabled, c.close) << int(c.byte2);
    EXPECT_EQ(v.void_enabled, c.void_) << int(c.byte2);
  }
}

}  // namespace
}  // namespace tolvanet::sales
