// The receipt tape: documents the simulated register printed against the tapes they must give
// (text fixtures in data/tape/, one per case).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "link/codepage.h"
#include "link/ean13.h"
#include "sim/register.h"
#include "sim/tape.h"
#include "sim/tape_file.h"

namespace tolvanet::sim::testing {
namespace {

using Commands = std::vector<std::pair<int, std::string>>;

// A frozen clock: 10 December 2026, 10:30:15.
std::int64_t Frozen() {
  return FromCivil({2026, 12, 10, 10, 30, 15});
}

std::string FixturePath(const std::string& name) {
  return std::string(TOLVANET_SIM_TEST_DATA) + "/tape/" + name + ".txt";
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\n";
  return text;
}

// Runs the commands (UTF-8 texts, sent as Windows-1251), each of which must succeed.
void RunAll(Register& reg, const Commands& commands) {
  for (const auto& [code, text] : commands) {
    const Answer a = reg.Execute(static_cast<std::uint8_t>(code), ToCp1251(text));
    ASSERT_EQ(a.error_code, "0000") << code << " " << text;
  }
}

const Commands kArticles = {
    {36, "406172;1;Хліб білий;12.50;0;1;"},
    {36, "406172;2;Молоко 2,5%;34.00;1;1;"},
    {36, "406172;3;Сир твердий;89.90;0;1;"},
};

const Commands kSaleWithDiscountAndChange = {
    {99, "406172;1;1;0;"},          {100, "406172;1;2.000;12.50;"}, {104, "406172;-10.00;"},
    {100, "406172;2;1.000;34.00;"}, {103, "406172;0;100.00;"},      {101, "406172;1;"},
};

// A 20 x 6 logo: a frame with a dot in the middle.
void SetLogo(RegisterState& s) {
  s.logo_width = 20;
  s.logo_height = 6;
  const std::vector<std::uint8_t> rows = {
      0xFF, 0xFF, 0xF0,  // ####################
      0x80, 0x00, 0x10,  // #                  #
      0x80, 0x60, 0x10,  // #        ##        #
      0x80, 0x60, 0x10,  // #        ##        #
      0x80, 0x00, 0x10,  // #                  #
      0xFF, 0xFF, 0xF0,  // ####################
  };
  std::copy(rows.begin(), rows.end(), s.logo.begin());
}

struct Case {
  const char* name;
  std::function<void(RegisterState&)> setup;  // settings not reachable by command
  Commands commands;                          // after the articles
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"sale_discount_change", nullptr, kSaleWithDiscountAndChange},
      {"card_payment",
       nullptr,
       {{99, "406172;1;1;0;"},
        {100, "406172;3;1.000;89.90;"},
        {103, "406172;0;10.00;"},
        {120, "406172;1;79.90;RRN 612345678901;"},
        {97, "406172;КАРТКА **** 1234;"},
        {97, "406172;КОД АВТ. 0A1B2C;"},
        {101, "406172;1;"}}},
      {"return_receipt",
       nullptr,
       {{99, "406172;1;1;0;"},
        {100, "406172;3;2.000;89.90;"},
        {103, "406172;0;200.00;"},
        {101, "406172;1;"},
        {99, "406172;1;1;1;"},
        {100, "406172;3;1.000;89.90;"},
        {103, "406172;0;89.90;"},
        {101, "406172;1;"}}},
      {"voided_receipt",
       nullptr,
       {{99, "406172;1;1;0;"}, {100, "406172;1;1.000;12.50;"}, {107, "406172;0;"}}},
      {"voided_line",
       nullptr,
       {{99, "406172;1;1;0;"},
        {100, "406172;1;1.000;12.50;"},
        {100, "406172;2;1.000;34.00;"},
        {107, "406172;1;"},
        {100, "406172;1;1.000;12.50;"},
        {107, "406172;2;"},
        {103, "406172;0;34.00;"},
        {101, "406172;1;"}}},
      {"non_fiscal",
       nullptr,
       {{96, "406172;"},
        {97, "406172;Текст \x01 з керуючим байтом;"},
        {111, "406172;50;" + Ean13ImageHex("482000012345") + ";"},
        {101, "406172;0;"}}},
      {"cash_in", nullptr, {{99, "406172;1;1;2;"}, {119, "406172;0;500.00;"}, {101, "406172;0;"}}},
      {"x_report", nullptr,
       [] {
         Commands c = kSaleWithDiscountAndChange;
         c.push_back({161, "406172;1;"});
         return c;
       }()},
      {"z_report",
       [](RegisterState& s) {
         s.fiscalized = true;
         s.fiscal_number = "3000123456";
         s.tax_number = "123456789012";
       },
       [] {
         Commands c = kSaleWithDiscountAndChange;
         c.push_back({161, "406172;0;"});
         return c;
       }()},
      {"header_57mm",
       [](RegisterState& s) {
         s.fiscalized = true;
         s.fiscal_number = "3000123456";
         s.tax_id = "1234567890";
         s.tax_number = "123456789012";
       },
       {{34, "406172;0;               МАГАЗИН;0;"},
        {34, "406172;1;ТОВ \"ДУЖЕ ДОВГА НАЗВА ПІДПРИЄМСТВА\";0;"},
        {34, "406172;2;ЛАСКАВО ПРОСИМО;1;"},
        {39, "406172;0;0;0000;40;32;32;25;"},
        {99, "406172;1;1;0;"},
        {100, "406172;2;3.000;34.00;"},
        {103, "406172;0;102.00;"},
        {101, "406172;1;"}}},
      {"code_quantity_flags",
       nullptr,
       {{39, "406172;0;0;E101;00;32;32;25;"},
        {99, "406172;1;1;0;"},
        {100, "406172;1;1.000;12.50;"},
        {100, "406172;2;0.500;34.00;"},
        {103, "406172;0;29.50;"},
        {101, "406172;1;"}}},
      {"logo",
       SetLogo,
       {{39, "406172;0;0;0400;40;32;32;25;"},
        {99, "406172;1;1;0;"},
        {100, "406172;1;1.000;12.50;"},
        {103, "406172;0;12.50;"},
        {101, "406172;1;"}}},
      {"long_name",
       nullptr,
       {{36,
         "406172;4;Ковбаса варена \"Лікарська\" вищого ґатунку, нарізка у вакуумній "
         "упаковці;150.00;0;1;"},
        {39, "406172;0;0;0000;10;32;32;20;"},
        {99, "406172;1;1;0;"},
        {100, "406172;4;1.000;150.00;"},
        {103, "406172;0;150.00;"},
        {101, "406172;1;"}}},
  };
  return cases;
}

TEST(TapeTest, DocumentsPrintAsTheirFixtures) {
  const bool update = std::getenv("TOLVANET_UPDATE_TAPES") != nullptr;
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    Register reg("1");
    reg.SetClock(Frozen);
    if (c.setup)
      reg.ChangeState(c.setup);
    RunAll(reg, kArticles);
    RunAll(reg, c.commands);
    const std::vector<PrintedDocument> docs = reg.printed();
    ASSERT_FALSE(docs.empty());
    const PrintedDocument& doc = docs.back();
    ASSERT_TRUE(doc.closed);
    for (const std::string& line : doc.tape)
      EXPECT_LE(TextWidth(line), static_cast<std::size_t>(doc.tape_width)) << line;
    const std::string tape = Joined(doc.tape);
    if (update) {
      std::ofstream(FixturePath(c.name), std::ios::binary) << tape;
      continue;
    }
    std::ifstream in(FixturePath(c.name), std::ios::binary);
    ASSERT_TRUE(in) << FixturePath(c.name);
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(tape, expected.str());
  }
}

TEST(TapeTest, WidthFollowsPaperAndFont) {
  struct Row {
    std::uint8_t flags;
    int width;
  };
  for (const Row& r : {Row{0x00, 40}, Row{0x40, 32}, Row{0x10, 48}, Row{0x50, 42},
                       Row{0x2F, 40}}) {  // the other flags leave it alone
    EXPECT_EQ(TapeWidth(r.flags), r.width) << int(r.flags);
  }
}

TEST(TapeTest, ControlBytesBecomeVisiblePlaceholders) {
  EXPECT_EQ(ShownText(std::string("A\x01"
                                  "B\x1B\x7F",
                                  5)),
            "A␁B␛␡");
  EXPECT_EQ(ShownText(std::string("\0", 1)), "␀");
  EXPECT_EQ(ShownText(ToCp1251("Ґанок ї")), "Ґанок ї");
}

// The taxes on the tape are the register's own sums: those the shift adds up for its reports.
TEST(TapeTest, ReceiptTaxesAreTheShiftsTotals) {
  Register reg("1");
  reg.SetClock(Frozen);
  RunAll(reg, kArticles);
  RunAll(reg, kSaleWithDiscountAndChange);
  RunAll(reg, {{99, "406172;1;1;0;"},
               {100, "406172;3;1.000;89.90;"},
               {115, "406172;-5.00;"},  // on the subtotal: shared between the groups
               {103, "406172;1;85.40;"},
               {101, "406172;1;"}});
  const std::vector<PrintedDocument> docs = reg.printed();
  ASSERT_EQ(docs.size(), 2u);
  const Shift shift = reg.State().shift;
  for (std::size_t g = 0; g < static_cast<std::size_t>(kTaxGroups); ++g) {
    EXPECT_EQ(shift.sales_groups.tax[g], docs[0].taxes.tax[g] + docs[1].taxes.tax[g]) << g;
  }
  // 22.50 at 20 % included: 3.75; 34.00 at 7 %: 2.22 (2.2243 rounded); 85.40 at 20 %: 14.23.
  EXPECT_EQ(docs[0].taxes.tax[0], 375);
  EXPECT_EQ(docs[0].taxes.tax[1], 222);
  EXPECT_EQ(docs[1].taxes.turnover[0], 8540);
  EXPECT_EQ(docs[1].taxes.tax[0], 1423);
  EXPECT_EQ(shift.sales_payments[0], 10000 - 4350);  // cash net of the change
  EXPECT_EQ(shift.sales_payments[1], 8540);
}

// An added tax is charged on the sum, an included one taken out of it; both round half away
// from zero.
TEST(TapeTest, IncludedAndAddedTaxes) {
  struct Row {
    int type;
    const char* rate;
    const char* price;
    std::int64_t tax;
  };
  for (const Row& r : {Row{1, "20.00", "0.03", 1},    // 0.005 -> 0.01
                       Row{2, "20.00", "0.03", 1},    // 0.006 -> 0.01
                       Row{2, "5.00", "0.10", 1},     // 0.005 -> 0.01
                       Row{1, "5.00", "0.21", 1},     // 0.01
                       Row{3, "20.00", "100.00", 0},  // exempt
                       Row{2, "7.50", "200.00", 1500}}) {
    SCOPED_TRACE(std::to_string(r.type) + " " + r.rate + " " + r.price);
    Register reg("1");
    reg.SetClock(Frozen);
    reg.ChangeState([&](RegisterState& s) {
      s.taxes[0].type = r.type;
      s.taxes[0].rate = r.rate;
    });
    RunAll(reg, {{36, std::string("406172;9;Товар;") + r.price + ";0;1;"},
                 {99, "406172;1;1;0;"},
                 {100, std::string("406172;9;1.000;") + r.price + ";"},
                 {103, std::string("406172;0;") + r.price + ";"},
                 {101, "406172;1;"}});
    EXPECT_EQ(reg.printed().back().taxes.tax[0], r.tax);
  }
}

// The logo goes on the tape as block characters, and with each document as the picture it is:
// one picture for the documents that printed the same logo.
TEST(TapeTest, LogoIsKeptAsItsPicture) {
  Register reg("1");
  reg.SetClock(Frozen);
  reg.ChangeState(SetLogo);
  RunAll(reg, kArticles);
  const Commands sale = {{99, "406172;1;1;0;"},
                         {100, "406172;1;1.000;12.50;"},
                         {103, "406172;0;12.50;"},
                         {101, "406172;1;"}};
  RunAll(reg, sale);  // the logo is not printed yet
  RunAll(reg, {{39, "406172;0;0;0400;40;32;32;25;"}});
  RunAll(reg, sale);
  RunAll(reg, sale);
  reg.ChangeState([](RegisterState& s) { s.logo[0] = 0x0F; });
  RunAll(reg, sale);

  const std::vector<PrintedDocument> docs = reg.printed();
  ASSERT_EQ(docs.size(), 4u);
  EXPECT_EQ(docs[0].logo_lines, 0u);
  EXPECT_EQ(docs[0].logo, nullptr);
  const PrintedDocument& doc = docs[1];
  ASSERT_NE(doc.logo, nullptr);
  EXPECT_EQ(doc.logo_first, 0u);
  EXPECT_EQ(doc.logo_lines, 3u);  // six rows, two per line
  EXPECT_EQ(doc.tape[2], "      █▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄█");
  EXPECT_EQ(doc.logo->width, 20);
  EXPECT_EQ(doc.logo->height, 6);
  ASSERT_EQ(doc.logo->bits.size(), 18u);
  EXPECT_EQ(doc.logo->bits[7], 0x60);
  EXPECT_EQ(docs[2].logo, doc.logo);  // the same picture, not a copy
  ASSERT_NE(docs[3].logo, nullptr);
  EXPECT_NE(docs[3].logo, doc.logo);
  EXPECT_EQ(docs[3].logo->bits[0], 0x0F);
}

TEST(TapeTest, RecordKeepsItsBound) {
  Register reg("1");
  reg.SetClock(Frozen);
  for (std::size_t i = 0; i < Register::kMaxPrintedDocuments + 1; ++i)
    reg.Execute(111, "406172;50;" + Ean13ImageHex("482000012345") + ";");
  const std::size_t kept = reg.printed().size();
  EXPECT_LE(kept, Register::kMaxPrintedDocuments);
  EXPECT_GT(kept, 0u);
}

// The tape file: appended as documents finish, a blank line and a cut line between them, the
// ID_DEV before each with several registers, and the documents already there kept.
TEST(TapeTest, FileAppendsEveryDocumentWithCutLines) {
  const std::string path = ::testing::TempDir() + "tape_file_test.txt";
  std::remove(path.c_str());
  std::string first_run;
  {
    TapeFile file;
    ASSERT_TRUE(file.Open(path));
    Register reg("1");
    reg.SetClock(Frozen);
    file.Attach(reg);
    RunAll(reg, {{96, "406172;"}, {97, "406172;один;"}, {101, "406172;0;"}});
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    first_run = text.str();
    EXPECT_EQ(first_run, Joined(reg.printed().back().tape));  // flushed at once
    reg.SetPrintSink({});
  }
  TapeFile file;
  ASSERT_TRUE(file.Open(path));
  file.SetNameRegisters(true);
  Register reg("REG2");
  reg.SetClock(Frozen);
  file.Attach(reg);
  RunAll(reg, {{96, "406172;"}, {97, "406172;два;"}, {101, "406172;0;"}});
  reg.SetPrintSink({});
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            first_run + "\n" + CutLine(40) + "\nID_DEV REG2\n" + Joined(reg.printed().back().tape));
  std::remove(path.c_str());
}

TEST(TapeTest, FileThatCannotBeOpenedSaysWhy) {
  TapeFile file;
  EXPECT_FALSE(file.Open("/nonexistent-folder/tape.txt"));
  EXPECT_NE(file.error_text().find("/nonexistent-folder/tape.txt"), std::string::npos);
}

}  // namespace
}  // namespace tolvanet::sim::testing
