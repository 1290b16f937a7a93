// The fiscal (flash) memory dump, restore and erase against the simulated register.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/commands.h"
#include "link/hex.h"
#include "tests/transfer/transfer_fixture.h"

namespace tolvanet::transfer {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kDumpDone[] = "Успешно. Чтение данных завершено.";
constexpr char kRestoreDone[] = "Успешно. Запись данных завершена.";
constexpr char kBadData[] =
    "Информация переданная регистратором неверна. Чтение данных остановлено.";
constexpr char kEndOfFile[] = "Ошибка! Незапланированный конец файла!\n   Чтение прервано";

class FlashTest : public testing::TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    reg_->FillFlash(0, Pattern(1000));
  }
  static std::string Pattern(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
      bytes[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    return bytes;
  }
  std::string Flash(std::size_t from, std::size_t n) const {
    const auto flash = reg_->State().flash.Bytes();
    return std::string(flash.begin() + from, flash.begin() + from + n);
  }
  FlashRange Range(std::int64_t start, std::int64_t count, const std::string& file = "dump.bin") {
    return FlashRange{"406172", start, count, Path(file)};
  }
  std::vector<std::int64_t> Addresses() const {
    std::vector<std::int64_t> a;
    for (const auto& p : host_.progress)
      a.push_back(p.address);
    return a;
  }
};

TEST_F(FlashTest, DumpOf120BytesAndItsRestore) {
  const TransferResult dump = transfer_.DumpFlash(Range(0, 120), 2);
  EXPECT_EQ(dump.outcome, Outcome::kDone);
  EXPECT_THAT(Texts(cmd::kReadFlash), ElementsAre("406172;0;", "406172;50;", "406172;100;"));
  EXPECT_THAT(Addresses(), ElementsAre(0, 50, 100, 150));
  EXPECT_EQ(Read(Path("dump.bin")), Pattern(120));
  EXPECT_THAT(host_.questions, ElementsAre("Данные будут записаны в выбранный файл. Продолжать?"));
  EXPECT_THAT(host_.messages, ElementsAre(kDumpDone));
  EXPECT_EQ(dump.progress.done, 120);

  // Written back at 500: blocks of 50, 50 and 20 bytes, 100, 100 and 40 hexadecimal digits.
  host_.messages.clear();
  const TransferResult restore = transfer_.RestoreFlash(Range(500, 120));
  EXPECT_EQ(restore.outcome, Outcome::kDone);
  const std::string hex = HexEncode(Pattern(120));
  EXPECT_THAT(Texts(cmd::kWriteFlash), ElementsAre("406172;500;50;" + hex.substr(0, 100) + ";",
                                                   "406172;550;50;" + hex.substr(100, 100) + ";",
                                                   "406172;600;20;" + hex.substr(200, 40) + ";"));
  EXPECT_EQ(Flash(500, 120), Pattern(120));
  EXPECT_THAT(host_.messages, ElementsAre(kRestoreDone));
}

TEST_F(FlashTest, DumpEraseRestoreDumpGivesTheSameFile) {
  ASSERT_EQ(transfer_.DumpFlash(Range(0, 1000, "first.bin"), 2).outcome, Outcome::kDone);
  ASSERT_EQ(transfer_.EraseFlash("406172").outcome, Outcome::kDone);
  EXPECT_EQ(Flash(0, 1000), std::string(1000, '\xFF'));
  ASSERT_EQ(transfer_.RestoreFlash(Range(0, 1000, "first.bin")).outcome, Outcome::kDone);
  ASSERT_EQ(transfer_.DumpFlash(Range(0, 1000, "second.bin"), 2).outcome, Outcome::kDone);
  EXPECT_EQ(Read(Path("first.bin")), Pattern(1000));
  EXPECT_EQ(Read(Path("second.bin")), Read(Path("first.bin")));
}

TEST_F(FlashTest, DumpEndsWhereTheMemoryEnds) {
  reg_->ChangeState([](sim::RegisterState& s) {
    s.flash = sim::FlashMemory(70);
    s.flash.Write(0, Pattern(70));
  });
  const TransferResult r = transfer_.DumpFlash(Range(0, 200), 2);
  EXPECT_EQ(r.outcome, Outcome::kDone);
  EXPECT_EQ(Read(Path("dump.bin")), Pattern(70));
  EXPECT_EQ(Texts(cmd::kReadFlash).size(), 2u);
}

TEST_F(FlashTest, CountZeroMakesAnEmptyFileAndSendsNothing) {
  EXPECT_EQ(transfer_.DumpFlash(Range(0, 0), 2).outcome, Outcome::kDone);
  EXPECT_TRUE(std::filesystem::exists(Path("dump.bin")));
  EXPECT_EQ(Read(Path("dump.bin")), "");
  EXPECT_EQ(transfer_.RestoreFlash(Range(0, 0)).outcome, Outcome::kDone);
  EXPECT_THAT(Codes(), IsEmpty());
  EXPECT_THAT(host_.messages, ElementsAre(kDumpDone, kRestoreDone));
}

// A block that fails is asked again up to the repeat count, then the dump ends.
TEST_F(FlashTest, RepeatsOfAFailedBlock) {
  struct Case {
    const char* what;
    int repeats;
    int failures;  // answers in a row that fail, from the second block on
    bool damaged;  // by checksum instead of error code
    Outcome outcome;
    int requests;
  };
  const Case cases[] = {
      {"two failures, two repeats", 2, 2, false, Outcome::kDone, 5},
      {"three failures, two repeats", 2, 3, false, Outcome::kFailed, 4},
      {"negative count: one request", -1, 1, false, Outcome::kFailed, 2},
      {"damaged answers repeat too", 1, 1, true, Outcome::kDone, 4},
      {"damaged beyond the repeats", 0, 1, true, Outcome::kFailed, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reg_->ClearRequests();
    host_.messages.clear();
    int replies = 0;
    int failed = 0;
    host_.on_reply = [&](const ReplyRecord&) {
      ++replies;
      const bool arm = replies >= 1 && failed < c.failures;
      reg_->SetFaults(sim::Faults{.corrupt_checksum = arm && c.damaged, .syn_interval_ms = 1});
      if (arm) {
        ++failed;
        if (!c.damaged)
          reg_->SetNextError(0x0201);
      }
    };
    const TransferResult r = transfer_.DumpFlash(Range(0, 150), c.repeats);
    reg_->SetFaults(sim::Faults{.syn_interval_ms = 1});
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(static_cast<int>(Texts(cmd::kReadFlash).size()), c.requests);
    EXPECT_EQ(r.progress.repeats, std::min(std::max(c.repeats, 0), c.failures));
    if (c.outcome == Outcome::kFailed) {
      ASSERT_EQ(host_.messages.size(), 1u);
      EXPECT_THAT(host_.messages[0],
                  ::testing::StartsWith("Ошибка чтения данных из флеш-памяти. \nЧтение данных "
                                        "остановлено. ErrCode="));
      EXPECT_EQ(Read(Path("dump.bin")), Pattern(50));  // only the first block
    } else {
      EXPECT_EQ(Read(Path("dump.bin")), Pattern(150));
    }
  }
}

TEST_F(FlashTest, TimeOutMidDumpIsNotRepeated) {
  host_.on_reply = [&](const ReplyRecord& reply) {
    if (reply.Field(0) == "50" && Texts(cmd::kReadFlash).size() == 2)
      reg_->ChangeFaults([](sim::Faults& f) { f.no_answer = true; });
  };
  const TransferResult r = transfer_.DumpFlash(Range(0, 300), 5);
  EXPECT_EQ(r.outcome, Outcome::kFailed);
  EXPECT_THAT(host_.messages,
              ElementsAre("Ошибка! Таймаут устройства! Чтение данных остановлено."));
  EXPECT_EQ(Texts(cmd::kReadFlash).size(), 3u);
  EXPECT_EQ(Read(Path("dump.bin")), Pattern(100));
}

// Hexadecimal text in an answer is upper case and as long as the count says; the pairs before
// a bad one stay in the file.
TEST_F(FlashTest, MalformedBlockEndsTheDump) {
  struct Case {
    const char* what;
    std::function<void(std::string&)> rewrite;
    std::size_t kept;  // bytes of the second block in the file
  };
  const Case cases[] = {
      {"lower case", [](std::string& d) { d[3 + 20] = 'a'; }, 10},
      {"short", [](std::string& d) { d = "50;" + d.substr(3, 60) + ";"; }, 30},
      {"count not digits", [](std::string& d) { d[0] = 'x'; }, 0},
      {"no text", [](std::string& d) { d = "50;"; }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host_.messages.clear();
    int blocks = 0;
    Rewrite(cmd::kReadFlash, [&](std::string& data) {
      if (blocks++ == 1)
        c.rewrite(data);
    });
    const TransferResult r = transfer_.DumpFlash(Range(0, 300), 2);
    EXPECT_EQ(r.outcome, Outcome::kFailed);
    EXPECT_THAT(host_.messages, ElementsAre(kBadData));
    EXPECT_EQ(Read(Path("dump.bin")), Pattern(50 + c.kept));
  }
}

TEST_F(FlashTest, StopAfterKBlocks) {
  host_.on_pump = [&] {
    if (host_.pumps == 3)
      transfer_.RequestStop();
  };
  TransferResult r = transfer_.DumpFlash(Range(0, 500), 2);
  EXPECT_EQ(r.outcome, Outcome::kStopped);
  EXPECT_EQ(Read(Path("dump.bin")), Pattern(150));
  EXPECT_EQ(r.progress.address, 150);

  host_.pumps = 0;
  reg_->ClearRequests();
  r = transfer_.RestoreFlash(Range(600, 150));
  EXPECT_EQ(r.outcome, Outcome::kStopped);
  EXPECT_EQ(Texts(cmd::kWriteFlash).size(), 3u);
  EXPECT_EQ(Flash(600, 150), Pattern(150));
  EXPECT_THAT(host_.messages, ElementsAre("Чтение данных остановлено пользователем.",
                                          "Запись данных остановлено пользователем."));

  // Stop is seen between repeats of a failing block too.
  host_.messages.clear();
  host_.pumps = 0;
  host_.on_pump = [&] { transfer_.RequestStop(); };
  reg_->ClearRequests();
  reg_->SetNextError(0x0201);
  r = transfer_.DumpFlash(Range(0, 100), 50);
  EXPECT_EQ(r.outcome, Outcome::kStopped);
  EXPECT_EQ(Texts(cmd::kReadFlash).size(), 1u);
}

TEST_F(FlashTest, ShortRestoreFileSendsNothing) {
  Write(Path("short.bin"), Pattern(119));
  const TransferResult r = transfer_.RestoreFlash(Range(0, 120, "short.bin"));
  EXPECT_EQ(r.outcome, Outcome::kRefused);
  EXPECT_THAT(host_.messages, ElementsAre(kEndOfFile));
  EXPECT_THAT(Codes(), IsEmpty());
  EXPECT_THAT(host_.questions, IsEmpty());
}

TEST_F(FlashTest, RestoreStopsAtAFailedBlock) {
  Write(Path("data.bin"), Pattern(150));
  host_.on_reply = [&](const ReplyRecord&) { reg_->SetNextError(0x0201); };
  const TransferResult r = transfer_.RestoreFlash(Range(0, 150, "data.bin"));
  EXPECT_EQ(r.outcome, Outcome::kFailed);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_THAT(host_.messages[0], ::testing::StartsWith("Ошибка записи в флеш-память:\n  "));
  EXPECT_EQ(Texts(cmd::kWriteFlash).size(), 2u);  // never repeated
}

TEST_F(FlashTest, UnwritableDumpTargetSendsNothing) {
  TransferResult r = transfer_.DumpFlash(FlashRange{"406172", 0, 100, Path("no/dir/d.bin")}, 2);
  EXPECT_EQ(r.outcome, Outcome::kFailed);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_THAT(host_.messages[0], ::testing::StartsWith("Не удалось создать файл "));
  EXPECT_THAT(Codes(), IsEmpty());

  if (std::filesystem::exists("/dev/full")) {
    host_.messages.clear();
    r = transfer_.DumpFlash(FlashRange{"406172", 0, 100, "/dev/full"}, 2);
    EXPECT_EQ(r.outcome, Outcome::kFailed);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_THAT(host_.messages[0], ::testing::StartsWith("Ошибка записи в файл /dev/full"));
    EXPECT_EQ(Texts(cmd::kReadFlash).size(), 1u);
  }
}

TEST_F(FlashTest, EraseAsksFirst) {
  host_.answer = false;
  EXPECT_EQ(transfer_.EraseFlash("406172").outcome, Outcome::kCancelled);
  EXPECT_THAT(Codes(), IsEmpty());
  EXPECT_EQ(Flash(0, 1000), Pattern(1000));
  host_.answer = true;
  EXPECT_EQ(transfer_.EraseFlash("406172").outcome, Outcome::kDone);
  EXPECT_THAT(Texts(cmd::kClearFlash), ElementsAre("406172;"));
  EXPECT_EQ(host_.questions.size(), 2u);
  EXPECT_THAT(host_.messages, ElementsAre("Обнуление флеш-памяти отменено!", "Успешно!"));
}

TEST_F(FlashTest, CancelledQuestionsSendNothing) {
  Write(Path("data.bin"), Pattern(100));
  host_.answer = false;
  EXPECT_EQ(transfer_.DumpFlash(Range(0, 100), 2).outcome, Outcome::kCancelled);
  EXPECT_EQ(transfer_.RestoreFlash(Range(0, 100, "data.bin")).outcome, Outcome::kCancelled);
  EXPECT_THAT(Codes(), IsEmpty());
  EXPECT_THAT(host_.messages, ElementsAre("Чтение данных из флеш-памяти отменено!",
                                          "Запись данных в флеш-память отменена!"));
}

// Ranges and repeat counts out of bounds are refused before anything is sent.
TEST_F(FlashTest, OutOfRangeInputsAreRefused) {
  Write(Path("data.bin"), Pattern(100));
  struct Case {
    std::int64_t start, count;
    int repeats;
  };
  const std::int64_t end = kFlashAddressEnd;
  const Case cases[] = {
      {-1, 10, 2}, {0, -1, 2}, {end, 0, 2}, {end - 10, 11, 2}, {0, INT64_MAX, 2}, {0, 10, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.start) + "+" + std::to_string(c.count));
    EXPECT_EQ(transfer_.DumpFlash(Range(c.start, c.count), c.repeats).outcome, Outcome::kRefused);
    if (c.repeats <= kMaxRepeats) {
      EXPECT_EQ(transfer_.RestoreFlash(Range(c.start, c.count, "data.bin")).outcome,
                Outcome::kRefused);
    }
  }
  EXPECT_THAT(Codes(), IsEmpty());
  EXPECT_THAT(host_.questions, IsEmpty());
}

// No second operation starts while one runs.
TEST_F(FlashTest, NoSecondTransferWhileOneRuns) {
  std::vector<Outcome> nested;
  host_.on_pump = [&] {
    if (nested.empty()) {
      nested.push_back(transfer_.EraseFlash("406172").outcome);
      nested.push_back(transfer_.DumpFlash(Range(0, 50, "other.bin"), 2).outcome);
    }
  };
  EXPECT_EQ(transfer_.DumpFlash(Range(0, 150), 2).outcome, Outcome::kDone);
  EXPECT_THAT(nested, ElementsAre(Outcome::kRefused, Outcome::kRefused));
  EXPECT_THAT(Texts(cmd::kClearFlash), IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(Path("other.bin")));
  EXPECT_EQ(Read(Path("dump.bin")), Pattern(150));
}

}  // namespace
}  // namespace tolvanet::transfer
