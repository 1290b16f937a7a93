// Receipts, payments, voids and reports of the simulated register, through the core's client.
#include "link/codepage.h"
#include "sim_fixture.h"

namespace tolvanet::sim::testing {
namespace {

class ReceiptTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    ASSERT_EQ(Code(36, ToCp1251("406172;123;Хліб;4.50;1;2;")), "0000");
    ASSERT_EQ(Code(36, ToCp1251("406172;124;Молоко;25.00;0;1;")), "0000");
  }
  // Runs a command that must succeed and gives its answer data.
  std::string Ok(int code, std::string_view text) {
    ReplyRecord& r = Run(code, text);
    EXPECT_EQ(r.error_code, "0000") << code << " " << text;
    return r.answer_copy;
  }
  void PutCash(const char* amount) {
    Ok(99, "406172;1;0;2;");
    Ok(119, std::string("406172;0;") + amount + ";");
    Ok(101, "406172;0;");
  }
};

TEST_F(ReceiptTest, SaleFromOpenToClose) {
  EXPECT_EQ(Ok(99, "406172;1;1;0;"), "1;");
  EXPECT_EQ(Status(2), 0x01);
  EXPECT_EQ(Status(5) & 0x10, 0x10);  // the first receipt opens the shift
  EXPECT_EQ(Ok(100, "406172;123;2.000;4.50;"), "9.00;9.00;");
  EXPECT_EQ(Status(2), 0x02);
  EXPECT_EQ(Code(100, "406172;999;1.000;1.00;"), "020A");  // not in the article base
  EXPECT_EQ(Ok(104, "406172;-10.00;"), "-0.90;8.10;");
  EXPECT_EQ(Ok(100, "406172;124;1.000;25.00;"), "25.00;33.10;");
  EXPECT_EQ(Ok(116, "406172;-3.10;"), "-3.10;30.00;");
  EXPECT_EQ(Status(2), 0x06);
  EXPECT_EQ(Run(109, "406172;1;").Field(0), "30.00");
  EXPECT_EQ(Ok(103, "406172;1;10.00;"), "20.00;0.00;");  // card part
  EXPECT_EQ(Status(2), 0x03);
  EXPECT_EQ(Ok(103, "406172;0;50.00;"), "0.00;30.00;");  // cash with change
  EXPECT_EQ(Status(2), 0x04);
  EXPECT_EQ(Code(100, "406172;123;1.000;4.50;"), "000B");
  EXPECT_EQ(Ok(101, "406172;1;"), "1;");
  EXPECT_EQ(Status(2), 0x00);
  // X report: sales, returns, cash in the drawer (50.00 taken, 30.00 change given).
  EXPECT_EQ(Ok(161, "406172;1;"), "30.00;0.00;20.00;");
  EXPECT_EQ(Run(48, "406172;1;").Field(0), "1");  // the operator has sold in this shift
}

TEST_F(ReceiptTest, ARepeatedFrameIsNotCarriedOutTwice) {
  Ok(99, "406172;1;1;0;");
  EXPECT_EQ(Ok(100, "406172;123;2.000;4.50;"), "9.00;9.00;");
  ReplyRecord* again = client_->engine.ResendLastCommand(false);  // same sequence byte
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->answer_copy, "9.00;9.00;");
  again = client_->engine.ResendLastCommand(true);  // a new command
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->answer_copy, "9.00;18.00;");
  const std::vector<Request> seen = reg_->requests();
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[seen.size() - 2].sequence, seen[seen.size() - 3].sequence);
}

TEST_F(ReceiptTest, CommandsInTheWrongStateAreRefused) {
  struct Step {
    int code;
    const char* text;
    const char* error;
  };
  const std::vector<Step> closed = {
      {100, "406172;123;1.000;4.50;", "000B"},
      {103, "406172;0;1.00;", "000B"},
      {109, "406172;1;", "000B"},
      {119, "406172;0;1.00;", "000B"},
      {97, "406172;text;", "000B"},
      {101, "406172;0;", "000B"},
      {107, "406172;1;", "060B"},
      {104, "406172;-1.00;", "000B"},
  };
  for (const Step& s : closed)
    EXPECT_EQ(Code(s.code, s.text), s.error) << s.code;
  Ok(99, "406172;1;1;0;");
  const std::vector<Step> opened = {
      {103, "406172;0;1.00;", "000B"}, {104, "406172;-1.00;", "000B"},
      {115, "406172;-1.00;", "000B"},  {101, "406172;0;", "000B"},
      {99, "406172;1;1;0;", "000B"},   {96, "406172;", "000B"},
      {161, "406172;1;", "000B"},      {119, "406172;0;1.00;", "000B"},
      {59, "406172;", "000B"},         {107, "406172;1;", "060B"},
  };
  for (const Step& s : opened)
    EXPECT_EQ(Code(s.code, s.text), s.error) << s.code;
  EXPECT_EQ(Status(2), 0x01);
}

TEST_F(ReceiptTest, VoidSequenceTakesBackMatchingSales) {
  Ok(99, "406172;1;1;0;");
  Ok(100, "406172;123;1.000;4.50;");
  Ok(100, "406172;124;1.000;25.00;");
  Ok(107, "406172;1;");
  EXPECT_EQ(Status(2), 0x09);
  EXPECT_EQ(Ok(100, "406172;124;1.000;25.00;"), "-25.00;4.50;");
  EXPECT_EQ(Code(100, "406172;123;2.000;4.50;"), "040B");  // no such sale
  EXPECT_EQ(Ok(107, "406172;2;"), "4.50;");
  EXPECT_EQ(Status(2), 0x02);
  EXPECT_EQ(Code(107, "406172;2;"), "000B");

  Ok(107, "406172;1;");
  EXPECT_EQ(Code(107, "406172;2;"), "050B");  // nothing taken back yet
  Ok(100, "406172;123;1.000;4.50;");
  EXPECT_EQ(Ok(107, "406172;3;"), "4.50;");  // cancelled: the sale stays
  EXPECT_EQ(Run(109, "406172;0;").Field(0), "4.50");

  Ok(107, "406172;0;");  // the whole receipt
  EXPECT_EQ(Status(2), 0x00);
  const RegisterState s = reg_->State();
  ASSERT_EQ(s.journal.size(), 1u);
  EXPECT_TRUE(s.journal[0].cancelled);
  EXPECT_EQ(s.shift.sales, 0);
}

TEST_F(ReceiptTest, PaymentsFollowThePermissionMasks) {
  Ok(99, "406172;1;1;0;");
  Ok(100, "406172;123;1.000;4.50;");
  EXPECT_EQ(Code(103, "406172;5;4.50;"), "090B");      // returns only
  EXPECT_EQ(Code(103, "406172;2;5.00;"), "0A0B");      // no change from credit
  EXPECT_EQ(Code(120, "406172;1;5.00;TX1;"), "0A0B");  // no change from a card
  EXPECT_EQ(Code(120, "406172;0;4.50;TX1;"), "0104");  // cash is not a card
  EXPECT_EQ(Code(103, "406172;6;4.50;"), "0104");      // six payment types
  EXPECT_EQ(Code(103, "406172;0;0.00;"), "0204");
  EXPECT_EQ(Ok(120, "406172;1;4.50;TX123;"), "0.00;0.00;");
  Ok(101, "406172;0;");

  // A cash refund needs cash in the drawer.
  Ok(99, "406172;1;1;1;");
  EXPECT_EQ(Status(2), 0x11);  // return receipt
  Ok(100, "406172;123;1.000;4.50;");
  EXPECT_EQ(Code(103, "406172;0;4.50;"), "080B");
  EXPECT_EQ(Code(103, "406172;2;4.50;"), "090B");  // credit cannot pay a return
  Ok(107, "406172;0;");
  PutCash("100.00");
  Ok(99, "406172;1;1;1;");
  Ok(100, "406172;123;1.000;4.50;");
  EXPECT_EQ(Code(103, "406172;0;5.00;"), "0D0B");  // a return pays no change
  Ok(103, "406172;0;4.50;");
  Ok(101, "406172;0;");
  EXPECT_EQ(reg_->State().cash, 9550);
}

TEST_F(ReceiptTest, AdjustmentsStayWithinTheirBase) {
  Ok(99, "406172;1;1;0;");
  Ok(100, "406172;123;2.000;4.50;");
  EXPECT_EQ(Ok(117, "406172;-10.00;1;"), "-0.90;8.10;");
  EXPECT_EQ(Code(118, "406172;-1.00;0;"), "0B0B");  // nothing sold in group 0
  EXPECT_EQ(Code(104, "406172;-100.01;"), "000B");  // the last line is no sale now
  Ok(100, "406172;124;1.000;25.00;");
  EXPECT_EQ(Code(104, "406172;-100.01;"), "0B0B");
  EXPECT_EQ(Code(105, "406172;-25.01;"), "0B0B");
  EXPECT_EQ(Ok(105, "406172;5.00;"), "5.00;38.10;");  // a surcharge
  EXPECT_EQ(Ok(115, "406172;10.00;"), "3.81;41.91;");
  EXPECT_EQ(Code(115, "406172;10.00;"), "000B");  // once per receipt
}

TEST_F(ReceiptTest, ServiceAndNonFiscalReceipts) {
  Ok(99, "406172;1;0;2;");
  EXPECT_EQ(Status(2), 0x07);
  EXPECT_EQ(Ok(119, "406172;0;100.00;"), "100.00;");
  EXPECT_EQ(Code(119, "406172;0;-150.00;"), "080B");
  EXPECT_EQ(Ok(119, "406172;0;-30.00;"), "70.00;");
  Ok(101, "406172;0;");
  EXPECT_EQ(reg_->State().cash, 7000);

  Ok(96, "406172;");
  EXPECT_EQ(Status(2), 0x05);
  EXPECT_EQ(Code(100, "406172;123;1.000;4.50;"), "000B");
  Ok(97, ToCp1251("406172;%MHJc*** Контрольная лента ***;"));
  Ok(166, "406172;2;;;");
  EXPECT_EQ(client_->engine.parser().syn_count(), 3);  // it printed
  Ok(101, "406172;0;");
  EXPECT_EQ(Status(2), 0x00);
}

TEST_F(ReceiptTest, ReportsAndCopiesAgreeOnNumbersAndDates) {
  reg_->SetClock([] { return FromCivil({2015, 3, 1, 10, 0, 0}); });
  EXPECT_EQ(Code(163, "406172;1;1;0;"), "0104");  // no daily report yet
  Ok(99, "406172;1;1;0;");
  Ok(100, "406172;123;1.000;4.50;");
  Ok(103, "406172;0;4.50;");
  EXPECT_EQ(Ok(101, "406172;0;"), "1;");
  EXPECT_EQ(Code(59, "406172;"), "0107");  // the shift is open
  EXPECT_EQ(Ok(161, "406172;0;"), "1;");   // Z report number 1
  EXPECT_EQ(client_->engine.parser().syn_count(), 3);
  EXPECT_EQ(Status(5) & 0x10, 0);
  EXPECT_EQ(Run(252, "406172;").answer_copy, "010315;1000;");

  EXPECT_EQ(Ok(163, "406172;1;1;1;"), "1;1;");
  EXPECT_EQ(Code(163, "406172;1;2;0;"), "0204");
  EXPECT_EQ(Ok(162, "406172;010315;010315;1;"), "1;1;");
  EXPECT_EQ(Code(162, "406172;020315;030315;0;"), "0104");
  EXPECT_EQ(Code(162, "406172;020315;010315;0;"), "0204");
  Ok(235, "406172;1;1;");
  EXPECT_EQ(Code(235, "406172;1;2;"), "070B");
  EXPECT_EQ(Ok(238, "406172;010315;0900;010315;1100;0;"), "1;1;");
  EXPECT_EQ(Code(238, "406172;020315;0900;020315;1100;0;"), "070B");

  Ok(161, "406172;5;");  // unload the control tape
  Ok(161, "406172;2;");  // and clear it: the copies are gone
  EXPECT_EQ(Code(235, "406172;1;1;"), "070B");
  ReplyRecord& res = Run(160, "406172;");
  EXPECT_EQ(res.Field(7), "1999");  // free daily reports
  EXPECT_EQ(res.Field(11), "2000");
  EXPECT_EQ(Ok(59, "406172;"), "");
  EXPECT_EQ(Run(160, "406172;").Field(10), "10000");
}

TEST_F(ReceiptTest, ArticlesSoldInTheShiftKeepTheirDescription) {
  EXPECT_EQ(Code(36, ToCp1251("406172;123;Хліб;4.50;1;2;")), "0000");  // the same again
  EXPECT_EQ(Code(36, "406172;125;X;1.00;4;0;"), "050A");               // group Д is disabled
  EXPECT_EQ(Code(36, "406172;1234567890;X;1.00;0;0;"), "0104");
  EXPECT_EQ(Code(36, "406172;126;;1.00;0;0;"), "0204");
  EXPECT_EQ(Code(36, "406172;126;X;1.00;0;100;"), "0504");
  Ok(99, "406172;1;1;0;");
  Ok(100, "406172;123;1.000;4.50;");
  Ok(103, "406172;0;4.50;");
  Ok(101, "406172;0;");
  EXPECT_EQ(Code(36, ToCp1251("406172;123;Хліб;5.00;1;2;")), "040A");
  EXPECT_EQ(Code(36, ToCp1251("406172;123;Хліб;4.50;1;2;")), "0000");
  EXPECT_EQ(Ok(164, "406172;0;99999999999999;"), "1;");
}

}  // namespace
}  // namespace tolvanet::sim::testing
