// The simulated register's answers to the command catalogue, seen through the core's client.
#include "link/codepage.h"
#include "sim_fixture.h"

namespace tolvanet::sim::testing {
namespace {

struct Case {
  int code;
  std::string text;   // UTF-8; sent as Windows-1251
  std::string error;  // expected error code text
  std::string data;   // expected answer data (UTF-8); "*" = not checked
};

class CommandTableTest : public SimTest {};

TEST_F(CommandTableTest, FreshRegisterAnswersTheCatalogue) {
  const std::vector<Case> cases = {
      {128, "111111;", "0006", ""},  // wrong password
      {42, "406172;", "0002", ""},   // no such command
      {200, "", "0002", ""},
      {66, "406172;", "0000", "SM000012345;"},
      {68, "406172;", "0000", ";"},
      {70, "406172;", "0000", ";;"},
      {72, "406172;0;", "0000", "1;20.00;ПДВ_А;-1;"},
      {72, "406172;4;", "0000", "0;0.00;ПДВ_Д;-1;"},
      {72, "406172;5;", "0104", ""},
      {72, "406172;x;", "0103", ""},
      {72, "406172;", "0103", ""},
      {35, "406172;10;", "0000", "      ДЯКУЄМО ЗА ПОКУПКУ!;0;"},
      {35, "406172;21;", "0104", ""},
      {34, "406172;x;text;0;", "0103", ""},
      {34, "406172;3;text;2;", "0304", ""},
      {34, "406172;3;123456789012345678901;1;", "0204", ""},  // too wide for double width
      {46, "406172;0;", "0000", "83;ГОТІВКА;"},
      {46, "406172;6;", "0104", ""},
      {48, "406172;1;", "0000", "0;Касир 1;"},
      {48, "406172;9;", "0104", ""},
      {40, "406172;", "0000", "115200;0;0000;00;32;32;25;"},
      {74, "406172;", "0000", "2;"},
      {73, "406172;4;", "0104", ""},
      {76, "406172;", "0000", "1;"},
      {75, "406172;12a;", "0103", ""},
      {75, "406172;1234567890;", "0104", ""},
      {250, "406172;", "0000", "0;C0A80064;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;"},
      {251, "406172;0;C0A800A;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;", "0203", ""},
      {251, "406172;0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;A105;1E00;", "0704", ""},
      {137, "406172;0;", "0000", "95;"},
      {137, "406172;21;", "0104", ""},
      {136, "406172;0;5;", "0104", ""},     // measured, not set
      {136, "406172;16;499;", "0204", ""},  // MTU 500..1460
      {136, "406172;20;0;", "0000", ""},    // remote access off, as the main window sends
      {160, "406172;", "0000", "1;1;1;1;1;1;0;2000;000000;0000;10000;2000;"},
      {252, "406172;", "0000", "000000;0000;"},
      {234, "406172;0;", "0000", "48;000000;0000;000000;0000;"},
      {234, "406172;2;", "0104", ""},
      {54, "406172;", "0000", "000000;0;00;"},
      {53, "000000;123456;010130;5;01;", "0006", ""},
      {53, "406172;123456;310230;5;01;", "0203", ""},
      {129, "406172;2;0;Локальний доступ!;", "0000", ""},
      {129, "406172;2;0;123456789012345678901;", "0304", ""},
      {231, "406172;7;;;", "0104", ""},
      {232, "406172;", "0109", ""},  // no data source chosen
      {241, "406172;70000;", "0104", ""},
      {65, "406172;;", "0104", ""},
      {65, "406172;123456789012;", "0104", ""},
      {43, "111111;1;2;3;", "0006", ""},
      {43, "406172;1234567;1;1;", "0104", ""},
      {64, "406172;WRONG;123456;", "0104", ""},
      {64, "406172;SM000012345;12345;", "0204", ""},
      {71, "406172;1;09;20.00;X;-1;", "0204", ""},
      {71, "406172;1;01;20.00;X;1;", "0504", ""},  // linked to itself
      {71, "406172;1;01;2O.00;X;-1;", "0303", ""},
      {101, "406172;0;", "000B", ""},  // nothing to close
      {107, "406172;0;", "060B", ""},  // nothing to void
      {103, "406172;0;1.00;", "000B", ""},
      {111, "406172;50;0000000000000000000000000000000G;", "0203", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + " " + c.text);
    ReplyRecord& r = Run(c.code, ToCp1251(c.text));
    ASSERT_FALSE(r.NoAnswer());
    EXPECT_EQ(r.error_code, c.error);
    if (c.data != "*") {
      EXPECT_EQ(FromCp1251(r.answer_copy), c.data);
    }
  }
}

TEST_F(CommandTableTest, SettingsReadBackAsWritten) {
  const std::vector<Case> cases = {
      // {set code, set text, get code + text in `error`, expected read-back}
      {34, "406172;5;Hello;1;", "35 406172;5;", "Hello;1;"},
      {34, "406172;20;;0;", "35 406172;20;", ";0;"},
      {39, "406172;9600;3;8001;10;40;41;32;", "40 406172;", "9600;3;8001;10;40;41;32;"},
      {39, "406172;0;1;0000;00;01;02;05;", "40 406172;", "9600;1;0000;00;01;02;05;"},
      {45, "406172;2;03;БАНК;", "46 406172;2;", "03;БАНК;"},
      {47, "406172;3;111;Іван;", "48 406172;3;", "0;Іван;"},
      {67, "406172;1234567890;", "68 406172;", "1234567890;"},
      {69, "406172;123456789012;1234567890123;", "70 406172;", "123456789012;1234567890123;"},
      {71, "406172;4;02;5.5;ПДВ_Д;0;", "72 406172;4;", "2;5.50;ПДВ_Д;0;"},
      {73, "406172;3;", "74 406172;", "3;"},
      {136, "406172;16;1000;", "137 406172;16;", "1000;"},
      {53, "406172;654321;010330;10;05;", "54 406172;", "010330;10;05;"},
      {251, "406172;0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;", "250 406172;",
       "0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;"},
      {65, "406172;AB1234567;", "66 406172;", "AB1234567;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + " " + c.text);
    ASSERT_EQ(Code(c.code, ToCp1251(c.text)), "0000");
    const std::size_t blank = c.error.find(' ');
    ReplyRecord& r = Run(std::stoi(c.error.substr(0, blank)), c.error.substr(blank + 1));
    EXPECT_EQ(r.error_code, "0000");
    EXPECT_EQ(FromCp1251(r.answer_copy), c.data);
  }
}

TEST_F(CommandTableTest, DiagnosticInfoHasTheFieldsTheDialogsRead) {
  ReplyRecord& r = Run(128, "406172;");
  ASSERT_EQ(r.error_code, "0000");
  EXPECT_EQ(r.Field(0), "SIM-100");
  EXPECT_EQ(r.Field(1), "3.01");
  EXPECT_EQ(FromCp1251(r.Field(2)), "Симулятор");
  EXPECT_EQ(r.Field(6), "4800");  // logo memory: 4800 * 8 / 384 = 100 rows
  EXPECT_EQ(r.Field(7), "384");
  EXPECT_EQ(r.Field(10), "6");
  // Serial number and ID_DEV programmed, nothing else.
  EXPECT_EQ(Status(4), 0x11);
  EXPECT_EQ(Status(2), 0x00);
}

TEST_F(CommandTableTest, ModePasswordsGuardTheirCommands) {
  ASSERT_EQ(Code(43, "406172;111;222;333;"), "0000");
  EXPECT_EQ(Code(161, "406172;1;"), "0006");  // an operator's password does not run reports
  EXPECT_EQ(Code(161, "222;1;"), "0000");
  EXPECT_EQ(Code(161, "333;1;"), "0000");  // the administrator may do everything
  EXPECT_EQ(Code(34, "222;1;x;0;"), "0006");
  EXPECT_EQ(Code(34, "111;1;x;0;"), "0000");
  EXPECT_EQ(Code(43, "406172;1;1;1;"), "0006");
  EXPECT_EQ(Code(128, "406172;"), "0000");  // reading stays open to the operators
}

TEST_F(CommandTableTest, ClockFollowsSetDateTime) {
  reg_->SetClock([] { return FromCivil({2015, 3, 1, 4, 5, 6}); });
  ReplyRecord& r = Run(33, "406172;");
  EXPECT_EQ(r.Field(0), "010315");
  EXPECT_EQ(r.Field(1), "0405");

  EXPECT_EQ(Code(32, "406172;020315;1230;"), "0000");
  ReplyRecord& after = Run(33, "406172;");
  EXPECT_EQ(after.Field(0), "020315");
  EXPECT_EQ(after.Field(1), "1230");

  EXPECT_EQ(Code(32, "406172;300215;1230;"), "0C05");  // no 30 February
  EXPECT_EQ(Code(32, "406172;020315;2460;"), "0D05");
  EXPECT_EQ(Code(32, "406172;020315;"), "0203");

  // With a shift open the date may not leave the day.
  reg_->OpenReceipt(DocKind::kNonFiscal);
  EXPECT_EQ(Code(32, "406172;020315;1300;"), "000B");
  EXPECT_EQ(Code(101, "406172;0;"), "0000");
  reg_->OpenReceipt(DocKind::kSale);
  EXPECT_EQ(Code(107, "406172;0;"), "0000");
  EXPECT_EQ(Code(32, "406172;030315;1300;"), "0405");
  EXPECT_EQ(Code(32, "406172;020315;2359;"), "0000");
}

TEST_F(CommandTableTest, FiscalizationNeedsSerialNumberAndHappensOnce) {
  EXPECT_EQ(Code(132, "406172;1;"), "0705");  // no fiscal report before fiscalization
  reg_->ChangeState([](RegisterState& s) { s.serial_number.clear(); });
  EXPECT_EQ(Code(64, "406172;SM000012345;123456;"), "0205");
  ASSERT_EQ(Code(65, "406172;SM000012345;"), "0000");
  ReplyRecord& res = Run(160, "406172;");
  EXPECT_EQ(res.Field(0), "1");

  ASSERT_EQ(Code(64, "406172;SM000012345;123456;"), "0000");
  Run(128, "406172;");
  EXPECT_EQ(Status(4), 0x33);  // serial, fiscalized, ID_DEV, personalized
  EXPECT_EQ(Code(64, "406172;SM000012345;123456;"), "0007");
  EXPECT_EQ(Code(65, "406172;SM000099999;"), "0007");
  EXPECT_EQ(Code(67, "406172;1234567890;"), "0007");
  ReplyRecord& after = Run(160, "406172;");
  EXPECT_EQ(after.Field(0), "0");
  EXPECT_EQ(after.Field(1), "0");
  EXPECT_EQ(after.Field(3), "1");

  // The confirmation receipt of the fiscalization dialog.
  EXPECT_EQ(Code(96, "406172;"), "0000");
  EXPECT_EQ(Code(132, "406172;1;"), "0000");
  EXPECT_EQ(Code(97, ToCp1251("406172;РЕЄСТРАТОР ФІСКАЛІЗОВАНО УСПІШНО!;")), "0000");
  EXPECT_EQ(Code(101, "406172;0;"), "0000");
  ReplyRecord& modem = Run(234, "406172;0;");
  EXPECT_EQ(modem.Field(0), "78");  // Ethernet, technical registration, personalized, ID_DEV
}

TEST_F(CommandTableTest, TaxesAndDecimalPointStayWhileTheShiftIsOpen) {
  reg_->OpenReceipt(DocKind::kSale);
  EXPECT_EQ(Code(107, "406172;0;"), "0000");
  EXPECT_EQ(Code(71, ToCp1251("406172;0;01;20.00;ПДВ_А;-1;")), "0107");
  EXPECT_EQ(Code(73, "406172;2;"), "0107");
  EXPECT_EQ(Code(69, "406172;1;2;"), "0107");
  ASSERT_EQ(Code(161, "406172;0;"), "0000");  // the Z report closes the shift
  EXPECT_EQ(Code(71, ToCp1251("406172;0;01;20.00;ПДВ_А;-1;")), "0000");
}

TEST_F(CommandTableTest, NetworkSettingsAskForARestart) {
  ASSERT_EQ(Code(251, "406172;1;C0A8000A;FFFFFF00;C0A80001;0A000005;FFFF;3C00;1E00;"), "0000");
  EXPECT_EQ(Status(0), 0x20);
  ReplyRecord& r = Run(250, "406172;");
  EXPECT_EQ(r.Field(0), "1");
  EXPECT_EQ(r.Field(5), "FFFF");
  EXPECT_EQ(Code(243, "406172;"), "0000");
  EXPECT_EQ(Status(0), 0x00);
}

TEST_F(CommandTableTest, IdDevChangesTheRelayName) {
  ASSERT_EQ(Code(75, "406172;305419896;"), "0000");
  EXPECT_EQ(reg_->id_dev(), "305419896");
  EXPECT_EQ(server_->FindRegister("305419896"), reg_);
  Client other(server_->port(), "305419896");
  EXPECT_TRUE(IsReadyAnswer(other.Connect()));
  EXPECT_EQ(other.Run(76, "406172;").Field(0), "305419896");
}

}  // namespace
}  // namespace tolvanet::sim::testing

namespace tolvanet::sim::testing {
namespace {

// Every code with texts made of random fields: the register must answer each with a proper
// error code and data that fit one answer frame, whatever the fields hold.
TEST(RegisterRobustnessTest, ArbitraryFieldsNeverBreakTheRegister) {
  Register r("1");
  r.SetClock([] { return FromCivil({2020, 6, 1, 12, 0, 0}); });
  std::uint32_t x = 12345;
  auto next = [&x] {
    x = x * 1103515245u + 12345u;
    return x >> 16;
  };
  const std::vector<std::string> pieces = {"406172",
                                           "0",
                                           "1",
                                           "-1",
                                           "5",
                                           "20",
                                           "99",
                                           "999999999",
                                           "1.000",
                                           "4.50",
                                           "-5.00",
                                           "01",
                                           "FF",
                                           "C0A8000A",
                                           "8813",
                                           "010320",
                                           "1200",
                                           "",
                                           "x",
                                           std::string(60, '9'),
                                           std::string(48, 'A'),
                                           "SM000012345",
                                           "\x01\x03"};
  for (int code = 0; code < 256; ++code) {
    for (int round = 0; round < 40; ++round) {
      std::string text = "406172;";
      const int fields = static_cast<int>(next() % 7);
      for (int i = 0; i < fields; ++i)
        text += pieces[next() % pieces.size()] + ";";
      const Answer a = r.Execute(static_cast<std::uint8_t>(code), text);
      ASSERT_EQ(a.error_code.size(), 4u) << code << " " << text;
      ASSERT_LE(a.data.size(), 207u) << code << " " << text;
      for (std::uint8_t b : a.status)
        ASSERT_EQ(b & 0x80, 0x80);
    }
  }
}

}  // namespace
}  // namespace tolvanet::sim::testing
