// The firmware read-out against the simulated register.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/commands.h"
#include "tests/transfer/transfer_fixture.h"

namespace tolvanet::transfer {
namespace {

using ::testing::ElementsAre;
class FirmwareTest : public testing::TransferTest {};

constexpr char kDone[] = "Чтение внутреннего ПО - успешно!";
constexpr char kSequence[] = "Ошибка последовательного номера пакета - чтение остановлено!";

std::string ImageOf(const sim::Register& reg) {
  const auto image = reg.FirmwareImage();
  return std::string(image.begin(), image.end());
}

TEST(DecodePacketTest, EscapesAndTheLoneTrailingBackslash) {
  struct Case {
    std::string text;
    std::optional<std::string> bytes;
  };
  const Case cases[] = {
      {"A\\[", std::string("\x41\x1B")},
      {"\\@", std::string(1, '\0')},
      {"\\{", std::string("\x3B")},
      {"\\\x9C", std::string("\x5C")},
      {"\\ ", std::string("\xE0")},  // below 0x40: modulo 256
      {"\\\\", std::string("\x1C")},
      {"", std::string()},
      {"A\\", std::nullopt},
      {"\\\\\\", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecodePacket(c.text), c.bytes) << c.text;
}

TEST_F(FirmwareTest, FirmwareReadIsByteIdenticalToTheImage) {
  const std::string path = Path("fw.hex");
  const TransferResult r = transfer_.ReadFirmware("406172", path);
  EXPECT_EQ(r.outcome, Outcome::kDone);
  EXPECT_THAT(host_.messages, ElementsAre(kDone));
  EXPECT_EQ(Read(path), ImageOf(*reg_));
  EXPECT_EQ(r.progress.done, 16384);
  EXPECT_EQ(r.progress.total, 16384);
  EXPECT_THAT(Texts(cmd::kSetDataSource), ElementsAre("406172;5;;;"));
  // One more request than packets: the empty one ends the data.
  EXPECT_EQ(static_cast<int>(Texts(cmd::kReadDataFromBuf).size()), r.progress.blocks + 1);
  EXPECT_EQ(host_.progress.back().done, 16384);
}

TEST_F(FirmwareTest, FirmwareOfSizeZeroCreatesNoFile) {
  reg_->ChangeState([](sim::RegisterState& s) { s.firmware_size = 0; });
  const std::string path = Path("fw.hex");
  EXPECT_EQ(transfer_.ReadFirmware("406172", path).outcome, Outcome::kDone);
  EXPECT_THAT(host_.messages, ElementsAre("Нет данных!"));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_THAT(Codes(), ElementsAre(cmd::kSetDataSource));
}

// Packets that break the numbering or the escaping end the read; the file keeps the packets
// before them.
TEST_F(FirmwareTest, BadPacketsStopTheReadKeepingEarlierPackets) {
  struct Case {
    const char* what;
    int packet;  // the packet answered wrongly (0-based)
    std::function<void(std::string&)> rewrite;
    std::string message;
  };
  const auto number = [](const char* n) {
    return [n](std::string& data) { data = n + data.substr(data.find(';')); };
  };
  const Case cases[] = {
      {"renumbered first", 0, number("1"), kSequence},
      {"repeated", 1, number("0"), kSequence},
      {"skipped", 1, number("2"), kSequence},
      {"not all digits", 1, number("1a"), kSequence},
      {"empty number", 1, number(""), kSequence},
      {"lone backslash", 2,
       [](std::string& data) { data = data.substr(0, data.size() - 1) + "\\;"; },
       "Пакет данных повреждён (обрывается на символе \"\\\") - чтение остановлено!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host_.messages.clear();
    int packets = 0;
    Rewrite(cmd::kReadDataFromBuf, [&](std::string& data) {
      if (packets++ == c.packet)
        c.rewrite(data);
    });
    const std::string path = Path("fw.hex");
    const TransferResult r = transfer_.ReadFirmware("406172", path);
    EXPECT_EQ(r.outcome, Outcome::kFailed);
    EXPECT_THAT(host_.messages, ElementsAre(c.message));
    EXPECT_EQ(r.progress.blocks, c.packet);
    EXPECT_EQ(Read(path), ImageOf(*reg_).substr(0, r.progress.done));
  }
}

// The announced size only scales the progress: the empty packet alone ends the data, so a
// register that sends far more than it announced is read whole.
TEST_F(FirmwareTest, MoreThanTwiceTheAnnouncedSizeIsReadWhole) {
  Rewrite(cmd::kSetDataSource, [](std::string& data) { data = "400;"; });
  const std::string path = Path("fw.hex");
  const TransferResult r = transfer_.ReadFirmware("406172", path);
  EXPECT_EQ(r.outcome, Outcome::kDone);
  EXPECT_THAT(host_.messages, ElementsAre(kDone));
  ASSERT_GT(ImageOf(*reg_).size(), 2u * 400);
  EXPECT_EQ(Read(path), ImageOf(*reg_));
  EXPECT_EQ(r.progress.total, 400);
  EXPECT_EQ(r.progress.done, static_cast<std::int64_t>(ImageOf(*reg_).size()));
}

// A failed reply mid-transfer ends it with the device's message; nothing of it reaches the file.
TEST_F(FirmwareTest, FailedPacketEndsTheRead) {
  struct Case {
    const char* what;
    std::function<void(sim::Register&)> arm;
    std::string message;
  };
  const Case cases[] = {
      {"device error", [](sim::Register& r) { r.SetNextError(0x0201); }, ""},
      {"time-out",
       [](sim::Register& r) { r.ChangeFaults([](sim::Faults& f) { f.no_answer = true; }); },
       "ReadDataFromBuf ошибка:\n  Таймаут устройства! Ошибка!"},
      {"damaged answer",
       [](sim::Register& r) { r.ChangeFaults([](sim::Faults& f) { f.corrupt_checksum = true; }); },
       "ReadDataFromBuf ошибка:\n  Ответ регистратора повреждён (ошибка контрольной суммы): данные "
       "ответа не использованы. Ошибка!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reg_->SetFaults(sim::Faults{.syn_interval_ms = 1});
    host_.messages.clear();
    host_.on_reply = [&](const ReplyRecord& reply) {
      if (reply.command_code == cmd::kReadDataFromBuf && reply.Field(0) == "2")
        c.arm(*reg_);
    };
    const std::string path = Path("fw.hex");
    const TransferResult r = transfer_.ReadFirmware("406172", path);
    EXPECT_EQ(r.outcome, Outcome::kFailed);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_THAT(host_.messages[0], ::testing::StartsWith("ReadDataFromBuf ошибка:\n  "));
    if (!c.message.empty()) {
      EXPECT_EQ(host_.messages[0], c.message);
    }
    EXPECT_EQ(r.progress.blocks, 3);
    EXPECT_EQ(Read(path), ImageOf(*reg_).substr(0, r.progress.done));
    reg_->SetFaults(sim::Faults{.syn_interval_ms = 1});
    link_->CloseLink();
    ASSERT_TRUE(link_->OpenLink());
    ASSERT_TRUE(IsReadyAnswer(link_->RegisterDevice().answer));
  }
}

TEST_F(FirmwareTest, FirmwareStopKeepsThePacketsRead) {
  host_.on_pump = [&] {
    if (host_.pumps == 4)
      transfer_.RequestStop();
  };
  const std::string path = Path("fw.hex");
  const TransferResult r = transfer_.ReadFirmware("406172", path);
  EXPECT_EQ(r.outcome, Outcome::kStopped);
  EXPECT_THAT(host_.messages, ElementsAre("Чтение остановлено по запросу пользователя!"));
  EXPECT_EQ(r.progress.blocks, 3);
  EXPECT_EQ(Read(path), ImageOf(*reg_).substr(0, r.progress.done));
  EXPECT_EQ(Texts(cmd::kReadDataFromBuf).size(), 3u);
}

// A target that cannot be created or written never ends with the success message.
TEST_F(FirmwareTest, UnwritableFirmwareTargetFails) {
  const std::string missing = Path("no/such/dir/fw.hex");
  TransferResult r = transfer_.ReadFirmware("406172", missing);
  EXPECT_EQ(r.outcome, Outcome::kFailed);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_THAT(host_.messages[0], ::testing::StartsWith("Не удалось создать файл "));
  EXPECT_THAT(Codes(), ElementsAre(cmd::kSetDataSource));  // no data command

  if (std::filesystem::exists("/dev/full")) {
    host_.messages.clear();
    r = transfer_.ReadFirmware("406172", "/dev/full");
    EXPECT_EQ(r.outcome, Outcome::kFailed);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_THAT(host_.messages[0], ::testing::StartsWith("Ошибка записи в файл /dev/full"));
    EXPECT_EQ(r.progress.done, 0);
  }
}

}  // namespace
}  // namespace tolvanet::transfer
