// Block transfers of the simulated register: fiscal (flash) memory, firmware and logo.
#include "link/hex.h"
#include "sim_fixture.h"

namespace tolvanet::sim::testing {
namespace {

class MemoryTest : public SimTest {};

TEST_F(MemoryTest, FlashReadWriteEraseRoundTrip) {
  reg_->ChangeState([](RegisterState& s) { s.flash = FlashMemory(120); });
  std::string pattern;
  for (int i = 0; i < 120; ++i)
    pattern += static_cast<char>(i * 7 + 3);

  // Written in blocks of 50, 50 and 20 bytes as the fiscal-memory dialog does.
  for (std::size_t at = 0; at < pattern.size(); at += 50) {
    const std::string block = pattern.substr(at, 50);
    const std::string text = "406172;" + std::to_string(at) + ";" + std::to_string(block.size()) +
                             ";" + HexEncode(block) + ";";
    ASSERT_EQ(Code(242, text), "0000") << at;
  }
  std::string read;
  std::vector<std::string> counts;
  for (std::size_t at = 0;; at += 50) {
    ReplyRecord& r = Run(241, "406172;" + std::to_string(at) + ";");
    ASSERT_EQ(r.error_code, "0000");
    counts.push_back(r.Field(0));
    auto bytes = HexDecode(r.Field(1));
    ASSERT_TRUE(bytes.has_value());
    read += *bytes;
    if (std::stoi(r.Field(0)) < 50)
      break;  // the memory ends
  }
  EXPECT_EQ(read, pattern);
  EXPECT_EQ(counts, (std::vector<std::string>{"50", "50", "20"}));
  EXPECT_EQ(Run(241, "406172;120;").answer_copy, "0;");

  const std::vector<std::pair<std::string, std::string>> refused = {
      {"406172;100;21;" + std::string(42, 'A') + ";", "0204"},  // past the end
      {"406172;0;51;" + std::string(102, 'A') + ";", "0204"},   // more than a block
      {"406172;0;2;ABC;", "0303"},                              // odd digit count
      {"406172;0;2;ABCG;", "0303"},
      {"406172;120;1;00;", "0104"},
  };
  for (const auto& [text, error] : refused)
    EXPECT_EQ(Code(242, text), error) << text;

  ASSERT_EQ(Code(240, "406172;"), "0000");
  EXPECT_EQ(reg_->State().flash.Bytes(), std::vector<std::uint8_t>(120, 0xFF));
}

TEST_F(MemoryTest, FirmwarePacketsDecodeBackToTheImage) {
  reg_->ChangeState([](RegisterState& s) { s.firmware_size = 3000; });
  ReplyRecord& src = Run(231, "406172;5;;;");
  ASSERT_EQ(src.error_code, "0000");
  EXPECT_EQ(src.Field(0), "3000");

  std::string image;
  int expected = 0;
  while (true) {
    ReplyRecord& r = Run(232, "406172;");
    ASSERT_EQ(r.error_code, "0000");
    ASSERT_EQ(r.Field(0), std::to_string(expected));
    if (r.field_count < 2 || r.Field(1).empty())
      break;
    image += Unescape(r.Field(1));
    ++expected;
    ASSERT_LT(expected, 200);
  }
  const std::vector<std::uint8_t> want = reg_->FirmwareImage();
  EXPECT_EQ(image, std::string(want.begin(), want.end()));
  EXPECT_GT(expected, 10);  // many packets, each within one answer

  // A new selection starts over at packet 0.
  Run(231, "406172;5;;;");
  EXPECT_EQ(Run(232, "406172;").Field(0), "0");
}

TEST_F(MemoryTest, LogoChunksAndSizeWithinTheLimits) {
  const std::string chunk = "FFFF0000" + std::string(40, '0');
  EXPECT_EQ(Code(41, "406172;0;" + chunk + ";"), "0000");
  EXPECT_EQ(Code(41, "406172;199;" + chunk + ";"), "0000");  // 4800 / 24 chunks
  EXPECT_EQ(Code(41, "406172;200;" + chunk + ";"), "0104");
  EXPECT_EQ(Code(41, "406172;1;" + chunk.substr(2) + ";"), "0203");
  EXPECT_EQ(Code(49, "406172;16;2;"), "0000");
  EXPECT_EQ(Code(49, "406172;384;100;"), "0000");
  EXPECT_EQ(Code(49, "406172;384;101;"), "0204");
  EXPECT_EQ(Code(49, "406172;385;1;"), "0104");
  const RegisterState s = reg_->State();
  EXPECT_EQ(s.logo[0], 0xFF);
  EXPECT_EQ(s.logo[2], 0x00);
  EXPECT_EQ(s.logo_width, 384);
}

}  // namespace
}  // namespace tolvanet::sim::testing
