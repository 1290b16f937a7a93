#include "sales/card_payment.h"

#include "app/config.h"
#include "app/dialog_pattern.h"
#include "app/profile.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/decimal.h"
#include "link/engine.h"
#include "link/translate.h"
#include "reports/status_bytes.h"
#include "sales/card_terminal.h"

namespace tolvanet {

namespace ct = card_terminal;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kTypedTransactionLength = 20;
constexpr std::uint8_t kReturnReceiptBit = 0x10;  // status byte 2: a return receipt is open

// The signature lines printed after a registered card payment (Windows-1251).
const std::string& SignatureLine(int i) {
  static const std::string lines[4] = {
      ToCp1251("ПІДПИС"),
      ToCp1251("КАСИРА . . . . . . . . "),
      ToCp1251("ПІДПИС"),
      ToCp1251("КЛІЄНТА. . . . . . . . "),
  };
  return lines[i];
}

// Terminal or typed text for a message: Windows-1251 to UTF-8, control bytes shown as "?".
std::string Shown(std::string_view cp1251) {
  std::string clean(cp1251);
  for (char& c : clean) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F)
      c = '?';
  }
  return FromCp1251(clean);
}

std::string SecondsText(std::chrono::milliseconds ms) {
  const auto tenths = (ms.count() + 50) / 100;
  std::string s = std::to_string(tenths / 10);
  if (tenths % 10 != 0)
    s += "." + std::to_string(tenths % 10);
  return s;
}

// One card payment: the request, the host, and what has been found out so far.
class Payment {
 public:
  Payment(const CardPaymentRequest& request, CardPaymentHost& host)
      : request_(request), host_(host), port_(request.timings.pump_interval, [this] {
          host_.ProcessPendingMessages();
          return host_.CancelRequested();
        }) {}

  CardPaymentResult Run() {
    if (!CheckInputs())
      return result_;
    if (request_.use_typed_transaction)
      return Register();
    if (!ReceiptTakesCard() || !ExchangeWithTerminal())
      return result_;
    return Register();
  }

 private:
  CardPaymentResult& Fail(CardOutcome outcome, const std::string& message) {
    result_.outcome = outcome;
    result_.message = message;
    port_.Close();
    host_.ShowMessage(message);
    return result_;
  }
  CardPaymentResult& TerminalFail(const std::string& detail) {
    return Fail(CardOutcome::kTerminalError, TrText(kCardErrorMessage) + "\n" + detail);
  }

  bool Stop(const std::string& detail) {
    TerminalFail(detail);
    return false;
  }

  bool CheckInputs() {
    auto refuse = [this](const std::string& text) {
      Fail(CardOutcome::kRefusedInput, text);
      return false;
    };
    if (!ct::IsSafeValue(request_.password))
      return refuse(Tr("Пароль не должен содержать \";\" и управляющие символы."));
    if (request_.payment_type < 1)
      return refuse(
          TrArgs(Tr("Тип оплаты %1 не для банковской карты: картой оплачивают типом 1 и выше."),
                 {std::to_string(request_.payment_type)}));
    Parsed<Decimal> amount =
        ParseDecimal(request_.amount_text, kMoneyDecimals, DecimalRule::kPositive);
    if (!amount)
      return refuse(Tr("Сумма оплаты: ") + amount.error);
    result_.amount = amount->Text();
    result_.terminal_amount = std::to_string(amount->units);
    if (request_.use_typed_transaction) {
      std::string id = request_.transaction_id.substr(0, kTypedTransactionLength);
      if (id.empty())
        return refuse(Tr("Не указан идентификатор транзакции."));
      if (!ct::IsSafeValue(id))
        return refuse(
            Tr("Идентификатор транзакции не должен содержать \";\" и управляющие символы."));
      result_.transaction_id = std::move(id);
    }
    return true;
  }

  // The terminal takes sales only: in a return receipt the card is not charged. A register
  // that does not answer cannot register a payment either, so the card is not charged then.
  bool ReceiptTakesCard() {
    int code = 0;
    const ReplyRecord& reply = GetDiagnosticInfo(request_.password, code);
    host_.ReplyReceived(reply);
    // Only the status bytes matter here: an error code does not stop the payment, a missing or
    // damaged answer does.
    ReplyCheck check;
    check.style = FailureStyle::kSilent;
    check.timeout_message = TrText(kCardTimeoutMessage);
    const CommandEnd end = JudgeCommand(cmd::kGetDiagnosticInfo, code, reply, check);
    if (!end.ok() && end.outcome != CommandOutcome::kDeviceError) {
      Fail(CardOutcome::kRegisterError, end.message);
      return false;
    }
    if (reply.status_bytes[2] & kReturnReceiptBit) {
      Fail(CardOutcome::kReturnReceipt,
           Tr("Открыт чек возврата: терминал проводит только оплату продажи.\nВозврат, "
              "проведённый на терминале, регистрируйте по идентификатору транзакции."));
      return false;
    }
    // A card charged with no sale to pay could not be registered: the receipt must hold a sale
    // (states 2, 3 and 6: after a sale, in the payment, after a discount on the subtotal).
    const int state = reply.status_bytes[2] & 0x0F;
    if (state != 2 && state != 3 && state != 6) {
      Fail(CardOutcome::kNoReceipt,
           TrText(kCardErrorMessage) +
               TrArgs(Tr("\nНет открытого чека продажи, ожидающего оплаты (%1): карта не списана."),
                      {TrText(ReceiptState(reply.status_bytes[2]))}));
      return false;
    }
    return true;
  }

  std::string PortName() const {
    if (request_.terminal)
      return *request_.terminal;
    const std::string path =
        request_.config_path.empty() ? CurrentConfigPath() : request_.config_path;
    // The whole name: device paths are longer than the ten characters of old port names.
    return GetPrivateProfileString("Communication", "Terminal", "", 4096, path);
  }

  void Stage(CardStage stage) {
    stage_ = stage;
    host_.StageChanged(stage);
  }

  // A failed wait, as the operator reads it.
  bool WaitFailed(ct::ReadResult r, const std::string& waiting_for) {
    if (r == ct::ReadResult::kCancelled) {
      std::string text = Tr("Оплата банковской картой прервана оператором.");
      if (stage_ == CardStage::kRequest || stage_ == CardStage::kResult) {
        text +=
            Tr("\nЕсли терминал провёл оплату, зарегистрируйте её по идентификатору транзакции.");
      }
      Fail(CardOutcome::kCancelled, text);
    } else if (r == ct::ReadResult::kTimeout) {
      TerminalFail(TrArgs(Tr("Терминал не прислал %1."), {waiting_for}));
    } else {
      TerminalFail(TrArgs(Tr("Порт терминала: %1."), {port_.error_text()}));
    }
    return false;
  }

  bool Send(std::string_view bytes) {
    ct::ReadResult r = port_.WriteAll(bytes, Clock::now() + request_.timings.read_limit);
    if (r == ct::ReadResult::kDone)
      return true;
    if (r == ct::ReadResult::kTimeout) {
      return Stop(TrArgs(Tr("Терминал не принял данные за %1 с."),
                         {SecondsText(request_.timings.read_limit)}));
    }
    return WaitFailed(r, "");
  }

  // A message from the terminal: its first byte within the step's limit, the rest within one
  // read's limit after it. A length over 999 bytes is refused.
  bool ReadMessage(std::string& body, const std::string& what) {
    const auto step_deadline = Clock::now() + request_.timings.step_limit;
    std::string head;
    ct::ReadResult r = port_.ReadExact(1, head, step_deadline);
    if (r != ct::ReadResult::kDone)
      return WaitFailed(r,
                        TrArgs(Tr("%1 за %2 с"), {what, SecondsText(request_.timings.step_limit)}));
    const auto rest_deadline = Clock::now() + request_.timings.read_limit;
    std::string low;
    r = port_.ReadExact(1, low, rest_deadline);
    if (r != ct::ReadResult::kDone)
      return WaitFailed(r, TrArgs(Tr("%1 целиком"), {what}));
    const std::size_t length =
        (static_cast<unsigned char>(head[0]) << 8) | static_cast<unsigned char>(low[0]);
    if (length > ct::kMaxReceivedBody) {
      TerminalFail(TrArgs(Tr("Терминал прислал %1 длиной %2 байт (допускается не более 999)."),
                          {what, std::to_string(length)}));
      return false;
    }
    r = port_.ReadExact(length, body, rest_deadline);
    if (r != ct::ReadResult::kDone)
      return WaitFailed(r, TrArgs(Tr("%1 целиком"), {what}));
    // The body is text up to its first zero byte.
    body.resize(std::min(body.size(), body.find('\0')));
    return true;
  }

  // Three bytes whose third must be ACK.
  bool ReadAcknowledgement(Clock::time_point first_byte_deadline, const std::string& what) {
    std::string first;
    std::string rest;
    ct::ReadResult r = port_.ReadExact(1, first, first_byte_deadline);
    if (r == ct::ReadResult::kDone)
      r = port_.ReadExact(2, rest, Clock::now() + request_.timings.read_limit);
    if (r != ct::ReadResult::kDone)
      return WaitFailed(r, TrArgs(Tr("подтверждение %1"), {what}));
    if (!ct::IsAcknowledgement(first + rest)) {
      TerminalFail(TrArgs(Tr("Терминал не подтвердил %1."), {what}));
      return false;
    }
    return true;
  }

  bool ExchangeWithTerminal() {
    const std::string port_name = PortName();
    if (port_name.empty()) {
      return Stop(
          Tr("Порт терминала не указан (Terminal в разделе Communication файла fpinit.ini)."));
    }
    if (!port_.Open(port_name)) {
      return Stop(
          TrArgs(Tr("Порт терминала \"%1\" не открыт: %2."), {port_name, port_.error_text()}));
    }

    Stage(CardStage::kOpening);
    if (!Send(ct::OpeningRequest()) ||
        !ReadAcknowledgement(Clock::now() + request_.timings.read_limit, Tr("открытие обмена")))
      return false;

    Stage(CardStage::kCardData);
    std::string card;
    if (!ReadMessage(card, Tr("данные карты")) || !Send(ct::Acknowledgement()))
      return false;
    const std::optional<std::string> session = ct::FindTag(card, "00");
    if (!session)
      return Stop(Tr("В данных карты нет поля 00."));
    tag01_ = ct::FindTag(card, "01");
    tag02_ = ct::FindTag(card, "02");
    tag04_ = ct::FindTag(card, "04");
    const std::pair<const char*, const std::optional<std::string>*> used[] = {
        {"00", &session}, {"01", &tag01_}, {"02", &tag02_}, {"04", &tag04_}};
    for (const auto& [tag, value] : used) {
      if (*value && !ct::IsSafeValue(**value))
        return Stop(TrArgs(Tr("Недопустимые символы в поле %1 данных карты."), {tag}));
    }
    const std::string body = ct::PaymentRequestBody(*session, result_.terminal_amount);
    if (body.size() > ct::kMaxRequestBody)
      return Stop(Tr("Поле 00 данных карты слишком длинное для запроса оплаты."));

    Stage(CardStage::kRequest);
    if (!Send(ct::Message(body)) ||
        !ReadAcknowledgement(Clock::now() + request_.timings.step_limit, Tr("запрос оплаты")))
      return false;

    Stage(CardStage::kResult);
    std::string outcome;
    if (!ReadMessage(outcome, Tr("результат оплаты")))
      return false;
    // The result is in hand: a terminal that does not take its acknowledgement changes
    // nothing about a payment it has made.
    port_.WriteAll(ct::Acknowledgement(), Clock::now() + request_.timings.read_limit);
    port_.Close();
    const std::optional<std::string> transaction = ct::FindTag(outcome, "58");
    if (!transaction || transaction->empty()) {
      Fail(CardOutcome::kDeclined,
           TrText(kCardErrorMessage) + Tr("\nТерминал отклонил оплату: нет идентификатора "
                                          "транзакции. Оплата не зарегистрирована."));
      return false;
    }
    result_.transaction_id = *transaction;
    result_.charged = true;
    if (!ct::IsSafeValue(*transaction)) {
      TerminalFail(TrArgs(Tr("Идентификатор транзакции \"%1\" содержит недопустимые символы; "
                             "оплата по карте проведена, но не зарегистрирована."),
                          {Shown(*transaction)}));
      return false;
    }
    return true;
  }

  void Print(const std::string& line) {
    int code = 0;
    host_.ReplyReceived(PrintText(request_.password, line, code));
  }

  CardPaymentResult Register() {
    Stage(CardStage::kRegistering);
    const bool lines = !request_.no_card_lines && !request_.use_typed_transaction;
    if (lines) {
      // A line whose tag the terminal did not send is left out.
      if (tag04_)
        Print(*tag04_ + " CARD");
      if (tag01_)
        Print(ct::CardNumberLine(*tag01_));
      if (tag02_)
        Print(*tag02_);
    }
    const std::string text = request_.password + ";" + std::to_string(request_.payment_type) + ";" +
                             result_.amount + ";" + result_.transaction_id + ";";
    const ReplyRecord& reply = ExecuteCommand(cmd::kCardPayment, text);
    host_.ReplyReceived(reply);
    result_.card_payment_reply = reply;
    if (reply.Succeeded()) {
      if (lines) {
        for (int i = 0; i < 4; ++i)
          Print(SignatureLine(i));
      }
      result_.outcome = CardOutcome::kRegistered;
      result_.message.clear();
      return result_;
    }
    std::string message = JudgeCommand(cmd::kCardPayment, 0, reply,
                                       ReplyCheck::Fixed(TrText(kCardRegisterErrorMessage))
                                           .Timeout(TrText(kCardTimeoutMessage)))
                              .message;
    if (result_.charged) {
      message += TrArgs(Tr("\nОплата по карте проведена терминалом, идентификатор транзакции %1."),
                        {Shown(result_.transaction_id)});
      // Without a whole answer the register may have taken the payment all the same.
      const bool unknown = (reply.NoAnswer() && reply.refusal.empty()) || reply.Damaged();
      message += unknown ? Tr(" Ответ регистратора не получен целиком: оплата могла быть "
                              "зарегистрирована. Проверьте чек, прежде чем регистрировать её по "
                              "этому идентификатору.")
                         : Tr(" Зарегистрируйте её по этому идентификатору.");
    }
    return Fail(CardOutcome::kRegisterError, message);
  }

  const CardPaymentRequest& request_;
  CardPaymentHost& host_;
  ct::Port port_;
  CardPaymentResult result_;
  CardStage stage_ = CardStage::kOpening;
  std::optional<std::string> tag01_;
  std::optional<std::string> tag02_;
  std::optional<std::string> tag04_;
};

}  // namespace

std::string CardStageText(CardStage stage) {
  switch (stage) {
    case CardStage::kOpening:
      return Tr("Открытие обмена с терминалом...");
    case CardStage::kCardData:
      return Tr("Ожидание карты...");
    case CardStage::kRequest:
      return Tr("Запрос оплаты отправлен...");
    case CardStage::kResult:
      return Tr("Ожидание результата оплаты...");
    case CardStage::kRegistering:
      return Tr("Регистрация оплаты в регистраторе...");
  }
  return {};
}

CardPaymentResult RunCardPayment(const CardPaymentRequest& request, CardPaymentHost& host) {
  return Payment(request, host).Run();
}

}  // namespace tolvanet
