#include "sales/receipts.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "app/app_state.h"
#include "app/dialog_pattern.h"
#include "link/commands.h"
#include "link/engine.h"
#include "link/free_text.h"
#include "link/translate.h"

namespace tolvanet::sales {

namespace {

constexpr std::size_t kNonFiscalLineBytes = 39;

// Ends one command of a sequence: unless the builder refused, the reply becomes the current
// reply (the status window shows it); then it is judged in `check`'s style.
CommandEnd Step(int code, int builder_result, const ReplyRecord& reply, const ReplyCheck& check) {
  if (builder_result >= 0)
    TheAppState().current_reply = &reply;
  return JudgeCommand(code, builder_result, reply, check);
}

// The device error check of the smaller receipt windows: the device message after `heading`,
// and after it the time-out text too.
ReplyCheck DeviceCheck(const std::string& heading = {}) {
  return ReplyCheck::Heading(heading).Timeout(heading + std::string(kTimeoutMessage));
}

template <typename T>
Parsed<T> Fail(std::string message) {
  Parsed<T> out;
  out.error = std::move(message);
  return out;
}

}  // namespace

// ---- Fiscal receipt ----

Parsed<Sale> PrepareSale(std::string_view password, std::string_view article_line,
                         std::string_view quantity, std::string_view price) {
  if (article_line.empty())
    return Fail<Sale>(TrText(kNoArticle));
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty())
    return Fail<Sale>(e);
  if (std::string e = CheckFieldsText(article_line, Tr("Товар")); !e.empty())
    return Fail<Sale>(e);
  const auto code = ParseInteger(article_line.substr(0, article_line.find(';')), 0, INT64_MAX);
  if (!code)
    return Fail<Sale>(Tr("Код товара: ") + code.error);
  const auto q = ParseDecimal(quantity, kQuantityDecimals, DecimalRule::kPositive);
  if (!q)
    return Fail<Sale>(Tr("Кол-во: ") + q.error);
  const auto p = ParseDecimal(price, kMoneyDecimals, DecimalRule::kNonNegative);
  if (!p)
    return Fail<Sale>(Tr("Цена: ") + p.error);
  Parsed<Sale> out;
  out.value = Sale{std::string(password), std::string(article_line), *code, *q, *p};
  return out;
}

Outcome Sell(const Sale& sale) {
  const CommandEnd article =
      Step(0, 0, ExecuteCommand(cmd::kAddArticul, sale.password + ";" + sale.article_line),
           ReplyCheck::Fixed(Tr("Ошибка ")));
  if (!article.ok())
    return {false, article.message};
  int result = 0;
  const ReplyRecord& sold =
      SellItem(kFixedPassword, sale.code, sale.price.Value(), sale.quantity.Value(), result);
  const CommandEnd end = Step(cmd::kSellItem, result, sold,
                              ReplyCheck::Fixed(TrText(kSaleError)).Timeout(TrText(kSaleTimeout)));
  return {end.ok(), end.message};
}

Parsed<Payment> PreparePayment(std::string_view type, std::string_view amount, int type_count) {
  // The window's own text comes first whatever failed; the line after it says what.
  const std::string refused = TrText(kBadPaymentType);
  if (!ParseInteger(type, INT_MIN, INT_MAX))
    return Fail<Payment>(refused);
  const auto t = ParseInteger(type, 0, std::clamp(type_count, 1, 10) - 1);
  if (!t)
    return Fail<Payment>(refused + "\n" + Tr("Тип оплаты: ") + t.error);
  const auto a = ParseDecimal(amount, kMoneyDecimals, DecimalRule::kPositive);
  if (!a)
    return Fail<Payment>(refused + "\n" + Tr("Сумма оплаты: ") + a.error);
  Parsed<Payment> out;
  out.value = Payment{static_cast<int>(*t), *a};
  return out;
}

bool IsCardPayment(std::string_view el_journal, int type) {
  return el_journal == kCardJournal && type != 0;
}

Outcome PayDirect(std::string_view password, const Payment& payment) {
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty())
    return {false, e};
  int result = 0;
  const ReplyRecord& reply = MakePayment(password, payment.type, payment.amount.Value(), result);
  const CommandEnd end =
      Step(cmd::kMakePayment, result, reply,
           ReplyCheck::Fixed(TrText(kPaymentError)).Timeout(TrText(kPaymentTimeout)));
  return {end.ok(), end.message};
}

// ---- Non-fiscal receipt ----

std::string NonFiscalLine(std::string_view line) {
  std::string out(line.substr(0, kNonFiscalLineBytes));
  out.erase(std::remove(out.begin(), out.end(), ';'), out.end());
  return out;
}

Outcome PrintNonFiscalReceipt(std::string_view password, const std::vector<std::string>& lines) {
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty())
    return {false, e};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string label = TrArgs(Tr("Строка %1"), {std::to_string(i + 1)});
    if (std::string e = CheckFieldsText(NonFiscalLine(lines[i]), label); !e.empty())
      return {false, e};
  }
  int result = 0;
  const ReplyRecord& opened = OpenNonFiscalReceipt(password, result);
  if (CommandEnd e = Step(cmd::kOpenNonFiscalReceipt, result, opened, DeviceCheck()); !e.ok()) {
    return {false, e.message};
  }
  for (const std::string& line : lines) {
    const ReplyRecord& printed = PrintText(password, NonFiscalLine(line), result);
    if (CommandEnd e = Step(cmd::kPrintText, result, printed, DeviceCheck()); !e.ok()) {
      return {false, e.message};
    }
  }
  const ReplyRecord& closed = CloseFiscalReceipt(password, 0, result);
  const CommandEnd e = Step(cmd::kCloseFiscalReceipt, result, closed, DeviceCheck());
  return {e.ok(), e.message};
}

// ---- Service cash in and out ----

CashOutcome ServiceCash(std::string_view password, std::string_view operator_number,
                        std::string_view amount, bool withdrawal) {
  CashOutcome out;
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty()) {
    out.outcome.message = e;
    return out;
  }
  const auto op = ParseInteger(operator_number, 0, INT_MAX);
  if (!op) {
    out.outcome.message = Tr("Номер оператора: ") + op.error;
    return out;
  }
  // The sign comes from the operation: a typed "-5" is refused, not turned around.
  const auto value = ParseDecimal(amount, kMoneyDecimals, DecimalRule::kPositive);
  if (!value) {
    out.outcome.message = Tr("Сумма: ") + value.error;
    return out;
  }
  const std::string_view caption = withdrawal ? kCashOutCaption : kCashInCaption;
  int result = 0;
  const ReplyRecord& opened = OpenFiscalReceipt(password, static_cast<int>(*op), 0, 2, result);
  if (CommandEnd e = Step(cmd::kOpenFiscalReceipt, result, opened, DeviceCheck()); !e.ok()) {
    out.outcome.message = e.message;
    return out;
  }
  const double signed_amount = withdrawal ? -value->Value() : value->Value();
  const ReplyRecord& moved = ServiceCashInOut(password, 0, signed_amount, result);
  if (CommandEnd e =
          Step(cmd::kServiceCashInOut, result, moved, DeviceCheck(TrText(caption) + ":\n  "));
      !e.ok()) {
    out.outcome.message = e.message;
    return out;
  }
  out.drawer = moved.Field(0);
  const ReplyRecord& closed = CloseFiscalReceipt(password, 0, result);
  if (CommandEnd e = Step(cmd::kCloseFiscalReceipt, result, closed, DeviceCheck()); !e.ok()) {
    out.outcome.message = e.message;
    return out;
  }
  out.outcome = {true, TrArgs(Tr("%1 - Успешно!"), {TrText(caption)})};
  return out;
}

// ---- Void and close ----

ReceiptStateView ReceiptStateOf(std::uint8_t status_byte2) {
  constexpr std::string_view kFiscal = TrNoop("Открыт фискальный чек");
  constexpr std::string_view kReturn = TrNoop("Открыт чек возврата");
  const bool bit2 = (status_byte2 & 0x04) != 0;
  const bool bit4 = (status_byte2 & 0x10) != 0;
  switch (status_byte2 & 0x0F) {
    case 0:
      return {kNoOpenReceipts, false, false};
    case 5:
      return {TrNoop("Открыт нефискальный чек"), true, false};
    default:
      break;
  }
  if (bit4)
    return {kReturn, bit2, true};
  return {kFiscal, bit2, true};
}

}  // namespace tolvanet::sales
