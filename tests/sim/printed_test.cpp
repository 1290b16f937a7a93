// The simulated register's printed-document record: what each document put on paper.
#include "link/codepage.h"
#include "sim_fixture.h"

namespace tolvanet::sim::testing {
namespace {

using Kind = PrintedLine::Kind;

class PrintedTest : public SimTest {
 protected:
  void Ok(int code, std::string_view text) { EXPECT_EQ(Code(code, text), "0000") << text; }
};

TEST_F(PrintedTest, DocumentsKeepTheirLinesInOrder) {
  Ok(36, ToCp1251("406172;123;Хліб;4.50;1;2;"));
  Ok(99, "406172;1;1;0;");
  Ok(97, "406172;Comment;");
  Ok(100, "406172;123;2.000;4.50;");
  EXPECT_EQ(Code(97, "406172;" + std::string(60, 'x') + ";"), "0104");  // refused: not printed
  Ok(103, "406172;0;10.00;");
  Ok(101, "406172;1;");
  Ok(96, "406172;");
  Ok(97, "406172;free text;");
  Ok(111, "406172;50;" + std::string(32, 'A') + ";");
  Ok(101, "406172;0;");
  Ok(111, "406172;50;" + std::string(32, 'B') + ";");  // no document open

  const std::vector<PrintedDocument> docs = reg_->printed();
  ASSERT_EQ(docs.size(), 3u);
  EXPECT_EQ(docs[0].kind, DocKind::kSale);
  EXPECT_EQ(docs[0].number, 1);
  EXPECT_TRUE(docs[0].closed);
  EXPECT_EQ(docs[0].lines, (std::vector<PrintedLine>{{Kind::kText, "Comment"},
                                                     {Kind::kSale, "123;2.000;4.50;"},
                                                     {Kind::kPayment, "0;10.00;"}}));
  EXPECT_EQ(docs[1].kind, DocKind::kNonFiscal);
  EXPECT_EQ(docs[1].lines,
            (std::vector<PrintedLine>{{Kind::kText, "free text"},
                                      {Kind::kBarcode, "50;" + std::string(32, 'A') + ";"}}));
  EXPECT_EQ(docs[2].number, 0);
  EXPECT_EQ(docs[2].lines.size(), 1u);

  reg_->ClearPrinted();
  Ok(99, "406172;1;1;0;");
  Ok(107, "406172;0;");
  ASSERT_EQ(reg_->printed().size(), 1u);
  EXPECT_TRUE(reg_->printed()[0].cancelled);
}

}  // namespace
}  // namespace tolvanet::sim::testing
