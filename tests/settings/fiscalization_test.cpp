// The fiscalization sequence: input checks, the command, the bounded wait for the register and
// the confirmation receipt, against a register without a socket.
#include "settings/fiscalization.h"

#include <gtest/gtest.h>

#include "link/codepage.h"
#include "link/engine.h"
#include "tests/script/fake_register.h"

namespace tolvanet {
namespace {

using testing::FakeAnswer;
using testing::FakeRegister;

// Records what the sequence shows; its clock moves only when the sequence pauses.
class RecordingHost : public FiscalizationHost {
 public:
  void ReplyReceived(const ReplyRecord& reply) override { codes.push_back(reply.error_code); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void WaitAttempt(int attempt, int attempts) override {
    attempts_seen.push_back(attempt);
    max_attempts = attempts;
    if (on_attempt)
      on_attempt(attempt);
  }
  bool StopRequested() override { return stop; }
  void Pause(int ms) override { now += ms; }
  std::int64_t NowMs() override { return now; }

  std::vector<std::string> codes;
  std::vector<std::string> messages;
  std::vector<int> attempts_seen;
  int max_attempts = 0;
  bool stop = false;
  std::int64_t now = 0;
  std::function<void(int)> on_attempt;
};

class FiscalizationTest : public ::testing::Test {
 protected:
  void SetUp() override { TheEngine().SetTransport(&reg); }
  void TearDown() override { TheEngine().SetTransport(nullptr); }

  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const auto& s : reg.sent)
      codes.push_back(s.code);
    return codes;
  }

  FiscalizationInput input{"406172", "SM000012345", "123456", "123456"};
  FakeRegister reg;
  RecordingHost host;
};

TEST_F(FiscalizationTest, InputsAreCheckedBeforeAnythingIsSent) {
  struct Case {
    FiscalizationInput in;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"406172", "SM000012345", "12345", "12345"}, "Довжина пароля - 6!"},
      {{"406172", "SM000012345", "123456", "12345"}, "Довжина пароля - 6!"},
      {{"406172", "SM000012345", "123456", "654321"},
       "Повторно зроби ввод паролей та фіскалізацію"},
      {{"406172", "", "123456", "123456"},
       "Заводський номер не введено! Фіскалізацію не виконано."},
      {{"406172", "SM00001", "123456", "123456"}, ""},
      // A short factory serial is the register's to judge, not ours.
      {{"406172", "AB123", "123456", "123456"}, ""},
      {{"406172", "1", "123456", "123456"}, ""},
      {{"406172", "SM0000123456", "123456", "123456"},
       "Заводський номер - не більше 11 символів! Фіскалізацію не виконано."},
      {{"406172", "SM;00012345", "123456", "123456"},
       "Поле \"Заводской номер ККМ\" не может содержать символ \";\" и управляющие символы. "
       "Ошибка!"},
      {{"406;72", "SM000012345", "123456", "123456"},
       "Поле \"Пароль\" не может содержать символ \";\" и управляющие символы. Ошибка!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in.serial_number + " " + c.in.inspector + " " + c.in.inspector_repeat);
    EXPECT_EQ(CheckFiscalizationInput(c.in), c.message);
  }
  EXPECT_EQ(RunFiscalization(cases[2].in, host), FiscalizationResult::kRefused);
  EXPECT_TRUE(reg.sent.empty());
  EXPECT_EQ(host.messages, std::vector<std::string>{cases[2].message});
}

TEST_F(FiscalizationTest, SuccessPrintsTheConfirmationReceipt) {
  EXPECT_EQ(RunFiscalization(input, host), FiscalizationResult::kDone);
  EXPECT_EQ(Codes(), (std::vector<int>{64, 128, 96, 132, 97, 101}));
  EXPECT_EQ(reg.sent[0].text, "406172;SM000012345;123456;");
  EXPECT_EQ(reg.sent[1].text, "406172;");
  EXPECT_EQ(reg.sent[4].text, "406172;" + ToCp1251("РЕЄСТРАТОР ФІСКАЛІЗОВАНО УСПІШНО!") + ";");
  EXPECT_EQ(reg.sent[5].text, "406172;0;");
  EXPECT_EQ(host.codes.size(), 6u);
  EXPECT_EQ(host.messages, std::vector<std::string>{"Фіскаліз. реєстратора - Успішно!"});
}

TEST_F(FiscalizationTest, WaitsWhileTheRegisterIsSilentThenGoesOn) {
  reg.answers[128] = FakeAnswer{"0000", "", true};
  host.on_attempt = [this](int attempt) {
    if (attempt == 3)
      reg.answers[128] = FakeAnswer{};
  };
  EXPECT_EQ(RunFiscalization(input, host), FiscalizationResult::kDone);
  EXPECT_EQ(Codes(), (std::vector<int>{64, 128, 128, 128, 96, 132, 97, 101}));
  EXPECT_EQ(host.attempts_seen, (std::vector<int>{1, 2, 3}));
}

TEST_F(FiscalizationTest, ARegisterThatStaysBusyEndsTheWait) {
  reg.answers[128] = FakeAnswer{"0000", "", true};
  FiscalizationWait wait;
  wait.attempts = 4;
  EXPECT_EQ(RunFiscalization(input, host, wait), FiscalizationResult::kNotConfirmed);
  EXPECT_EQ(Codes(), (std::vector<int>{64, 128, 128, 128, 128}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0],
            "Фіскалізацію виконано. Реєстратор не відповів.\n"
            "Квитанцію про фіскалізацію не надруковано.");

  // The time bound ends it as well: 2.5 s of pauses of 1 s allow three attempts.
  reg.sent.clear();
  host.messages.clear();
  wait.attempts = 100;
  wait.total_ms = 2500;
  EXPECT_EQ(RunFiscalization(input, host, wait), FiscalizationResult::kNotConfirmed);
  EXPECT_EQ(Codes(), (std::vector<int>{64, 128, 128, 128}));
}

TEST_F(FiscalizationTest, TheOperatorStopsTheWait) {
  reg.answers[128] = FakeAnswer{"0000", "", true};
  host.on_attempt = [this](int attempt) { host.stop = attempt == 2; };
  EXPECT_EQ(RunFiscalization(input, host), FiscalizationResult::kNotConfirmed);
  EXPECT_EQ(Codes(), (std::vector<int>{64, 128, 128}));
  EXPECT_EQ(host.messages, std::vector<std::string>{"Фіскалізацію виконано. Очікування реєстратора "
                                                    "перервано.\nКвитанцію про фіскалізацію не "
                                                    "надруковано."});
}

TEST_F(FiscalizationTest, TheWaitGoesOnThroughErrorCodes) {
  // A register that restarts may answer with an error code before it is ready.
  reg.answers[128] = FakeAnswer{"0006", ""};
  host.on_attempt = [this](int attempt) {
    if (attempt == 3)
      reg.answers[128] = FakeAnswer{};
  };
  EXPECT_EQ(RunFiscalization(input, host), FiscalizationResult::kDone);
  EXPECT_EQ(Codes(), (std::vector<int>{64, 128, 128, 128, 96, 132, 97, 101}));
  EXPECT_EQ(host.messages, std::vector<std::string>{"Фіскаліз. реєстратора - Успішно!"});

  // Error codes all along: asked up to the bound, then the last error is named.
  reg.sent.clear();
  host.messages.clear();
  host.on_attempt = nullptr;
  reg.answers[128] = FakeAnswer{"0006", ""};
  FiscalizationWait wait;
  wait.attempts = 4;
  EXPECT_EQ(RunFiscalization(input, host, wait), FiscalizationResult::kNotConfirmed);
  EXPECT_EQ(Codes(), (std::vector<int>{64, 128, 128, 128, 128}));
  EXPECT_EQ(host.messages,
            std::vector<std::string>{"Фіскалізацію виконано. Реєстратор не відповів успішно, "
                                     "остання відповідь - помилка 0006:\n  Неверный пароль "
                                     "доступа!\nКвитанцію про фіскалізацію не надруковано."});
}

TEST_F(FiscalizationTest, FailuresOfTheSequence) {
  struct Case {
    int failing_code;
    FiscalizationResult result;
    std::vector<int> codes;
    std::vector<std::string> messages;
  };
  const std::string wrong = "Неверный пароль доступа!";
  const std::vector<Case> cases = {
      {64, FiscalizationResult::kFailed, {64}, {"Фіскаліз. реєстратора:\n  " + wrong}},
      {96,
       FiscalizationResult::kReceiptFailed,
       {64, 128, 96},
       {"Фіскаліз. реєстратора:\n  " + wrong}},
      {132,
       FiscalizationResult::kDone,
       {64, 128, 96, 132, 97, 101},
       {"Фискализация регистратора:\n  " + wrong, "Фіскаліз. реєстратора - Успішно!"}},
      {97,
       FiscalizationResult::kReceiptFailed,
       {64, 128, 96, 132, 97},
       {"Фіскаліз. реєстратора:\n  " + wrong}},
      {101,
       FiscalizationResult::kReceiptFailed,
       {64, 128, 96, 132, 97, 101},
       {"Фіскаліз. реєстратора:\n  " + wrong}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing_code);
    reg.sent.clear();
    reg.answers.clear();
    reg.answers[c.failing_code] = FakeAnswer{"0006", ""};
    host.messages.clear();
    EXPECT_EQ(RunFiscalization(input, host), c.result);
    EXPECT_EQ(Codes(), c.codes);
    EXPECT_EQ(host.messages, c.messages);
  }
  // No answer, or a damaged one, to Fiscalize: the register may have done it. The message
  // keeps its heading and says to read the register's state before another try.
  const std::string may_be_done =
      "\nРеєстратор міг бути фіскалізований: перш ніж повторювати фіскалізацію, прочитайте "
      "його стан (статус).";
  reg.sent.clear();
  reg.answers[64] = FakeAnswer{"0000", "", true};
  host.messages.clear();
  EXPECT_EQ(RunFiscalization(input, host), FiscalizationResult::kFailed);
  EXPECT_EQ(host.messages,
            std::vector<std::string>{"Фіскаліз. реєстратора:\n  Таймаут устройства! Ошибка!" +
                                     may_be_done});
  reg.answers[64] = FakeAnswer{"0000", "", false, true};
  host.messages.clear();
  EXPECT_EQ(RunFiscalization(input, host), FiscalizationResult::kFailed);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(host.messages[0].starts_with("Фіскаліз. реєстратора:\n  ")) << host.messages[0];
  EXPECT_TRUE(host.messages[0].ends_with(may_be_done)) << host.messages[0];
}

}  // namespace
}  // namespace tolvanet
