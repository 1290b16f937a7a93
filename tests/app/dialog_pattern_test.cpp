// Ending a command: what each kind of failure shows in each failure style, and what is stored.
#include "app/dialog_pattern.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/platform.h"
#include "link/commands.h"
#include "link/engine.h"

namespace tolvanet {
namespace {

class RecordingPlatform : public SilentPlatform {
 public:
  std::vector<std::string> messages;
  void Message(const std::string&, const std::string& text) override { messages.push_back(text); }
};

ReplyRecord Answer(const char* error, std::uint32_t flags = 0) {
  ReplyRecord r;
  r.command_code = 33;
  r.error_code = error;
  r.status_flags = flags;
  r.fields[0] = "091226";
  r.field_count = 1;
  return r;
}

TEST(JudgeCommand, EachFailureInEachStyle) {
  const ReplyCheck heading = ReplyCheck::Heading("Чтение даты:\n  ");
  const ReplyCheck fixed = ReplyCheck::Fixed("Ошибка чтения времени!");
  const ReplyCheck raw = ReplyCheck::RawCode("Чтение ID_DEV, код ошибки:\n  ");
  const ReplyCheck silent = ReplyCheck::Silent();
  const ReplyCheck own_timeout = ReplyCheck::Heading("X:\n  ").Timeout("Нет ответа при чтении!");
  struct Case {
    const char* name;
    ReplyRecord reply;
    const ReplyCheck& check;
    CommandOutcome outcome;
    std::string message;
  } const cases[] = {
      {"success", Answer("0000"), heading, CommandOutcome::kSucceeded, ""},
      {"device message", Answer("0006"), heading, CommandOutcome::kDeviceError,
       "Чтение даты:\n  Неверный пароль доступа!"},
      {"fixed text", Answer("0006"), fixed, CommandOutcome::kDeviceError, "Ошибка чтения времени!"},
      {"raw code", Answer("0A0B"), raw, CommandOutcome::kDeviceError,
       "Чтение ID_DEV, код ошибки:\n  0A0B"},
      {"silent", Answer("0006"), silent, CommandOutcome::kDeviceError, ""},
      {"time-out", Answer("", status_bits::kNoAnswer), heading, CommandOutcome::kTimeout,
       "Таймаут устройства! Ошибка!"},
      {"own time-out", Answer("", status_bits::kNoAnswer), own_timeout, CommandOutcome::kTimeout,
       "Нет ответа при чтении!"},
      {"silent time-out", Answer("", status_bits::kNoAnswer), silent, CommandOutcome::kTimeout, ""},
      {"time-out in fixed style", Answer("", status_bits::kNoAnswer), fixed,
       CommandOutcome::kTimeout, "Таймаут устройства! Ошибка!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CommandEnd end = JudgeCommand(33, 0, c.reply, c.check);
    EXPECT_EQ(end.outcome, c.outcome);
    EXPECT_EQ(end.message, c.message);
  }
}

TEST(JudgeCommand, DamagedAnswerIsNeverASuccess) {
  // A "0000" whose checksum did not match, and one behind a NAK, carry fields but fail.
  for (std::uint32_t bit : {status_bits::kChecksumError, status_bits::kNak}) {
    const ReplyRecord reply = Answer("0000", bit);
    for (const ReplyCheck& check : {ReplyCheck::Heading("H:\n  "), ReplyCheck::Silent()}) {
      const CommandEnd end = JudgeCommand(33, 0, reply, check);
      EXPECT_EQ(end.outcome, CommandOutcome::kDamaged);
      EXPECT_NE(end.message.find(bit == status_bits::kNak ? "NAK" : "контрольной суммы"),
                std::string::npos);
    }
  }
}

TEST(EndCommand, BuilderRefusalSaysWhichArgumentAndKeepsTheCurrentReply) {
  RecordingPlatform platform;
  SetPlatform(&platform);
  const ReplyRecord earlier = Answer("0000");
  TheAppState().current_reply = &earlier;
  bool before_test_ran = false;
  const ReplyRecord stale = Answer("0000");  // what a refusing builder hands back unchanged
  EXPECT_FALSE(EndCommand(cmd::kSellItem, refusal::kPrice, stale, ReplyCheck::Heading("H"),
                          [&](const ReplyRecord&) { before_test_ran = true; }));
  EXPECT_EQ(TheAppState().current_reply, &earlier);
  EXPECT_FALSE(before_test_ran);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], "Команда не отправлена: цена не может быть отрицательной.");
  // The same code means another argument for another command.
  EXPECT_EQ(BuilderRefusalMessage(cmd::kMakePayment, refusal::kPaymentType),
            "Команда не отправлена: тип оплаты должен быть от 0 до 9.");
  EXPECT_EQ(BuilderRefusalMessage(cmd::kMakePayment, refusal::kAmountNotFinite),
            "Команда не отправлена: сумма должна быть конечным числом.");
  EXPECT_NE(BuilderRefusalMessage(cmd::kSellItem, -999).find("-999"), std::string::npos);
  SetPlatform(nullptr);
}

TEST(EndCommand, StoresTheReplyAndRunsTheHookBeforeTheTest) {
  RecordingPlatform platform;
  SetPlatform(&platform);
  const ReplyRecord reply = Answer("0006");
  std::vector<std::string> order;
  platform.messages.clear();
  EXPECT_FALSE(EndCommand(33, 0, reply, ReplyCheck::Fixed("Ошибка!"), [&](const ReplyRecord& r) {
    EXPECT_EQ(TheAppState().current_reply, &r);
    EXPECT_TRUE(platform.messages.empty());  // the box is filled before the message shows
    order.push_back("hook");
  }));
  EXPECT_EQ(order.size(), 1u);
  EXPECT_EQ(platform.messages, std::vector<std::string>{"Ошибка!"});
  SetPlatform(nullptr);
}

TEST(EndCommand, LinkRefusalIsShownAsSuchNeverAsTimeout) {
  RecordingPlatform platform;
  SetPlatform(&platform);
  // No transport: the engine refuses; a text over 219 bytes is refused before that anyway.
  const ReplyRecord& reply = ExecuteCommand(33, std::string(300, 'x'));
  ASSERT_TRUE(reply.NoAnswer());
  for (const ReplyCheck& check : {ReplyCheck::Heading("H"), ReplyCheck::Silent()}) {
    platform.messages.clear();
    EXPECT_FALSE(EndCommand(33, 0, reply, check));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], TheEngine().refusal());
    EXPECT_NE(platform.messages[0].find("219"), std::string::npos);
  }
  SetPlatform(nullptr);
}

TEST(PaymentTypeCount, StaysWithinTheTypesAPaymentCanName) {
  const std::pair<const char*, int> cases[] = {{"", 10},  {"0", 10},     {"4", 4}, {"10", 10},
                                               {"-3", 1}, {"99999", 10}, {"1", 1}};
  for (const auto& [field, count] : cases) {
    ReplyRecord r;
    r.fields[10] = field;
    EXPECT_EQ(PaymentTypeCount(r), count) << field;
  }
}

TEST(FileFilters, WrittenWithBarsBecomeTheToolkitsAndMatchEitherCase) {
  EXPECT_EQ(ToolkitFilter("Файлы артикулов|*.ART"), "Файлы артикулов (*.ART *.art)");
  EXPECT_EQ(ToolkitFilter("Рисунки|*.bmp|Все файлы|*.*"), "Рисунки (*.bmp);;Все файлы (*.*)");
  EXPECT_EQ(ToolkitFilter("Скрипты (*.txt);;Все (*)"), "Скрипты (*.txt);;Все (*)");
  EXPECT_TRUE(FilterMatches("Файлы артикулов|*.ART", "goods.art"));
  EXPECT_TRUE(FilterMatches("Файлы артикулов|*.ART", "GOODS.ART"));
  EXPECT_FALSE(FilterMatches("Файлы артикулов|*.ART", "goods.txt"));
  EXPECT_TRUE(FilterMatches("Дамп|*.bin;*.BIN|Все|*.*", "x.dat"));
  EXPECT_TRUE(FilterMatches("Скрипты (*.txt *.TXT);;Все (*)", "a.sh"));
}

}  // namespace
}  // namespace tolvanet
