// Header and advertising text: centring by characters, the "Параметры" cycle, and the
// commands each of the nine operations sends.
#include "settings/header_text.h"

#include <gtest/gtest.h>

#include "link/codepage.h"

namespace tolvanet {
namespace {

TEST(HeaderText, CentringCountsCharactersNotUtf8Bytes) {
  struct Case {
    std::string text;  // UTF-8
    int width;
    int blanks;
  } cases[] = {
      {"ABCDEFGHIJ", 40, 15},
      {"АБВГДЕЖЗИК", 40, 15},  // ten Cyrillic letters: ten characters
      {"  ABCDEFGHIJ   ", 40, 15},
      {"ABCDEFGHIJK", 40, 14},
      {std::string(40, 'X'), 40, 0},
      {std::string(45, 'X'), 40, 0},
      {"", 40, 20},
  };
  for (const auto& c : cases) {
    const std::string in = ToCp1251(c.text);
    std::string trimmed = in;
    trimmed.erase(0, trimmed.find_first_not_of(' ') == std::string::npos
                         ? trimmed.size()
                         : trimmed.find_first_not_of(' '));
    trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    EXPECT_EQ(CentreLine(in, c.width), std::string(c.blanks, ' ') + trimmed) << c.text;
  }
}

TEST(HeaderText, ParameterCellCycles) {
  LineWidth w = LineWidth::kSkip;
  std::vector<std::string_view> seen;
  for (int i = 0; i < 4; ++i) {
    seen.push_back(LineWidthText(w));
    w = NextLineWidth(w);
  }
  EXPECT_EQ(seen, (std::vector<std::string_view>{"не записывать", "одинарная ширина",
                                                 "двойная ширина", "не записывать"}));
}

// Header rows 0 (single), 1 (double, centred), 2 (skipped), 3 (single, empty); advertising
// row 0 (single), rows 1-3 skipped.
HeaderInputs Inputs(bool only_non_empty) {
  HeaderInputs in;
  in.header[0] = {"Shop", LineWidth::kSingle, false};
  in.header[1] = {" Title ", LineWidth::kDouble, true};
  in.header[2] = {"kept", LineWidth::kSkip, false};
  in.header[3] = {"", LineWidth::kSingle, false};
  in.advertising[0] = {"Thanks", LineWidth::kSingle, false};
  in.only_non_empty = only_non_empty;
  in.width = 10;
  return in;
}

std::string Describe(const std::vector<HeaderStep>& steps) {
  std::string out;
  for (const auto& s : steps) {
    out += (s.read ? "R" : "W") + std::to_string(s.line);
    if (!s.read)
      out += "[" + s.text + "|" + std::to_string(s.flag) + "]";
    out += " ";
  }
  return out;
}

TEST(HeaderText, OperationsSendTheirRowsInOrder) {
  std::string all_reads;
  for (int line = 0; line < 14; ++line)
    all_reads += "R" + std::to_string(line) + " ";
  struct Case {
    HeaderOperation op;
    bool only_non_empty;
    std::string want;
  } cases[] = {
      {HeaderOperation::kProgramAll, false, "W0[Shop|0] W1[  Title|1] W3[|0] W10[Thanks|0] "},
      {HeaderOperation::kProgramAll, true, "W0[Shop|0] W1[  Title|1] W10[Thanks|0] "},
      {HeaderOperation::kProgramHeader, false, "W0[Shop|0] W1[  Title|1] W3[|0] "},
      {HeaderOperation::kProgramAdvertising, false, "W10[Thanks|0] "},
      {HeaderOperation::kClearAll, false, "W0[|0] W1[|1] W3[|0] W10[|0] "},
      {HeaderOperation::kClearHeader, false, "W0[|0] W1[|1] W3[|0] "},
      {HeaderOperation::kClearAdvertising, false, "W10[|0] "},
      {HeaderOperation::kReadAll, false, all_reads},
      {HeaderOperation::kReadHeader, false, all_reads.substr(0, all_reads.find("R10"))},
      {HeaderOperation::kReadAdvertising, false, all_reads.substr(all_reads.find("R10"))},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Describe(PlanHeaderOperation(c.op, Inputs(c.only_non_empty))), c.want)
        << static_cast<int>(c.op);
  }
}

TEST(HeaderText, FailureHeadings) {
  HeaderStep header{false, false, 3, 3, "", 0};
  HeaderStep advertising{false, true, 1, 11, "", 0};
  HeaderStep read_advertising{true, true, 1, 11, "", 0};
  EXPECT_EQ(HeaderFailureHeading(header, HeaderOperation::kProgramAll),
            "Заголовок.\n  Строка 3 :\n  ");
  EXPECT_EQ(HeaderFailureHeading(advertising, HeaderOperation::kProgramAll),
            "Рекламный текст.\n  Строка 1 :\n  ");
  EXPECT_EQ(HeaderFailureHeading(advertising, HeaderOperation::kClearAdvertising),
            "Рекламный текст.\n  Строка 11 :\n  ");
  EXPECT_EQ(HeaderFailureHeading(read_advertising, HeaderOperation::kReadAll),
            "Рекламный текст.\n  Строка 11 :\n  ");
}

TEST(HeaderText, RefusedTextsAndReadWidths) {
  HeaderInputs in = Inputs(false);
  in.advertising[0].text = "a;b";
  const auto steps = PlanHeaderOperation(HeaderOperation::kProgramAll, in);
  const HeaderStep* bad = FirstRefusedText(steps);
  ASSERT_NE(bad, nullptr);
  EXPECT_EQ(bad->line, 10);
  EXPECT_EQ(FirstRefusedText(PlanHeaderOperation(HeaderOperation::kProgramHeader, in)), nullptr);

  EXPECT_EQ(WidthFromAnswer("0"), LineWidth::kSingle);
  EXPECT_EQ(WidthFromAnswer("1"), LineWidth::kDouble);
  EXPECT_EQ(WidthFromAnswer(""), std::nullopt);
  EXPECT_EQ(WidthFromAnswer("x"), std::nullopt);
}

}  // namespace
}  // namespace tolvanet
