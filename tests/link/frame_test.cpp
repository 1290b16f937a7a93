// Request frames, the answer parser and the status flags word.
#include <gtest/gtest.h>

#include "link/frame.h"
#include "link/reply.h"

namespace tolvanet {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values)
    s += static_cast<char>(v);
  return s;
}

// A GetDateTime answer written out by hand: seq 0x21, code 0x21, "0000", data "010315;0405;",
// six status bytes 0x80, checksum 0x06EB as "06>;".
const std::string kDateAnswer(
    "\x01\x3C\x21\x21"
    "0000;010315;0405;"
    "\x04\x80\x80\x80\x80\x80\x80\x05"
    "06>;"
    "\x03");

TEST(RequestFrame, ByteExact) {
  struct Case {
    std::uint8_t seq;
    std::uint8_t code;
    std::string text;
    std::string expected;
  } cases[] = {
      // Empty text: sum 0x24+0x21+0x21+0x05 = 0x6B.
      {0x21, 0x21, "", Bytes({0x01, 0x24, 0x21, 0x21, 0x05, '0', '0', '6', ';', 0x03})},
      // "406172;": sum 0x1E1, the nibble 14 goes as ">".
      {0x21, 0x21, "406172;",
       Bytes({0x01, 0x2B, 0x21, 0x21, '4', '0', '6', '1', '7', '2', ';', 0x05, '0', '1', '>', '1',
              0x03})},
      // High code and sequence 0x20: sum 0x24+0x20+0xFF+0x05 = 0x148.
      {0x20, 0xFF, "", Bytes({0x01, 0x24, 0x20, 0xFF, 0x05, '0', '1', '4', '8', 0x03})},
  };
  // Built into a string that held a longer frame before: nothing of it may stay.
  std::string reused = BuildRequestFrame(0x7E, 0x61, std::string(219, 'x'));
  for (const auto& c : cases) {
    EXPECT_EQ(BuildRequestFrame(c.seq, c.code, c.text), c.expected) << c.text;
    BuildRequestFrame(reused, c.seq, c.code, c.text);
    EXPECT_EQ(reused, c.expected) << c.text;
  }
}

TEST(RequestFrame, SequenceByteRunsThroughNinetyFiveValues) {
  EXPECT_EQ(SequenceByte(1), 0x21);
  EXPECT_EQ(SequenceByte(94), 0x7E);
  EXPECT_EQ(SequenceByte(95), 0x20);
  EXPECT_EQ(SequenceByte(255), 0x20 + 255 % 95);
  EXPECT_EQ(SequenceByte(0), 0x20);
}

TEST(RequestFrame, ChecksumDigitsAreNeverHexLetters) {
  EXPECT_EQ(ChecksumDigits(0xABCD), ":;<=");
  EXPECT_EQ(ChecksumDigits(0x1FEF0), "?>?0");  // only the low 16 bits
}

TEST(AnswerFrame, BuilderMatchesHandWrittenFrame) {
  EXPECT_EQ(
      BuildAnswerFrame(0x21, 0x21, "0000", "010315;0405;", {0x80, 0x80, 0x80, 0x80, 0x80, 0x80}),
      kDateAnswer);
}

struct ParseResult {
  bool complete = false;
  bool ended = false;
  std::uint8_t flags = 0;
  long syn = 0;
  std::string error;
  std::string data;
  std::string raw;
  bool checksum_ok = false;
};

// Feeds blocks the way the engine does: a block is fed until a frame is complete.
ParseResult Parse(const std::vector<std::string>& blocks) {
  AnswerParser p;
  p.BeginTransaction();
  for (const auto& b : blocks) {
    for (unsigned char c : b) {
      p.Feed(c);
      if (p.frame_complete())
        break;
    }
    if (p.frame_complete() || p.frame_ended())
      break;
  }
  return {p.frame_complete(),
          p.frame_ended(),
          p.link_flags(),
          p.syn_count(),
          p.error_code(),
          p.data(),
          p.raw(),
          p.received_checksum() == p.running_checksum()};
}

std::vector<std::string> OneByteSegments(const std::string& s) {
  std::vector<std::string> out;
  for (char c : s)
    out.emplace_back(1, c);
  return out;
}

TEST(AnswerParser, Cases) {
  const std::string syn3 = "\x16\x16\x16";
  const std::string nak = "\x15";
  std::string bad_sum = kDateAnswer;
  bad_sum[bad_sum.size() - 2] = '0';
  std::string early_etx = kDateAnswer.substr(0, 12) + "\x03";

  struct Case {
    const char* name;
    std::vector<std::string> blocks;
    bool ended;
    std::uint8_t flags;
    long syn;
    std::string data;
    bool checksum_ok;
  } cases[] = {
      {"plain", {kDateAnswer}, true, 0, 0, "010315;0405;", true},
      {"SYN before SOH", {syn3 + kDateAnswer}, true, 0, 3, "010315;0405;", true},
      {"SYN in blocks of their own", {syn3, syn3, kDateAnswer}, true, 0, 6, "010315;0405;", true},
      {"NAK alone", {nak}, true, link_flags::kNak, 0, "", true},
      {"NAK then frame in one block",
       {nak + kDateAnswer},
       true,
       link_flags::kNak,
       0,
       "010315;0405;",
       true},
      {"garbage before SOH", {"\x7F\x30zz" + kDateAnswer}, true, 0, 0, "010315;0405;", true},
      {"one-byte segments", OneByteSegments(kDateAnswer), true, 0, 0, "010315;0405;", true},
      {"wrong checksum", {bad_sum}, true, 0, 0, "010315;0405;", false},
      {"ETX early", {early_etx}, true, link_flags::kEarlyEtx, 0, "010", false},
      {"cut before ETX",
       {kDateAnswer.substr(0, kDateAnswer.size() - 1)},
       false,
       0,
       0,
       "010315;0405;",
       true},
      {"nothing", {}, false, 0, 0, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto r = Parse(c.blocks);
    EXPECT_EQ(r.ended, c.ended);
    EXPECT_EQ(r.flags, c.flags);
    EXPECT_EQ(r.syn, c.syn);
    EXPECT_EQ(r.data, c.data);
    if (c.ended) {
      EXPECT_EQ(r.checksum_ok, c.checksum_ok);
    }
  }
}

TEST(AnswerParser, LengthByte0x30HasNoDataPart) {
  std::string frame =
      BuildAnswerFrame(0x22, 0x80, "0105", "", {0x80, 0x80, 0x80, 0x80, 0x80, 0x80});
  ASSERT_EQ(frame[1], 0x30);
  auto r = Parse({frame});
  EXPECT_TRUE(r.ended);
  EXPECT_TRUE(r.checksum_ok);
  EXPECT_EQ(r.error, "0105");
  EXPECT_EQ(r.data, "");
}

TEST(AnswerParser, RawTextKeepsEverythingButSyn) {
  auto r = Parse({"\x16\x16" + kDateAnswer});
  EXPECT_EQ(r.raw, kDateAnswer);
}

TEST(AnswerParser, LayoutBreakersRestartAtNextSoh) {
  // A length byte below 0x30, then a sequence byte below 0x20: both drop back to waiting for SOH.
  auto r = Parse({std::string("\x01\x2F", 2) + std::string("\x01\x3C\x10", 3) + kDateAnswer});
  EXPECT_TRUE(r.ended);
  EXPECT_EQ(r.data, "010315;0405;");
  EXPECT_TRUE(r.checksum_ok);
}

// Everything the parser holds, for comparing two ways of feeding it.
std::string State(const AnswerParser& p) {
  std::string s = std::to_string(p.state()) + "|" + std::to_string(p.frame_complete()) +
                  std::to_string(p.frame_ended()) + "|" + std::to_string(p.link_flags()) + "|" +
                  std::to_string(p.syn_count()) + "|" + std::to_string(p.running_checksum()) + "|" +
                  std::to_string(p.received_checksum()) + "|" + std::to_string(p.sequence()) + "|" +
                  std::to_string(p.command()) + "|" + p.error_code() + "|" + p.data() + "|" +
                  p.raw() + "|";
  for (auto b : p.status())
    s += std::to_string(b) + ",";
  return s;
}

// A block fed at once takes the data part as a run; it must end exactly where byte by byte
// feeding ends, in every state, wherever the blocks are cut.
TEST(AnswerParser, BlockFeedMatchesByteFeed) {
  const std::string frame = kDateAnswer;
  const std::string cases[] = {
      frame,
      "\x16\x16" + frame + "trailing bytes",
      // Control bytes inside the data part: SYN is data, SOH restarts, ETX and NAK end.
      frame.substr(0, 12) + "\x16" + frame.substr(12),
      frame.substr(0, 12) + "\x01" + frame,
      frame.substr(0, 12) + "\x03" + frame,
      frame.substr(0, 12) + "\x15" + frame,
      // A data part shorter than its length byte says, then a whole frame.
      frame.substr(0, 10) + "\x04\x80\x80" + frame,
      BuildAnswerFrame(0x22, 0x80, "0105", "", {0x80, 0x80, 0x80, 0x80, 0x80, 0x80}),
      frame + frame,
  };
  for (const std::string& input : cases) {
    for (std::size_t cut = 0; cut <= input.size(); ++cut) {
      SCOPED_TRACE(::testing::Message()
                   << "input " << ::testing::PrintToString(input) << " cut at " << cut);
      const std::string_view blocks[] = {std::string_view(input).substr(0, cut),
                                         std::string_view(input).substr(cut)};
      AnswerParser by_byte;
      AnswerParser by_block;
      by_byte.BeginTransaction();
      by_block.BeginTransaction();
      for (std::string_view block : blocks) {
        std::size_t fed = 0;
        for (unsigned char c : block) {
          by_byte.Feed(c);
          ++fed;
          if (by_byte.frame_complete())
            break;
        }
        EXPECT_EQ(by_block.Feed(block), fed);
        EXPECT_EQ(State(by_block), State(by_byte));
        if (by_byte.frame_complete())
          break;
      }
    }
  }
}

TEST(StatusFlags, Cases) {
  using A = std::array<std::uint8_t, 6>;
  LinkOutcome ok{true, false, false};
  struct Case {
    const char* name;
    LinkOutcome link;
    A raw;
    std::uint32_t expected;
  } cases[] = {
      {"all 0x80", ok, {0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, 0},
      {"byte 0 = 0xA1", ok, {0xA1, 0x80, 0x80, 0x80, 0x80, 0x80}, 0x08000001},
      {"byte 4 = 0x93", ok, {0x80, 0x80, 0x80, 0x80, 0x93, 0x80}, 0x00030000},
      {"byte 3 contributes nothing", ok, {0x80, 0x80, 0x80, 0xFF, 0x80, 0x80}, 0},
      {"byte 0 bit 3 has no place", ok, {0x88, 0x80, 0x80, 0x80, 0x80, 0x80}, 0},
      {"every status bit", ok, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0x1FFFFFFF & ~0x07008000u},
      {"checksum error hides status",
       {true, false, true},
       {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
       0x01000000},
      {"NAK beats checksum", {true, true, true}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0x02000000},
      {"no answer alone", {false, true, true}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0x04000000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildStatusFlags(c.link, c.raw), c.expected) << c.name;
  }
}

TEST(StatusFlags, EachBitComesFromItsByteAndMask) {
  // Byte 1 bit 5 is bit 12, byte 5 bit 5 is bit 14, byte 5 bit 4 is bit 23.
  LinkOutcome ok{true, false, false};
  EXPECT_EQ(BuildStatusFlags(ok, {0, 0x20, 0, 0, 0, 0}), 0x00001000u);
  EXPECT_EQ(BuildStatusFlags(ok, {0, 0, 0, 0, 0, 0x20}), 0x00004000u);
  EXPECT_EQ(BuildStatusFlags(ok, {0, 0, 0, 0, 0, 0x10}), 0x00800000u);
  EXPECT_EQ(BuildStatusFlags(ok, {0, 0, 0x29, 0, 0, 0}), 0x00000E00u);
}

TEST(FieldSplitting, Cases) {
  struct Case {
    std::string data;
    std::vector<std::string> fields;
  } cases[] = {
      {"", {}},         {"a;b;", {"a", "b"}}, {"a;;b", {"a", "", "b"}}, {"a;;", {"a;"}},
      {"abc", {"abc"}}, {";", {""}},          {";x", {"", "x"}},
  };
  for (const auto& c : cases) {
    ReplyRecord r;
    r.fields[5] = "stale";
    SplitFields(c.data, r);
    ASSERT_EQ(r.field_count, static_cast<int>(c.fields.size())) << c.data;
    for (int i = 0; i < kMaxFields; ++i) {
      EXPECT_EQ(r.fields[i], i < r.field_count ? c.fields[i] : "") << c.data << " field " << i;
    }
  }
}

TEST(FieldSplitting, MoreThanTwentyFieldsKeepTheRestInTheLast) {
  std::string data;
  for (int i = 0; i < 25; ++i)
    data += std::to_string(i) + ";";
  ReplyRecord r;
  SplitFields(data, r);
  EXPECT_EQ(r.field_count, 20);
  EXPECT_EQ(r.fields[18], "18");
  EXPECT_EQ(r.fields[19], "19;20;21;22;23;24");
}

TEST(StatusText, TwoUpperCaseDigitsAndABlankEach) {
  ReplyRecord r;
  r.status_bytes = {0x00, 0x21, 0x7F, 0x0A, 0x10, 0x00};
  EXPECT_EQ(StatusText(r), "00 21 7F 0A 10 00 ");
}

}  // namespace
}  // namespace tolvanet
