// The EAN-13 check digit and the 128-module image of PrintEAN13Code.
//
// The expectations are built here from the standard's code tables (ISO/IEC 15420) written out
// by hand, not from the code under test.
#include "link/ean13.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace tolvanet {
namespace {

// Number set A (L), number set B (G) and number set C (R), digits 0..9, module 1 = bar.
const char* const kL[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                            "0110001", "0101111", "0111011", "0110111", "0001011"};
const char* const kG[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                            "0111001", "0000101", "0010001", "0001001", "0010111"};
const char* const kR[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                            "1001110", "1010000", "1000100", "1001000", "1110100"};
// Number sets of digits 2..7 by the first (implied) digit.
const char* const kParity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                 "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};

const std::string kQuietLeft(9, '0');
const std::string kQuietRight(24, '0');

// The expected 128-module row of a complete 13-digit EAN.
std::string Expected(const std::string& ean13) {
  std::string row = kQuietLeft + "101";
  const int first = ean13[0] - '0';
  for (int k = 0; k < 6; ++k) {
    const int d = ean13[1 + k] - '0';
    row += kParity[first][k] == 'L' ? kL[d] : kG[d];
  }
  row += "01010";
  for (int k = 0; k < 6; ++k)
    row += kR[ean13[7 + k] - '0'];
  row += "101" + kQuietRight;
  return row;
}

std::string ToHex(const std::string& modules) {
  std::string out;
  for (std::size_t j = 0; j < modules.size(); j += 4) {
    out += "0123456789ABCDEF"[std::stoi(modules.substr(j, 4), nullptr, 2)];
  }
  return out;
}

TEST(Ean13, CheckDigitOfRealBarcodes) {
  EXPECT_EQ(Ean13CheckDigit("400638133393"), 1);
  EXPECT_EQ(Ean13CheckDigit("590123412345"), 7);
  EXPECT_EQ(Ean13CheckDigit("978020137962"), 4);
  EXPECT_EQ(Ean13CheckDigit("978316148410"), 0);  // 9783161484100: weighted sum 100
  EXPECT_EQ(Ean13CheckDigit("000000000000"), 0);
  EXPECT_EQ(Ean13CheckDigit("000000000001"), 7);  // 3 -> 7
  EXPECT_EQ(Ean13CheckDigit("100000000000"), 9);  // 1 -> 9
}

TEST(Ean13, CheckDigitRefusesWhatIsNotTwelveDigits) {
  EXPECT_EQ(Ean13CheckDigit("40063813339"), -1);
  EXPECT_EQ(Ean13CheckDigit("4006381333931"), -1);
  EXPECT_EQ(Ean13CheckDigit("40063813339A"), -1);
  EXPECT_EQ(Ean13CheckDigit(""), -1);
  EXPECT_EQ(Ean13ImageHex("12345"), "");
}

TEST(Ean13, LiteralModuleRowOf4006381333931) {
  // First digit 4: L G L L G G.
  const std::string expected = kQuietLeft + "101" +
                               "0001101"  // 0 L
                               "0100111"  // 0 G
                               "0101111"  // 6 L
                               "0111101"  // 3 L
                               "0001001"  // 8 G
                               "0110011"  // 1 G
                               "01010"    // centre guard
                               "1000010"  // 3 R
                               "1000010"  // 3 R
                               "1000010"  // 3 R
                               "1110100"  // 9 R
                               "1000010"  // 3 R
                               "1100110"  // 1 R (the check digit)
                               "101" +
                               kQuietRight;
  ASSERT_EQ(expected.size(), 128u);
  EXPECT_EQ(Ean13ModuleString("400638133393"), expected);
  EXPECT_EQ(Ean13ImageHex("400638133393"), "0051A9D7BD12CD50A142E90B35000000");
}

struct EanCase {
  const char* ean13;
  const char* hex;
};

void PrintTo(const EanCase& c, std::ostream* os) {
  *os << c.ean13;
}

class Ean13Image : public ::testing::TestWithParam<EanCase> {};

TEST_P(Ean13Image, MatchesTheStandardTables) {
  const std::string ean13 = GetParam().ean13;
  const std::string twelve = ean13.substr(0, 12);
  const std::string modules = Expected(ean13);
  ASSERT_EQ(modules.size(), 128u);
  EXPECT_EQ(Ean13ModuleString(twelve), modules);
  EXPECT_EQ(Ean13ImageHex(twelve), ToHex(modules));
  EXPECT_EQ(Ean13ImageHex(twelve), GetParam().hex);
  EXPECT_EQ(Ean13ImageHex(twelve).size(), 32u);
}

TEST_P(Ean13Image, HasTheFixedGuardsAndQuietZones) {
  const std::string m = Ean13ModuleString(std::string(GetParam().ean13).substr(0, 12));
  EXPECT_EQ(m.substr(0, 9), std::string(9, '0'));
  EXPECT_EQ(m.substr(9, 3), "101");
  EXPECT_EQ(m.substr(54, 5), "01010");
  EXPECT_EQ(m.substr(101, 3), "101");
  EXPECT_EQ(m.substr(104), std::string(24, '0'));
}

INSTANTIATE_TEST_SUITE_P(
    Ean, Ean13Image,
    ::testing::Values(EanCase{"4006381333931", "0051A9D7BD12CD50A142E90B35000000"},
                      EanCase{"5901234123457", "005169D9937A7559B642B93A25000000"},
                      EanCase{"9780201379624", "00576253934E6550A274A1B2E5000000"},
                      EanCase{"0000000000000", "0051A3468D1A355CB972E5CB95000000"}),
    [](const ::testing::TestParamInfo<EanCase>& info) { return std::string(info.param.ean13); });

TEST(Ean13, EveryFirstDigitUsesItsParityPattern) {
  // Twelve digits that differ only in the first one exercise all ten parity rows.
  for (char first = '0'; first <= '9'; ++first) {
    std::string twelve = std::string(1, first) + "12345678901";
    const int check = Ean13CheckDigit(twelve);
    ASSERT_GE(check, 0);
    const std::string ean13 = twelve + static_cast<char>('0' + check);
    EXPECT_EQ(Ean13ModuleString(twelve), Expected(ean13)) << ean13;
  }
}

}  // namespace
}  // namespace tolvanet
