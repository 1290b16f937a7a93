// Card payments end to end: the core's routine against the simulated terminal on a real
// pseudo-terminal and the simulated register over loopback TCP.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "link/codepage.h"
#include "link/commands.h"
#include "sales/card_payment.h"
#include "sales/card_terminal.h"
#include "sim/terminal.h"
#include "tests/sim/sim_fixture.h"

namespace tolvanet::sim::testing {
namespace {

namespace ct = card_terminal;
using std::chrono::milliseconds;

// Records what the routine tells its host; can stop the wait after a number of pumps.
struct RecordingHost : CardPaymentHost {
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ProcessPendingMessages() override {
    ++pumps;
    if (on_pump)
      on_pump();
  }
  bool CancelRequested() override { return cancel_after >= 0 && pumps >= cancel_after; }
  void StageChanged(CardStage stage) override { stages.push_back(stage); }
  void ReplyReceived(const ReplyRecord& reply) override { replies.push_back(reply.command_code); }

  std::vector<std::string> messages;
  std::vector<CardStage> stages;
  std::vector<int> replies;
  int pumps = 0;
  int cancel_after = -1;
  std::function<void()> on_pump;
};

std::string Fs(std::initializer_list<std::string_view> fields) {
  std::string out(1, ct::kStx);
  for (std::string_view f : fields) {
    if (out.size() > 1)
      out += ct::kFs;
    out.append(f);
  }
  return out;
}

class CardPaymentTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    TheEngine().SetTransport(&client_->link);
    ASSERT_TRUE(terminal_.Start()) << terminal_.error_text();
    // A receipt of 50.00 waiting for its payment.
    ASSERT_EQ(Code(cmd::kOpenFiscalReceipt, "406172;1;1;0;"), "0000");
    ASSERT_EQ(Code(cmd::kAddArticul, "406172;123;Bread;50.00;0;0;"), "0000");
    ASSERT_EQ(Code(cmd::kSellItem, "406172;123;1.000;50.00;"), "0000");
    reg_->ClearRequests();
    request_.amount_text = "12.34";
    request_.terminal = terminal_.device_path();
    request_.timings.read_limit = milliseconds(2000);
    request_.timings.step_limit = milliseconds(3000);
    request_.timings.pump_interval = milliseconds(5);
  }
  void TearDown() override {
    terminal_.Stop();
    TheEngine().SetTransport(nullptr);
  }

  CardPaymentResult Pay() { return RunCardPayment(request_, host_); }

  // The terminal's received messages once it has read `count` of them (the last
  // acknowledgement may still be on its way when the payment returns), or after two seconds.
  std::vector<std::string> Received(std::size_t count) const {
    for (int i = 0; i < 400 && terminal_.received().size() < count; ++i)
      std::this_thread::sleep_for(milliseconds(5));
    return terminal_.received();
  }

  // The register's requests as "code text".
  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    for (const Request& r : reg_->requests())
      out.push_back(std::to_string(r.code) + " " + r.text);
    return out;
  }
  bool CardPaymentSent() const {
    for (const Request& r : reg_->requests()) {
      if (r.code == cmd::kCardPayment)
        return true;
    }
    return false;
  }

  Terminal terminal_;
  CardPaymentRequest request_;
  RecordingHost host_;
};

const std::vector<std::string> kSignatureLines = {
    "97 406172;" + ToCp1251("ПІДПИС") + ";",
    "97 406172;" + ToCp1251("КАСИРА . . . . . . . . ") + ";",
    "97 406172;" + ToCp1251("ПІДПИС") + ";",
    "97 406172;" + ToCp1251("КЛІЄНТА. . . . . . . . ") + ";",
};

std::vector<std::string> HappyRequests(const std::string& amount, const std::string& id) {
  std::vector<std::string> out = {
      "128 406172;",
      "97 406172;VISA CARD;",
      "97 406172;**** **** 1234 5678;",
      "97 406172;TERMINAL T1000001 AUTH OK;",
      "120 406172;1;" + amount + ";" + id + ";",
  };
  out.insert(out.end(), kSignatureLines.begin(), kSignatureLines.end());
  return out;
}

TEST_F(CardPaymentTest, HappyPathChargesTheTerminalAndRegistersWithCardAndSignatureLines) {
  CardPaymentResult r = Pay();
  EXPECT_EQ(r.outcome, CardOutcome::kRegistered) << r.message;
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(r.amount, "12.34");
  EXPECT_EQ(r.terminal_amount, "1234");
  EXPECT_EQ(r.transaction_id, "410000000001");
  ASSERT_TRUE(r.card_payment_reply);
  EXPECT_EQ(r.card_payment_reply->error_code, "0000");

  const std::vector<std::string> expected_terminal = {
      "\x12",
      "\x06",
      Fs({"00=100001", "03=S", "05=1234", "52=980", "53=UAH", "61=1"}),
      "\x06",
  };
  EXPECT_EQ(Received(4), expected_terminal);
  EXPECT_EQ(Sent(), HappyRequests("12.34", "410000000001"));
  EXPECT_EQ(reg_->State().receipt.card_transactions, std::vector<std::string>{"410000000001"});
  EXPECT_EQ(host_.replies.size(), 9u);
  EXPECT_EQ(host_.stages,
            (std::vector<CardStage>{CardStage::kOpening, CardStage::kCardData, CardStage::kRequest,
                                    CardStage::kResult, CardStage::kRegistering}));
}

TEST_F(CardPaymentTest, InputLeftOnThePortBeforeThePaymentIsDropped) {
  // An acknowledgement and a result from an earlier exchange wait in the port's input.
  const std::string stale = ct::Acknowledgement() + ct::Message(Fs({"00=1", "58=OLD"}));
  const int probe = ::open(terminal_.device_path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(probe, 0);
  terminal_.SendRaw(stale);
  int waiting = 0;
  for (int i = 0; i < 400 && waiting < static_cast<int>(stale.size()); ++i) {
    std::this_thread::sleep_for(milliseconds(5));
    ASSERT_EQ(::ioctl(probe, FIONREAD, &waiting), 0);
  }
  ::close(probe);
  ASSERT_EQ(waiting, static_cast<int>(stale.size()));
  CardPaymentResult r = Pay();
  EXPECT_EQ(r.outcome, CardOutcome::kRegistered) << r.message;
  EXPECT_EQ(r.transaction_id, "410000000001");
}

TEST_F(CardPaymentTest, TheTerminalIsChargedTheAmountThatIsRegistered) {
  struct Case {
    const char* typed;
    const char* tag05;
    const char* registered;
  };
  const Case cases[] = {
      {"12.34", "1234", "12.34"},   {"12", "1200", "12.00"}, {"12.3", "1230", "12.30"},
      {" 12.34 ", "1234", "12.34"}, {"0.05", "5", "0.05"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    terminal_.ClearReceived();
    reg_->ClearRequests();
    request_.amount_text = c.typed;
    request_.no_card_lines = true;
    CardPaymentResult r = Pay();
    ASSERT_EQ(r.outcome, CardOutcome::kRegistered) << r.message;
    const std::vector<std::string> got = Received(4);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(ct::FindTag(got[2], "05"), c.tag05);
    EXPECT_EQ(Sent().back(),
              "120 406172;1;" + std::string(c.registered) + ";" + r.transaction_id + ";");
  }
}

TEST_F(CardPaymentTest, ATerminalThatFailsBeforeItChargesLeavesTheRegisterUntouched) {
  using S = TerminalBehaviour::Silence;
  using W = TerminalBehaviour::WrongAck;
  struct Case {
    const char* name;
    std::function<void(TerminalBehaviour&)> fault;
    CardOutcome outcome;
    const char* detail;             // part of the message's second line
    std::size_t terminal_messages;  // received by the terminal
  };
  const Case cases[] = {
      {"silent", [](TerminalBehaviour& b) { b.silence = S::kOpening; }, CardOutcome::kTerminalError,
       "подтверждение открытие обмена", 1},
      {"no card", [](TerminalBehaviour& b) { b.silence = S::kCardData; },
       CardOutcome::kTerminalError, "данные карты", 1},
      {"no result", [](TerminalBehaviour& b) { b.silence = S::kResult; },
       CardOutcome::kTerminalError, "результат оплаты", 3},
      {"wrong opening ack", [](TerminalBehaviour& b) { b.wrong_ack = W::kOpening; },
       CardOutcome::kTerminalError, "не подтвердил открытие обмена", 1},
      {"wrong request ack", [](TerminalBehaviour& b) { b.wrong_ack = W::kRequest; },
       CardOutcome::kTerminalError, "не подтвердил запрос оплаты", 3},
      {"decline", [](TerminalBehaviour& b) { b.decline = true; }, CardOutcome::kDeclined,
       "отклонил оплату", 4},
      {"oversized", [](TerminalBehaviour& b) { b.oversized_body = true; },
       CardOutcome::kTerminalError, "не более 999", 1},
      {"no tag 00", [](TerminalBehaviour& b) { b.missing_tags = {"00"}; },
       CardOutcome::kTerminalError, "нет поля 00", 2},
      {"empty tag 58", [](TerminalBehaviour& b) { b.missing_tags = {"58"}; },
       CardOutcome::kDeclined, "отклонил оплату", 4},
  };
  request_.timings.read_limit = milliseconds(300);
  request_.timings.step_limit = milliseconds(400);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    terminal_.SetBehaviour({});
    terminal_.ChangeBehaviour(c.fault);
    terminal_.ClearReceived();
    reg_->ClearRequests();
    host_ = {};
    CardPaymentResult r = Pay();
    EXPECT_EQ(r.outcome, c.outcome);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].rfind(std::string(kCardErrorMessage) + "\n", 0), 0u)
        << host_.messages[0];
    EXPECT_NE(host_.messages[0].find(c.detail), std::string::npos) << host_.messages[0];
    EXPECT_FALSE(r.charged);
    EXPECT_EQ(Sent(), std::vector<std::string>{"128 406172;"});
    EXPECT_EQ(Received(c.terminal_messages).size(), c.terminal_messages);
  }
}

TEST_F(CardPaymentTest, UntrustedButUsableTerminalMessagesStillGiveTheSameReceipt) {
  const std::function<void(TerminalBehaviour&)> variants[] = {
      [](TerminalBehaviour& b) { b.one_byte_pieces = true; },
      [](TerminalBehaviour& b) { b.no_final_fs = true; },
      [](TerminalBehaviour& b) { b.extra_tags = true; },
  };
  int n = 0;
  for (const auto& variant : variants) {
    SCOPED_TRACE(n++);
    terminal_.SetBehaviour({});
    terminal_.ChangeBehaviour(variant);
    reg_->ClearRequests();
    reg_->ChangeState([](RegisterState& s) { s.receipt.paid = 0; });
    CardPaymentResult r = Pay();
    ASSERT_EQ(r.outcome, CardOutcome::kRegistered) << r.message;
    EXPECT_EQ(Sent(), HappyRequests("12.34", r.transaction_id));
  }
}

TEST_F(CardPaymentTest, CardLinesOfMissingTagsAreLeftOutAndShortNumbersPrintedAsTheyAre) {
  // The card data is 19 bytes long: its length byte is XOFF, which only a raw port passes on.
  terminal_.ChangeBehaviour([](TerminalBehaviour& b) {
    b.missing_tags = {"02", "04"};
    b.card_tail = "1234";
  });
  CardPaymentResult r = Pay();
  ASSERT_EQ(r.outcome, CardOutcome::kRegistered) << r.message;
  std::vector<std::string> expected = {"128 406172;", "97 406172;**** **** 1234;",
                                       "120 406172;1;12.34;" + r.transaction_id + ";"};
  expected.insert(expected.end(), kSignatureLines.begin(), kSignatureLines.end());
  EXPECT_EQ(Sent(), expected);
}

TEST_F(CardPaymentTest, CardDataWithACommandSeparatorIsRefusedBeforeTheCardIsCharged) {
  terminal_.ChangeBehaviour([](TerminalBehaviour& b) { b.card_line = "AUTH;99"; });
  CardPaymentResult r = Pay();
  EXPECT_EQ(r.outcome, CardOutcome::kTerminalError);
  EXPECT_NE(r.message.find("поле 02"), std::string::npos) << r.message;
  EXPECT_EQ(Received(2).size(), 2u);  // opening and the card data's acknowledgement
  EXPECT_TRUE(terminal_.payments().empty());
  EXPECT_FALSE(CardPaymentSent());
}

TEST_F(CardPaymentTest, ARefusedCardPaymentAfterTheChargeNamesTheTransaction) {
  request_.amount_text = "60.00";  // more than the receipt's 50.00: no change on a card
  CardPaymentResult r = Pay();
  EXPECT_EQ(r.outcome, CardOutcome::kRegisterError);
  EXPECT_TRUE(r.charged);
  ASSERT_TRUE(r.card_payment_reply);
  EXPECT_NE(r.card_payment_reply->error_code, "0000");
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].rfind(std::string(kCardRegisterErrorMessage), 0), 0u);
  EXPECT_NE(host_.messages[0].find("410000000001"), std::string::npos) << host_.messages[0];
  // The card lines went out before CardPayment; no signature lines after its refusal.
  std::vector<std::string> expected = HappyRequests("60.00", "410000000001");
  expected.resize(5);
  EXPECT_EQ(Sent(), expected);
}

TEST_F(CardPaymentTest, ACardPaymentThatFailsAfterTheChargeNamesTheTransaction) {
  using K = AimedFault::Kind;
  struct Case {
    const char* name;
    AimedFault fault;
    std::string message;   // how the message starts
    bool outcome_unknown;  // the register may have taken the payment: the message says so
  };
  const Case cases[] = {
      {"no answer",
       {.kind = K::kNoAnswer, .code = cmd::kCardPayment},
       std::string(kCardTimeoutMessage),
       true},
      {"damaged answer",
       {.kind = K::kBadChecksum, .code = cmd::kCardPayment},
       "Ответ регистратора повреждён",
       true},
      {"refused",
       {.error = err::kPayModeDisabled, .code = cmd::kCardPayment},
       std::string(kCardRegisterErrorMessage),
       false},
  };
  request_.no_card_lines = true;
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reg_->AimFault(c.fault);
    host_ = {};
    CardPaymentResult r = Pay();
    const std::string id = std::to_string(410000000001LL + n++);
    EXPECT_EQ(r.outcome, CardOutcome::kRegisterError);
    EXPECT_TRUE(r.charged);
    EXPECT_EQ(r.transaction_id, id);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].rfind(c.message, 0), 0u) << host_.messages[0];
    EXPECT_NE(host_.messages[0].find(id), std::string::npos) << host_.messages[0];
    EXPECT_EQ(host_.messages[0].find("могла быть зарегистрирована") != std::string::npos,
              c.outcome_unknown)
        << host_.messages[0];
  }
}

TEST_F(CardPaymentTest, WithoutCardLinesOnlyCardPaymentGoesToTheRegister) {
  request_.no_card_lines = true;
  CardPaymentResult r = Pay();
  ASSERT_EQ(r.outcome, CardOutcome::kRegistered) << r.message;
  EXPECT_EQ(Sent(), (std::vector<std::string>{"128 406172;", "120 406172;1;12.34;410000000001;"}));
}

TEST_F(CardPaymentTest, TypedIdentifierPathRegistersWithoutTheTerminalAndReportsItsOutcome) {
  request_.use_typed_transaction = true;
  request_.terminal = "/nonexistent/port";  // never opened on this path
  request_.transaction_id = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  CardPaymentResult r = Pay();
  ASSERT_EQ(r.outcome, CardOutcome::kRegistered) << r.message;
  EXPECT_EQ(Sent(), std::vector<std::string>{"120 406172;1;12.34;ABCDEFGHIJKLMNOPQRST;"});
  EXPECT_TRUE(terminal_.received().empty());

  reg_->ClearRequests();
  request_.payment_type = 5;  // not a card type on the register
  r = Pay();
  EXPECT_EQ(r.outcome, CardOutcome::kRegisterError);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].rfind(std::string(kCardRegisterErrorMessage), 0), 0u);
  EXPECT_EQ(host_.messages[0].find("идентификатор"), std::string::npos);  // nothing was charged
}

TEST_F(CardPaymentTest, RefusedInputsSendNothingAnywhere) {
  struct Case {
    const char* name;
    std::function<void(CardPaymentRequest&)> change;
  };
  const Case cases[] = {
      {"empty amount", [](CardPaymentRequest& q) { q.amount_text = ""; }},
      {"zero", [](CardPaymentRequest& q) { q.amount_text = "0"; }},
      {"rounds to zero", [](CardPaymentRequest& q) { q.amount_text = "0.004"; }},
      {"negative", [](CardPaymentRequest& q) { q.amount_text = "-1.00"; }},
      {"not a number", [](CardPaymentRequest& q) { q.amount_text = "12,34abc"; }},
      {"cash type", [](CardPaymentRequest& q) { q.payment_type = 0; }},
      {"password with separator", [](CardPaymentRequest& q) { q.password = "406172;1"; }},
      {"empty typed identifier",
       [](CardPaymentRequest& q) {
         q.use_typed_transaction = true;
         q.transaction_id = "";
       }},
      {"typed identifier with separator",
       [](CardPaymentRequest& q) {
         q.use_typed_transaction = true;
         q.transaction_id = "12;34";
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CardPaymentRequest q = request_;
    c.change(q);
    host_ = {};
    CardPaymentResult r = RunCardPayment(q, host_);
    EXPECT_EQ(r.outcome, CardOutcome::kRefusedInput);
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_TRUE(reg_->requests().empty());
    EXPECT_TRUE(terminal_.received().empty());
  }
}

TEST_F(CardPaymentTest, AReturnReceiptIsNeverChargedThroughTheTerminal) {
  reg_->OpenReceipt(DocKind::kReturn);
  CardPaymentResult r = Pay();
  EXPECT_EQ(r.outcome, CardOutcome::kReturnReceipt);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(host_.messages[0].find("идентификатору транзакции"), std::string::npos);
  EXPECT_TRUE(terminal_.received().empty());
  EXPECT_EQ(Sent(), std::vector<std::string>{"128 406172;"});
}

TEST_F(CardPaymentTest, NoCardIsChargedWithoutASaleWaitingForItsPayment) {
  struct Case {
    const char* name;
    std::function<void(sim::Register&)> state;
  } const cases[] = {
      {"no receipt",
       [](sim::Register& r) { r.ChangeState([](RegisterState& s) { s.receipt = {}; }); }},
      {"nothing sold yet",
       [](sim::Register& r) {
         r.ChangeState([](RegisterState& s) { s.receipt = {}; });
         r.OpenReceipt(DocKind::kSale);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.state(*reg_);
    reg_->ClearRequests();
    host_ = {};
    CardPaymentResult r = Pay();
    EXPECT_EQ(r.outcome, CardOutcome::kNoReceipt);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_NE(host_.messages[0].find("карта не списана"), std::string::npos);
    EXPECT_TRUE(terminal_.received().empty());
    EXPECT_EQ(Sent(), std::vector<std::string>{"128 406172;"});
  }
}

TEST_F(CardPaymentTest, ThePortComesWholeFromTheConfigurationAndABadOneIsNamed) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("tolvanet_card_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto link = dir / "bank-terminal-on-a-long-device-name";
  std::filesystem::remove(link);
  std::filesystem::create_symlink(terminal_.device_path(), link);
  const std::string config = (dir / "fpinit.ini").string();
  auto write_config = [&](const std::string& terminal) {
    std::ofstream(config) << "[Communication]\r\nTerminal=" << terminal << "\r\n";
  };
  request_.terminal.reset();
  request_.config_path = config;
  request_.no_card_lines = true;

  write_config(link.string());
  CardPaymentResult r = Pay();
  EXPECT_EQ(r.outcome, CardOutcome::kRegistered) << r.message;

  struct Case {
    std::string terminal;
    std::string named;
  };
  const Case cases[] = {{"", "Terminal"}, {(dir / "missing-port").string(), "missing-port"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.terminal);
    write_config(c.terminal);
    host_ = {};
    reg_->ClearRequests();
    r = Pay();
    EXPECT_EQ(r.outcome, CardOutcome::kTerminalError);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_NE(host_.messages[0].find(c.named), std::string::npos) << host_.messages[0];
    EXPECT_FALSE(CardPaymentSent());
  }
  std::filesystem::remove_all(dir);
}

TEST_F(CardPaymentTest, TheOperatorCancelsTheWaitForTheCard) {
  terminal_.ChangeBehaviour(
      [](TerminalBehaviour& b) { b.silence = TerminalBehaviour::Silence::kCardData; });
  request_.timings.step_limit = milliseconds(60000);  // only the cancel ends this wait
  host_.cancel_after = 20;
  // The port is held exclusively while the payment waits, and released when it ends.
  const int probe = ::open(terminal_.device_path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(probe, 0);
  auto exclusive = [probe] {
    int on = -1;
    return ::ioctl(probe, TIOCGEXCL, &on) == 0 ? on : -1;
  };
  int exclusive_while_waiting = -1;
  host_.on_pump = [&] { exclusive_while_waiting = exclusive(); };
  CardPaymentResult r = Pay();
  EXPECT_EQ(exclusive_while_waiting, 1);
  EXPECT_EQ(exclusive(), 0);
  ::close(probe);
  EXPECT_EQ(r.outcome, CardOutcome::kCancelled);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(host_.messages[0].find("прервана"), std::string::npos);
  EXPECT_GE(host_.pumps, 20);  // the window was kept painted while it waited
  EXPECT_FALSE(CardPaymentSent());
  // The port was closed: the next payment opens it again.
  host_ = {};
  terminal_.SetBehaviour({});
  EXPECT_EQ(Pay().outcome, CardOutcome::kRegistered);
}

TEST_F(CardPaymentTest, TheRegisterTakesNoCardPaymentOfTheContainerType) {
  EXPECT_EQ(Code(cmd::kCardPayment, "406172;5;1.00;T1;"), "0104");
  EXPECT_EQ(Code(cmd::kCardPayment, "406172;3;1.00;T1;"), "0000");
}

}  // namespace
}  // namespace tolvanet::sim::testing
