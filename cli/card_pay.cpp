// card-pay: a card payment on the receipt the register has open, through the bank terminal or
// under a given transaction identifier, on the same routine as the receipt window.
#include <csignal>
#include <iostream>

#include "app/config.h"
#include "cli/cli.h"
#include "cli/json.h"
#include "link/codepage.h"
#include "link/device_errors.h"
#include "sales/card_payment.h"

namespace tolvanet::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
  interrupted = 1;
}

const char* OutcomeName(CardOutcome outcome) {
  switch (outcome) {
    case CardOutcome::kRegistered:
      return "registered";
    case CardOutcome::kRefusedInput:
      return "refused_input";
    case CardOutcome::kReturnReceipt:
      return "return_receipt";
    case CardOutcome::kNoReceipt:
      return "no_receipt";
    case CardOutcome::kTerminalError:
      return "terminal_error";
    case CardOutcome::kDeclined:
      return "declined";
    case CardOutcome::kCancelled:
      return "cancelled";
    case CardOutcome::kRegisterError:
      return "register_error";
  }
  return "";
}

// Messages and stages on stderr; Ctrl-C stops the wait for the terminal.
class TerminalHost : public CardPaymentHost {
 public:
  explicit TerminalHost(bool quiet) : quiet_(quiet) {}
  void ShowMessage(const std::string& text) override { std::cerr << text << "\n"; }
  bool CancelRequested() override { return interrupted != 0; }
  void StageChanged(CardStage stage) override {
    if (!quiet_)
      std::cerr << CardStageText(stage) << "\n";
  }

 private:
  bool quiet_;
};

}  // namespace

int RunCardPay(GlobalOptions& options, const CardPayOptions& pay) {
  CardPaymentRequest request;
  const std::optional<std::string> password = OptionText(pay.password, "card-pay: в пароле");
  if (!password)
    return kExitUsage;
  request.password = *password;
  request.payment_type = pay.type;
  request.amount_text = pay.amount;
  request.no_card_lines = pay.no_card_lines;
  if (pay.transaction) {
    request.use_typed_transaction = true;
    const std::optional<std::string> transaction =
        OptionText(*pay.transaction, "card-pay: в идентификаторе транзакции");
    if (!transaction)
      return kExitUsage;
    request.transaction_id = *transaction;
  }
  request.terminal = pay.terminal;
  request.config_path = CurrentConfigPath();
  if (pay.wait_seconds > 0) {
    request.timings.step_limit =
        std::chrono::milliseconds(static_cast<long long>(pay.wait_seconds * 1000));
  }

  Session session;
  if (int rc = session.Open(options); rc != kExitOk)
    return rc;

  interrupted = 0;
  struct sigaction action {};
  struct sigaction previous {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous);
  TerminalHost host(options.json);
  const CardPaymentResult result = RunCardPayment(request, host);
  sigaction(SIGINT, &previous, nullptr);

  if (options.json) {
    std::string line = "{\"outcome\":" + JsonString(OutcomeName(result.outcome)) +
                       ",\"transaction\":" + JsonString(FromCp1251(result.transaction_id)) +
                       ",\"amount\":" + JsonString(result.amount) +
                       ",\"terminal_amount\":" + JsonString(result.terminal_amount) +
                       ",\"charged\":" + (result.charged ? "true" : "false") +
                       ",\"message\":" + JsonString(result.message) + ",\"reply\":";
    if (result.card_payment_reply) {
      std::string device_message;
      DeviceErrorMessage(*result.card_payment_reply, device_message);
      line += ReplyJson(*result.card_payment_reply, device_message);
    } else {
      line += "null";
    }
    std::cout << line << "}\n";
  } else if (result.Succeeded()) {
    std::cout << "Оплата банковской картой зарегистрирована: " << result.amount
              << ", идентификатор транзакции " << TerminalText(result.transaction_id) << "\n";
  }
  if (result.card_payment_reply && !options.json) {
    std::cout << "Код ошибки: " << TerminalText(result.card_payment_reply->error_code) << "\n";
  }
  if (result.Succeeded())
    return kExitOk;
  return result.outcome == CardOutcome::kRefusedInput ? kExitUsage : kExitFailed;
}

}  // namespace tolvanet::cli
