// A card payment in the open fiscal receipt: through the bank terminal on a serial port (card
// data, payment request, result, card lines, CardPayment, signature lines), or registered under
// a transaction identifier the operator typed. One routine for the receipt window and the
// command-line tool; they differ only in their host.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "link/reply.h"
#include "link/translate.h"

namespace tolvanet {

// The operator's messages of a card payment (UTF-8, original texts: translated where they are
// used). Messages with details start with one of these and add a line that says what happened.
inline constexpr std::string_view kCardErrorMessage = TrNoop("Ошибка оплаты банковской картой!");
inline constexpr std::string_view kCardTimeoutMessage =
    TrNoop("Таймаут устройства! Ошибка оплаты банковской картой!");
inline constexpr std::string_view kCardRegisterErrorMessage =
    TrNoop("Ошибка оплаты чека банковской картой");

// The waiting limits of the terminal exchange. The defaults are for a real terminal; tests
// shorten them.
struct CardTerminalTimings {
  // One read: the opening acknowledgement, and the rest of a message once its first byte came.
  std::chrono::milliseconds read_limit{20000};
  // Waiting for the first byte of the card data, the request acknowledgement and the result:
  // the customer presents the card and types the PIN meanwhile.
  std::chrono::milliseconds step_limit{180000};
  // How often the host's pending messages are handled while the link waits.
  std::chrono::milliseconds pump_interval{50};
};

// Where the payment is; the host may show it (a status line) while it waits.
enum class CardStage {
  kOpening,      // opening request sent, waiting for the terminal's acknowledgement
  kCardData,     // waiting for the card (the customer presents it)
  kRequest,      // payment request sent, waiting for its acknowledgement
  kResult,       // waiting for the result (PIN, bank authorisation)
  kRegistering,  // card lines, CardPayment and signature lines go to the register
};

// What a status line shows for a stage (UTF-8), e.g. "Ожидание карты...".
std::string CardStageText(CardStage stage);

// What the routine needs from the window or the command-line tool.
class CardPaymentHost {
 public:
  virtual ~CardPaymentHost() = default;
  // A message to the operator (UTF-8): modal in the window, a line on stderr in the tool.
  virtual void ShowMessage(const std::string& text) = 0;
  // Handles pending window messages: called at least every pump_interval while the terminal
  // is waited for, so that the window stays painted and its stop (Esc, close box) works.
  virtual void ProcessPendingMessages() {}
  // True once the operator asked to stop waiting for the terminal.
  virtual bool CancelRequested() { return false; }
  // The payment moved on to `stage`.
  virtual void StageChanged(CardStage /*stage*/) {}
  // Every reply of a device command the payment sent, in order (the window makes it the
  // current reply).
  virtual void ReplyReceived(const ReplyRecord& /*reply*/) {}
};

struct CardPaymentRequest {
  std::string password = "406172";     // first field of every device command
  int payment_type = 1;                // second field of CardPayment; 0 (cash) is refused
  std::string amount_text;             // as typed: money, more than 0, at most two decimals
  bool use_typed_transaction = false;  // register under `transaction_id`; the terminal is not used
  std::string transaction_id;          // Windows-1251; cut to its first 20 characters
  bool no_card_lines = false;          // print neither the card lines nor the signature lines
  // The terminal's serial device. Unset: `Terminal` in section `Communication` of the
  // configuration file `config_path`, read at each payment.
  std::optional<std::string> terminal;
  std::string config_path;
  CardTerminalTimings timings;
};

enum class CardOutcome {
  kRegistered,     // CardPayment succeeded
  kRefusedInput,   // a bad amount, payment type or identifier: nothing sent anywhere
  kReturnReceipt,  // a return receipt is open: the terminal only takes sales, nothing sent to it
  kNoReceipt,      // no sale receipt waits for a payment: nothing sent to the terminal
  kTerminalError,  // no port, no or wrong acknowledgement, a bad message: nothing charged
  kDeclined,       // the terminal gave no transaction identifier: nothing registered
  kCancelled,      // the operator stopped the wait
  kRegisterError,  // CardPayment refused or timed out (after the card was charged, when by
                   // terminal: the message names the transaction identifier)
};

struct CardPaymentResult {
  CardOutcome outcome = CardOutcome::kRefusedInput;
  std::string message;          // what was shown to the operator (UTF-8); empty on success
  std::string amount;           // the amount registered, two decimals ("12.34"); empty if refused
  std::string terminal_amount;  // tag 05 as sent to the terminal, in kopecks ("1234")
  std::string transaction_id;   // from the terminal (tag 58) or as typed and cut (Windows-1251)
  bool charged = false;         // the terminal reported a transaction identifier
  // CardPayment's reply, when it was sent: the window puts its error code into "Код ошибки:"
  // and enables the status button.
  std::optional<ReplyRecord> card_payment_reply;

  bool Succeeded() const { return outcome == CardOutcome::kRegistered; }
};

// Runs one card payment on the process-wide engine, on the receipt the register has open.
// Inputs are checked before anything is sent. Messages go to the host as they arise; the
// result says how it ended. The serial port is opened for this payment only and always closed.
CardPaymentResult RunCardPayment(const CardPaymentRequest& request, CardPaymentHost& host);

}  // namespace tolvanet
