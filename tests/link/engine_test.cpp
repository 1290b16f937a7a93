// The transaction engine over a scripted transport: sequence numbers, decoding, refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "link/engine.h"
#include "tests/link/fake_transport.h"
#include "tests/link/fixed_clock.h"

namespace tolvanet {
namespace {

using testing::FakeTransport;
const std::array<std::uint8_t, 6> kPlain{0x80, 0x80, 0x80, 0x80, 0x80, 0x80};

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { engine.SetTransport(&link); }

  // The answer a register would give to the next request.
  void Answer(std::string error, std::string data, std::array<std::uint8_t, 6> status = kPlain,
              std::uint8_t code = 0x21) {
    std::uint8_t seq = SequenceByte(static_cast<std::uint8_t>(engine.sequence_counter() + 1));
    link.answers.push_back({BuildAnswerFrame(seq, code, error, data, status)});
  }
  std::uint8_t SentSequence(std::size_t i) const { return link.written.at(i)[2]; }

  Engine engine;
  FakeTransport link;
};

TEST_F(EngineTest, WireIsFramePlusZeroByteAndReplyIsDecoded) {
  Answer("0000", "010315;0405;", {0x80, 0x80, 0x80, 0x80, 0x91, 0x80});
  ReplyRecord& r = engine.ExecuteCommand(33, "406172;");
  ASSERT_EQ(link.written.size(), 1u);
  const std::string frame = BuildRequestFrame(0x21, 33, "406172;");
  EXPECT_EQ(link.written[0], frame + std::string(1, '\0'));
  EXPECT_EQ(r.sent_frame, frame);
  EXPECT_EQ(r.command_code, 33);
  EXPECT_EQ(r.command_text, "406172;");
  EXPECT_EQ(r.description, "Команда 21h: Чтение даты и времени");
  EXPECT_EQ(r.error_code, "0000");
  EXPECT_EQ(r.field_count, 2);
  EXPECT_EQ(r.fields[0], "010315");
  EXPECT_EQ(r.fields[1], "0405");
  EXPECT_EQ(r.status_flags, status_bits::kSerialProgrammed | status_bits::kIdDevSet);
  EXPECT_EQ(r.status_bytes, (std::array<std::uint8_t, 6>{0, 0, 0, 0, 0x11, 0}));
  EXPECT_EQ(r.checksum_error, 0);
  EXPECT_TRUE(r.Succeeded());
}

TEST_F(EngineTest, SequenceBytes) {
  engine.ExecuteCommand(33, "");
  EXPECT_EQ(SentSequence(0), 0x21);  // the first command after start
  engine.set_sequence_counter(94);
  engine.ExecuteCommand(33, "");
  EXPECT_EQ(SentSequence(1), 0x20);  // counter 95
  engine.set_sequence_counter(254);
  engine.ExecuteCommand(33, "");
  EXPECT_EQ(SentSequence(2), 0x20 + 255 % 95);
  engine.ExecuteCommand(33, "");
  EXPECT_EQ(SentSequence(3), 0x20);  // the counter wrapped to 0
}

TEST_F(EngineTest, ResendLastCommandSameOrNextSequence) {
  Answer("0000", "");
  engine.ExecuteCommand(0x42, "406172;");
  Answer("0000", "");
  ASSERT_NE(engine.ResendLastCommand(false), nullptr);
  Answer("0000", "");
  ASSERT_NE(engine.ResendLastCommand(true), nullptr);
  ASSERT_EQ(link.written.size(), 3u);
  EXPECT_EQ(link.written[1], link.written[0]);  // same sequence byte, same frame
  EXPECT_EQ(SentSequence(2), SentSequence(1) + 1);
  // Same code and text; the checksum differs with the sequence byte.
  EXPECT_EQ(link.written[2].substr(3, 8), link.written[0].substr(3, 8));
}

TEST_F(EngineTest, ResendSendsNothingBeforeAnyTransactionOrAfterAFailure) {
  EXPECT_EQ(engine.ResendLastCommand(true), nullptr);
  link.fail_next = true;
  engine.ExecuteCommand(0x42, "406172;");
  EXPECT_EQ(engine.ResendLastCommand(false), nullptr);
  EXPECT_EQ(link.written.size(), 1u);
}

TEST_F(EngineTest, NoAnswerIsExactlyTheNoAnswerBitAndClearsTheOldErrorCode) {
  Answer("0000", "1;2;", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  engine.ExecuteCommand(33, "406172;");
  ReplyRecord& r = engine.ExecuteCommand(33, "406172;");  // nothing comes
  EXPECT_EQ(r.status_flags, status_bits::kNoAnswer);
  EXPECT_EQ(r.field_count, 0);
  EXPECT_EQ(r.fields[0], "");
  EXPECT_EQ(r.status_bytes, (std::array<std::uint8_t, 6>{}));
  EXPECT_NE(r.error_code, "0000");
  EXPECT_FALSE(r.Succeeded());
}

TEST_F(EngineTest, SocketFailureReadsAsNoAnswerNotAsThePreviousSuccess) {
  Answer("0000", "1;");
  engine.ExecuteCommand(33, "406172;");
  link.fail_next = true;
  ReplyRecord& r = engine.ExecuteCommand(0x42, "406172;");
  EXPECT_EQ(r.command_code, 0x42);
  EXPECT_TRUE(r.NoAnswer());
  EXPECT_NE(r.error_code, "0000");
}

TEST_F(EngineTest, AFrameCutBeforeItsEndIsNoAnswerWithoutFields) {
  const std::string frame = BuildAnswerFrame(SequenceByte(1), 33, "0000", "12;34;", kPlain);
  link.answers.push_back({frame.substr(0, frame.size() - 1)});  // no ETX
  ReplyRecord& r = engine.ExecuteCommand(33, "");
  EXPECT_EQ(r.status_flags, status_bits::kNoAnswer);
  EXPECT_EQ(r.field_count, 0);
  EXPECT_EQ(r.fields[0], "");
  EXPECT_EQ(r.answer_copy, "");
  EXPECT_NE(r.error_code, "0000");
}

TEST_F(EngineTest, NotConnectedSendsNothingAndReadsAsNoAnswer) {
  link.active = false;
  ReplyRecord& r = engine.ExecuteCommand(33, "406172;");
  EXPECT_TRUE(link.written.empty());
  EXPECT_EQ(r.status_flags, status_bits::kNoAnswer);
}

TEST_F(EngineTest, ChecksumMismatchStillFillsFields) {
  std::string frame =
      BuildAnswerFrame(0x21, 0x21, "0000", "12;34;", {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80});
  frame[frame.size() - 2] ^= 1;
  link.answers.push_back({frame});
  ReplyRecord& r = engine.ExecuteCommand(33, "");
  EXPECT_EQ(r.status_flags, status_bits::kChecksumError);
  EXPECT_EQ(r.checksum_error, 1);
  EXPECT_EQ(r.field_count, 2);
  EXPECT_EQ(r.error_code, "0000");
}

TEST_F(EngineTest, EarlyEtxIsAChecksumError) {
  link.answers.push_back({std::string("\x03", 1)});
  ReplyRecord& r = engine.ExecuteCommand(33, "");
  EXPECT_EQ(r.status_flags, status_bits::kChecksumError);
  EXPECT_FALSE(r.Succeeded());
}

TEST_F(EngineTest, NakThenFrameKeepsTheNakBitAndTheData) {
  std::uint8_t seq = SequenceByte(1);
  link.answers.push_back({"\x15" + BuildAnswerFrame(seq, 33, "0000", "7;", kPlain)});
  ReplyRecord& r = engine.ExecuteCommand(33, "");
  EXPECT_EQ(r.status_flags, status_bits::kNak);
  EXPECT_EQ(r.fields[0], "7");
}

TEST_F(EngineTest, BytesAfterAFinishedFrameAreDropped) {
  std::uint8_t seq = SequenceByte(1);
  link.answers.push_back({BuildAnswerFrame(seq, 33, "0000", "1;", kPlain) +
                          BuildAnswerFrame(seq, 33, "0105", "2;", kPlain)});
  ReplyRecord& r = engine.ExecuteCommand(33, "");
  EXPECT_EQ(r.error_code, "0000");
  EXPECT_EQ(r.fields[0], "1");
}

TEST_F(EngineTest, AnswerInManySegmentsIsAssembled) {
  std::string frame = BuildAnswerFrame(SequenceByte(1), 33, "0000", "010315;0405;", kPlain);
  std::vector<std::string> blocks;
  for (std::size_t i = 0; i < frame.size(); i += 3)
    blocks.push_back(frame.substr(i, 3));
  link.answers.push_back(blocks);
  ReplyRecord& r = engine.ExecuteCommand(33, "");
  EXPECT_TRUE(r.Succeeded());
  EXPECT_EQ(r.fields[1], "0405");
}

TEST_F(EngineTest, CommaRulesByCommandCode) {
  struct Case {
    int code;
    std::string data;
    std::string copy;
    std::vector<std::string> fields;
  } cases[] = {
      {50, "1234;5;", "1234;5;", {"1,234", "5"}},
      {53, "7", "7", {"7"}},
      {62, "01234567X9;", "01234567X9;", {"01234567,9"}},
      {62, "0123", "0123", {"0123"}},  // too short to have an index 8
      {90,
       "a b c;1 2 3 4 5 6 7 8 9 0",
       "a b c;1 2 3 4 5 6 7 8 9 0",
       {"a,b,c", "1,2,3,4,5,6,7,8 9 0"}},
      {33, "a b;", "a b;", {"a b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    Answer("0000", c.data, kPlain, static_cast<std::uint8_t>(c.code));
    ReplyRecord& r = engine.ExecuteCommand(c.code, "");
    EXPECT_EQ(r.answer_copy, c.copy);
    ASSERT_EQ(r.field_count, static_cast<int>(c.fields.size()));
    for (std::size_t i = 0; i < c.fields.size(); ++i)
      EXPECT_EQ(r.fields[i], c.fields[i]);
  }
}

TEST_F(EngineTest, TooLongTextIsRefusedUnsent) {
  const std::uint8_t before = engine.sequence_counter();
  ReplyRecord& r = engine.ExecuteCommand(97, std::string(220, 'x'));
  EXPECT_TRUE(link.written.empty());
  EXPECT_TRUE(r.NoAnswer());
  EXPECT_NE(engine.refusal().find("219"), std::string::npos);
  EXPECT_EQ(engine.sequence_counter(), before);

  engine.ExecuteCommand(97, std::string(219, 'x'));
  ASSERT_EQ(link.written.size(), 1u);
  EXPECT_EQ(static_cast<unsigned char>(link.written[0][1]), 0x24 + 219);
  EXPECT_TRUE(engine.refusal().empty());
}

TEST_F(EngineTest, ACommandFromInsideTheWaitIsRefused) {
  ReplyRecord* inner = nullptr;
  std::string inner_refusal;
  link.during_exchange = [&] {
    inner = &engine.ExecuteCommand(0x42, "406172;");
    inner_refusal = engine.refusal();
  };
  Answer("0000", "5;");
  ReplyRecord& r = engine.ExecuteCommand(33, "406172;");
  EXPECT_EQ(link.written.size(), 1u);  // the inner command never reached the wire
  ASSERT_NE(inner, nullptr);
  EXPECT_FALSE(inner_refusal.empty());
  EXPECT_TRUE(r.Succeeded());  // the outer transaction is not disturbed
  EXPECT_EQ(r.fields[0], "5");
}

TEST_F(EngineTest, ARefusedCommandLeavesItsOwnRecordAndNothingToRepeat) {
  struct RefusalCase {
    const char* name;
    std::string text;
    bool connecting;
    const char* reason_part;
  };
  const std::vector<RefusalCase> cases = {
      {"too long", "406172;" + std::string(213, '7'), false, "219"},
      {"while connecting", "406172;1234567890;", true, "подключение"},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    Answer("0000", "SM000012345;", {0x80, 0x80, 0x80, 0x80, 0x91, 0x80}, 0x42);
    engine.ExecuteCommand(0x42, "406172;");
    ASSERT_TRUE(engine.reply().Succeeded());
    const std::size_t written = link.written.size();

    link.connecting = c.connecting;
    ReplyRecord& r = engine.ExecuteCommand(0x43, c.text);
    link.connecting = false;
    EXPECT_EQ(link.written.size(), written);
    EXPECT_EQ(r.command_code, 0x43);
    EXPECT_EQ(r.command_text, c.text);
    EXPECT_EQ(r.description, "Команда 43h: Программирование фискального номера");
    EXPECT_EQ(r.status_flags, status_bits::kNoAnswer);
    EXPECT_EQ(r.error_code, "");
    EXPECT_EQ(r.field_count, 0);
    EXPECT_EQ(r.Field(0), "");
    EXPECT_EQ(r.answer_copy, "");
    EXPECT_EQ(r.status_bytes, (std::array<std::uint8_t, 6>{}));
    EXPECT_EQ(r.sent_frame, "");
    EXPECT_EQ(r.raw_answer, "");
    EXPECT_EQ(r.checksum_error, 0);
    EXPECT_NE(r.refusal.find(c.reason_part), std::string::npos) << r.refusal;
    EXPECT_EQ(r.refusal, engine.refusal());

    // "Repeat" must not put 0x42 on the wire in place of the refused 0x43.
    EXPECT_EQ(engine.ResendLastCommand(false), nullptr);
    EXPECT_EQ(engine.ResendLastCommand(true), nullptr);
    EXPECT_EQ(link.written.size(), written);

    // Once a command is sent, it is the one to repeat, and its record has no refusal.
    Answer("0000", "1;");
    EXPECT_TRUE(engine.ExecuteCommand(0x21, "406172;").refusal.empty());
    Answer("0000", "1;");
    ASSERT_NE(engine.ResendLastCommand(true), nullptr);
    EXPECT_EQ(link.written.back()[3], 0x21);
  }
}

TEST_F(EngineTest, ACommandRefusedDuringAnotherLeavesThatOnesOutcome) {
  link.during_exchange = [&] { engine.ExecuteCommand(0x43, "406172;1;"); };
  Answer("0000", "5;");
  ReplyRecord& r = engine.ExecuteCommand(33, "406172;");
  EXPECT_EQ(r.command_code, 33);
  EXPECT_EQ(r.sent_frame, BuildRequestFrame(0x21, 33, "406172;"));
  EXPECT_TRUE(r.refusal.empty());
  EXPECT_TRUE(engine.refusal().empty());
  EXPECT_TRUE(r.Succeeded());
}

TEST_F(EngineTest, DamagedAnswersAreNeverASuccess) {
  const std::string good = BuildAnswerFrame(SequenceByte(1), 33, "0000", "12;34;", kPlain);
  std::string bad_sum = good;
  bad_sum[bad_sum.size() - 2] ^= 1;
  struct DamageCase {
    const char* name;
    std::string block;
    std::uint32_t flags;
    int fields;  // what still arrived, for the monitor and the status window
  };
  const std::vector<DamageCase> cases = {
      {"checksum", bad_sum, status_bits::kChecksumError, 2},
      {"NAK before a sound frame", "\x15" + good, status_bits::kNak, 2},
      {"NAK alone", "\x15", status_bits::kNak, 0},
      {"early ETX", good.substr(0, good.size() - 3) + "\x03", status_bits::kChecksumError, 2},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    engine.set_sequence_counter(0);
    link.answers.push_back({c.block});
    ReplyRecord& r = engine.ExecuteCommand(33, "406172;");
    EXPECT_EQ(r.status_flags, c.flags);
    EXPECT_TRUE(r.Damaged());
    EXPECT_FALSE(r.NoAnswer());
    EXPECT_FALSE(r.Succeeded());
    EXPECT_EQ(r.field_count, c.fields);
  }
  link.answers.push_back({good});
  engine.set_sequence_counter(0);
  EXPECT_TRUE(engine.ExecuteCommand(33, "406172;").Succeeded());
  EXPECT_FALSE(engine.reply().Damaged());
}

TEST(CommandDescription, Table) {
  EXPECT_EQ(CommandDescription(0x20), "Команда 20h: Установка даты и времени");
  EXPECT_EQ(CommandDescription(0x65), "Команда 65h: Закрытие  фискального чека");
  EXPECT_EQ(CommandDescription(0xA3), "Команда A3h: Печать периодического отчета");
  for (int code : {42, 0x1F, 0xA4, 0x50, 0xF1, -1}) {
    EXPECT_EQ(CommandDescription(code), "Неверная команда") << code;
  }
}

// ---- the session log ----

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class SessionLogTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dir = std::filesystem::temp_directory_path() /
          ("tolvanet-log-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    engine.log().SetClock([] { return testing::LocalTime(1, 3, 2015, 4, 5, 6); });
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
};

TEST_F(SessionLogTest, EntryFormats) {
  const std::tm t = testing::LocalTime(1, 3, 2015, 4, 5, 6);
  EXPECT_EQ(SessionLog::FormatEntry(t, "21", "21406172;", false),
            "; 1-03-2015  4:05:06  21\n21406172;\n");
  EXPECT_EQ(SessionLog::FormatEntry(t, "END", "", true),
            ";\xCA\xEE\xED\xE5\xF6 \xD1\xE5\xE0\xED\xF1\xE0    1-03-2015  4:05:06 \n");
}

TEST_F(SessionLogTest, TwoTransactionsGiveFourEntriesAndEndSessionOneMore) {
  const auto path = dir / "session.log";
  engine.log().SetLogFileName(path.string());
  Answer("0000", "1;");
  engine.ExecuteCommand(33, "406172;");
  engine.ExecuteCommand(0x42, "406172;");  // no answer
  EXPECT_FALSE(engine.EndSession());
  const std::string answer = BuildAnswerFrame(0x21, 0x21, "0000", "1;", kPlain);
  const std::string expected =
      "; 1-03-2015  4:05:06  21\n21406172;\n"
      "; 1-03-2015  4:05:06  21 SYN=0\n" +
      answer +
      "\n"
      "; 1-03-2015  4:05:06  22\n42406172;\n"
      // No answer: the heading still shows the last answer's sequence byte.
      "; 1-03-2015  4:05:06  21 SYN=0\n\n"
      ";\xCA\xEE\xED\xE5\xF6 \xD1\xE5\xE0\xED\xF1\xE0    1-03-2015  4:05:06 \n";
  EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(SessionLogTest, SynCountAndWindows1251BytesAsReceived) {
  const auto path = dir / "session.log";
  engine.log().SetLogFileName(path.string());
  const std::string text = "406172;\xCF\xF0\xE8\xE2\xB3\xF2;";  // Windows-1251 as sent
  const std::string answer = BuildAnswerFrame(0x21, 0x61, "0000", "\xC0;", kPlain);
  link.answers.push_back({"\x16\x16", answer});
  engine.ExecuteCommand(0x61, text);
  EXPECT_EQ(ReadFile(path), "; 1-03-2015  4:05:06  21\n61" + text + "\n" +
                                "; 1-03-2015  4:05:06  21 SYN=2\n" + answer + "\n");
}

TEST_F(SessionLogTest, TheAnswerEntryHoldsEveryByteAfterJunk) {
  const auto path = dir / "session.log";
  engine.log().SetLogFileName(path.string());
  const std::string junk(280, 'j');
  const std::string answer = BuildAnswerFrame(0x21, 0x21, "0000", "010315;0405;", kPlain);
  link.answers.push_back({"\x16" + junk, answer});
  ReplyRecord& r = engine.ExecuteCommand(0x21, "406172;");
  EXPECT_TRUE(r.Succeeded());
  EXPECT_EQ(ReadFile(path),
            "; 1-03-2015  4:05:06  21\n21406172;\n"
            "; 1-03-2015  4:05:06  21 SYN=1\n" +
                junk + answer + "\n");
  EXPECT_EQ(r.raw_answer, (junk + answer).substr(0, 299));  // the record keeps its own bound
}

TEST_F(SessionLogTest, PathIsBuiltOnceRelativeToTheCurrentDirectory) {
  const auto old_cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  engine.log().SetLogFileName("rel.log");
  engine.ExecuteCommand(33, "");
  std::filesystem::current_path(old_cwd);
  EXPECT_EQ(engine.log().path(), (dir / "rel.log").string());
  engine.ExecuteCommand(33, "");  // same file although the directory changed
  EXPECT_EQ(engine.log().path(), (dir / "rel.log").string());
  EXPECT_FALSE(std::filesystem::exists(old_cwd / "rel.log"));
  std::string content = ReadFile(dir / "rel.log");
  EXPECT_EQ(std::count(content.begin(), content.end(), ';'), 4 + 2 * 0);
}

TEST_F(SessionLogTest, RelativeNameIsTakenInTheLogDirectory) {
  // The programs put the log beside their configuration file, wherever they were started.
  std::filesystem::create_directories(dir / "config");
  engine.log().SetLogDirectory((dir / "config").string());
  engine.log().SetLogFileName("rel.log");
  engine.ExecuteCommand(33, "");
  EXPECT_EQ(engine.log().path(), (dir / "config" / "rel.log").string());
  EXPECT_TRUE(std::filesystem::exists(dir / "config" / "rel.log"));
}

TEST_F(SessionLogTest, EmptyNameTouchesNoFile) {
  engine.log().SetLogFileName("");
  engine.ExecuteCommand(33, "");
  engine.EndSession();
  EXPECT_TRUE(std::filesystem::is_empty(dir));
  EXPECT_TRUE(engine.log().path().empty());
}

TEST_F(SessionLogTest, UnwritableLogLosesTheEntryButNotTheExchange) {
  engine.log().SetLogFileName((dir / "missing-dir" / "x.log").string());
  Answer("0000", "9;");
  EXPECT_EQ(engine.ExecuteCommand(33, "").fields[0], "9");
}

}  // namespace
}  // namespace tolvanet
