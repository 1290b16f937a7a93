// The logo bit stream, BMP reading and logo programming against the simulated register.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/commands.h"
#include "link/hex.h"
#include "tests/transfer/transfer_fixture.h"

namespace tolvanet::transfer {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uint32_t kBlack = 0x000000;

// A picture of `width` x `height` filled with `colour`.
Picture Filled(int width, int height, std::uint32_t colour) {
  return Picture{width, height,
                 std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), colour)};
}

TEST(LogoBitStreamTest, PixelsToBits) {
  Picture two_rows = Filled(16, 2, kWhite);
  for (int x = 0; x < 16; ++x)
    two_rows.pixels[static_cast<std::size_t>(x)] = kBlack;
  Picture near_white = Filled(8, 1, kWhite);
  near_white.pixels[0] = 0xFFFFFE;
  near_white.pixels[7] = 0xFEFFFF;
  Picture dot = Filled(9, 2, kWhite);
  dot.pixels[9 + 8] = 0x123456;

  struct Case {
    const char* what;
    Picture picture;
    int width, height;
    std::string hex;
  };
  const Case cases[] = {
      {"16x2, black row over white row", two_rows, 16, 2, "FFFF0000"},
      {"10-pixel black row", Filled(10, 1, kBlack), 10, 1, "FFC0"},
      {"near white is printed", near_white, 8, 1, "81"},
      {"rows start on a byte", dot, 9, 2, "00000080"},
      {"cropped", Filled(20, 5, kBlack), 4, 1, "F0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HexEncode(LogoBitStream(c.picture, c.width, c.height)), c.hex) << c.what;
}

TEST(LogoBitStreamTest, ChunksOf24Bytes) {
  EXPECT_THAT(LogoChunks(std::string("\xFF\xFF\x00\x00", 4)),
              ElementsAre("FFFF0000" + std::string(40, '0')));
  EXPECT_THAT(LogoChunks(std::string(24, '\x11')), ElementsAre(std::string(48, '1')));
  EXPECT_THAT(LogoChunks(std::string(25, '\x11')),
              ElementsAre(std::string(48, '1'), "11" + std::string(46, '0')));
  EXPECT_THAT(LogoChunks(""), IsEmpty());
}

TEST(LogoLimitsTest, FromTheDiagnosticAnswer) {
  struct Case {
    std::string field6, field7;
    int width, height;
  };
  const Case cases[] = {
      {"4800", "384", 384, 100}, {"4800", "0", 0, 0},  // no division by zero: unknown
      {"4800", "", 0, 0},        {"4800", "38x", 0, 0},
      {"", "384", 0, 0},         {"10", "384", 384, 0},  // not one row: unknown
  };
  for (const Case& c : cases) {
    ReplyRecord reply;
    reply.fields[6] = c.field6;
    reply.fields[7] = c.field7;
    reply.field_count = 8;
    const LogoLimits limits = LogoLimitsFrom(reply);
    EXPECT_EQ(limits.max_width, c.width) << c.field6 << " " << c.field7;
    EXPECT_EQ(limits.known(), c.height > 0);
    if (c.height > 0) {
      EXPECT_EQ(limits.max_height, c.height);
      EXPECT_EQ(limits.memory_bytes, 4800);
    }
  }
}

// A BMP of `bits` per pixel, written here byte by byte: 3 x 2 pixels, top row black, white,
// black; bottom row white; palette (when there is one) black, white.
std::string SmallBmp(int bits, bool top_down) {
  const int width = 3, height = 2;
  const int stride = (width * bits + 31) / 32 * 4;
  const int colours = bits <= 8 ? 2 : 0;
  const int offset = 14 + 40 + colours * 4;
  std::string b;
  auto u16 = [&](int v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>((v >> 8) & 0xFF);
  };
  auto u32 = [&](std::int64_t v) {
    u16(static_cast<int>(v & 0xFFFF));
    u16(static_cast<int>((v >> 16) & 0xFFFF));
  };
  b += "BM";
  u32(offset + stride * height);
  u32(0);
  u32(offset);
  u32(40);
  u32(width);
  u32(top_down ? -height : height);
  u16(1);
  u16(bits);
  u32(0);
  u32(stride * height);
  u32(2835);
  u32(2835);
  u32(colours);
  u32(0);
  if (colours) {
    u32(0x000000);
    u32(0xFFFFFF);
  }
  const bool black[2][3] = {{true, false, true}, {false, false, false}};
  for (int file_row = 0; file_row < height; ++file_row) {
    const int y = top_down ? file_row : height - 1 - file_row;
    std::string row(static_cast<std::size_t>(stride), '\0');
    for (int x = 0; x < width; ++x) {
      if (bits <= 8) {
        const int bit = x * bits;
        if (!black[y][x])  // palette index 1: white
          row[static_cast<std::size_t>(bit / 8)] |= static_cast<char>(1 << (8 - bits - bit % 8));
      } else {
        for (int i = 0; i < bits / 8; ++i)
          row[static_cast<std::size_t>(x * bits / 8 + i)] = black[y][x] ? '\0' : '\xFF';
      }
    }
    b += row;
  }
  return b;
}

TEST(BmpTest, DepthsAndRowOrders) {
  for (int bits : {1, 4, 8, 24, 32}) {
    for (bool top_down : {false, true}) {
      SCOPED_TRACE(std::to_string(bits) + (top_down ? " top-down" : " bottom-up"));
      std::string error;
      const auto picture = ParseBmp(SmallBmp(bits, top_down), &error);
      ASSERT_TRUE(picture) << error;
      EXPECT_EQ(picture->width, 3);
      EXPECT_EQ(picture->height, 2);
      EXPECT_THAT(picture->pixels, ElementsAre(kBlack, kWhite, kBlack, kWhite, kWhite, kWhite));
    }
  }
}

// Damaged or unsupported files are refused with a reason, never read past their end.
TEST(BmpTest, BadFilesAreRefused) {
  const std::string good = SmallBmp(8, false);
  auto with = [&](std::size_t at, std::string bytes) {
    std::string b = good;
    b.replace(at, bytes.size(), bytes);
    return b;
  };
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"not BMP", "PNG" + good.substr(3)},
      {"cut in the pixels", good.substr(0, good.size() - 1)},
      {"cut in the header", good.substr(0, 20)},
      {"data offset beyond the end", with(10, std::string("\xFF\xFF\x00\x00", 4))},
      {"huge width", with(18, std::string("\xFF\xFF\xFF\x7F", 4))},
      {"zero height", with(22, std::string(4, '\0'))},
      {"run-length compressed", with(30, std::string("\x01\x00\x00\x00", 4))},
      {"palette larger than the depth allows", with(46, std::string("\x01\x01\x00\x00", 4))},
      {"index beyond a short palette", with(46, std::string("\x01\x00\x00\x00", 4))},
      {"12 bits per pixel", with(28, std::string("\x0C\x00", 2))},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseBmp(c.bytes, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

class LogoTest : public testing::TransferTest {
 protected:
  LogoLimits Limits() { return LogoLimits{384, 100, 4800}; }
};

TEST_F(LogoTest, SixteenByTwoPicture) {
  const auto limits = transfer_.ReadLogoLimits("406172");
  ASSERT_TRUE(limits);
  EXPECT_EQ(limits->max_width, 384);
  EXPECT_EQ(limits->max_height, 4800 * 8 / 384);

  Picture picture = Filled(16, 2, kWhite);
  for (int x = 0; x < 16; ++x)
    picture.pixels[static_cast<std::size_t>(x)] = kBlack;
  const TransferResult r = transfer_.ProgramLogo("406172", picture, 16, 2, *limits);
  EXPECT_EQ(r.outcome, Outcome::kDone);
  EXPECT_THAT(Texts(cmd::kSetUserLogo),
              ElementsAre("406172;0;FFFF0000" + std::string(40, '0') + ";"));
  EXPECT_THAT(Texts(cmd::kSetLogoParams), ElementsAre("406172;16;2;"));
  EXPECT_THAT(host_.messages, ElementsAre("Успешно!"));
  const sim::RegisterState state = reg_->State();
  EXPECT_EQ(state.logo_width, 16);
  EXPECT_EQ(state.logo_height, 2);
  EXPECT_EQ(state.logo[0], 0xFF);
  EXPECT_EQ(state.logo[2], 0x00);
}

// The largest height is what the memory holds at the largest width; a narrower logo may be
// taller, as long as the memory holds its rows.
TEST_F(LogoTest, NarrowerLogoMayHaveMoreRows) {
  const auto limits = transfer_.ReadLogoLimits("406172");
  ASSERT_TRUE(limits);
  ASSERT_EQ(limits->max_width, 384);
  ASSERT_EQ(limits->max_height, 100);
  struct Case {
    int width, height;
    Outcome outcome;
  };
  const Case cases[] = {
      {192, 200, Outcome::kDone},   {192, 201, Outcome::kRefused},
      {8, 4800, Outcome::kDone},    {9, 2401, Outcome::kRefused},  // 9 pixels take 2 bytes
      {385, 10, Outcome::kRefused}, {384, 101, Outcome::kRefused},
  };
  const Picture picture = Filled(400, 5000, kBlack);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    reg_->ClearRequests();
    EXPECT_EQ(transfer_.ProgramLogo("406172", picture, c.width, c.height, *limits).outcome,
              c.outcome);
    if (c.outcome == Outcome::kDone) {
      EXPECT_THAT(Texts(cmd::kSetLogoParams), ElementsAre("406172;" + std::to_string(c.width) +
                                                          ";" + std::to_string(c.height) + ";"));
      EXPECT_EQ(reg_->State().logo_height, c.height);
    } else {
      EXPECT_THAT(Codes(), IsEmpty());
    }
  }
}

TEST_F(LogoTest, ProgressCountsChunks) {
  // 200 x 3: 25 bytes a row, 75 bytes, four chunks.
  const TransferResult r =
      transfer_.ProgramLogo("406172", Filled(200, 3, kBlack), 200, 3, Limits());
  EXPECT_EQ(r.outcome, Outcome::kDone);
  EXPECT_EQ(Texts(cmd::kSetUserLogo).size(), 4u);
  ASSERT_FALSE(host_.progress.empty());
  EXPECT_EQ(host_.progress.back().done, 4);
  EXPECT_EQ(host_.progress.back().total, 4);
}

TEST_F(LogoTest, SizesOutOfRangeSendNothing) {
  const Picture picture = Filled(50, 40, kBlack);
  struct Case {
    int width, height;
    LogoLimits limits;
  };
  const Case cases[] = {
      {0, 10, Limits()},
      {51, 10, Limits()},
      {10, 0, Limits()},
      {10, 41, Limits()},
      {-5, 10, Limits()},
      {33, 10, LogoLimits{32, 100, 400}},
      {48, 21, LogoLimits{48, 20, 120}},  // 6 bytes a row: 20 rows fill the memory
      {41, 21, LogoLimits{48, 20, 120}},  // rows take whole bytes: 41 pixels take 6
      {24, 41, LogoLimits{48, 20, 120}},  // 3 bytes a row: 40 rows, and the picture has 40
      {10, 10, LogoLimits{}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(transfer_.ProgramLogo("406172", picture, c.width, c.height, c.limits).outcome,
              Outcome::kRefused)
        << c.width << "x" << c.height;
  }
  EXPECT_EQ(transfer_.ProgramLogo("406172", Picture{}, 1, 1, Limits()).outcome, Outcome::kRefused);
  EXPECT_THAT(Codes(), IsEmpty());
  EXPECT_EQ(host_.messages.size(), std::size(cases) + 1);
}

TEST_F(LogoTest, WidthFieldZeroLeavesTheLimitsUnknown) {
  reg_->ChangeState([](sim::RegisterState& s) { s.logo_max_width = 0; });
  const auto limits = transfer_.ReadLogoLimits("406172");
  ASSERT_TRUE(limits);
  EXPECT_FALSE(limits->known());
  EXPECT_EQ(transfer_.ProgramLogo("406172", Filled(8, 8, kBlack), 8, 8, *limits).outcome,
            Outcome::kRefused);
  EXPECT_THAT(Codes(), ElementsAre(cmd::kGetDiagnosticInfo));
}

TEST_F(LogoTest, FailuresEndBeforeSuccess) {
  struct Case {
    const char* what;
    int failing_request;  // 0-based among this run's requests
    std::size_t chunks_sent;
    bool params_sent;
  };
  // 200 x 3: four chunks, then SetLogoParams.
  const Case cases[] = {
      {"second chunk", 1, 2, false},
      {"SetLogoParams", 4, 4, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reg_->ClearRequests();
    host_.messages.clear();
    int replies = 0;
    host_.on_reply = [&](const ReplyRecord&) {
      if (++replies == c.failing_request)
        reg_->SetNextError(0x0201);
    };
    if (c.failing_request == 0)
      reg_->SetNextError(0x0201);
    const TransferResult r =
        transfer_.ProgramLogo("406172", Filled(200, 3, kBlack), 200, 3, Limits());
    EXPECT_EQ(r.outcome, Outcome::kFailed);
    EXPECT_THAT(host_.messages, ElementsAre("Ошибка записи логотипа"));
    EXPECT_EQ(Texts(cmd::kSetUserLogo).size(), c.chunks_sent);
    EXPECT_EQ(Texts(cmd::kSetLogoParams).size(), c.params_sent ? 1u : 0u);
  }
}

TEST_F(LogoTest, TimeOutOfTheLimitsKeepsThemUnread) {
  reg_->ChangeFaults([](sim::Faults& f) { f.no_answer = true; });
  EXPECT_FALSE(transfer_.ReadLogoLimits("406172"));
  EXPECT_THAT(host_.messages, ElementsAre("Ошибка! Таймаут устройства!"));
}

}  // namespace
}  // namespace tolvanet::transfer
