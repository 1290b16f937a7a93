#include "app/dialog_pattern.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/platform.h"
#include "app/profile.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/device_errors.h"
#include "link/engine.h"
#include "link/translate.h"

namespace tolvanet {

namespace {

// The link's own refusal of `reply`, when nothing was sent.
const std::string* LinkRefusal(const ReplyRecord& reply) {
  if (reply.NoAnswer() && !reply.refusal.empty())
    return &reply.refusal;
  return nullptr;
}

}  // namespace

std::string BuilderRefusalMessage(int command_code, int builder_result) {
  struct Row {
    int code;
    int result;
    const char* text;
  };
  static const Row rows[] = {
      {cmd::kSetHeaderFooter, refusal::kHeaderLine, TrNoop("номер строки должен быть от 0 до 20")},
      {cmd::kGetHeaderFooter, refusal::kReadHeaderLine,
       TrNoop("номер строки должен быть от 0 до 20")},
      {cmd::kSetUserLogo, refusal::kLogoLine,
       TrNoop("номер строки логотипа не может быть отрицательным")},
      {cmd::kSetUserLogo, refusal::kLogoPixels,
       TrNoop("строка логотипа должна состоять из 48 шестнадцатеричных цифр")},
      {cmd::kSellItem, refusal::kQuantity, TrNoop("количество должно быть больше нуля")},
      {cmd::kSellItem, refusal::kPrice, TrNoop("цена не может быть отрицательной")},
      {cmd::kMakePayment, refusal::kPaymentType, TrNoop("тип оплаты должен быть от 0 до 9")},
      {cmd::kPrintEAN13Code, refusal::kEanDigits, TrNoop("штрих-код EAN-13: нужно ровно 12 цифр")},
      // These codes mean the same for every command that has them.
      {0, refusal::kQuantityNotFinite, TrNoop("количество должно быть конечным числом")},
      {0, refusal::kPriceNotFinite, TrNoop("цена должна быть конечным числом")},
      {0, refusal::kAmountNotFinite, TrNoop("сумма должна быть конечным числом")},
      {0, refusal::kDiscountNotFinite,
       TrNoop("сумма скидки или надбавки должна быть конечным числом")},
      {0, refusal::kPercentNotFinite,
       TrNoop("процент скидки или надбавки должен быть конечным числом")},
  };
  std::string reason;
  for (const Row& r : rows)
    if ((r.code == command_code || r.code == 0) && r.result == builder_result)
      reason = TrText(r.text);
  if (reason.empty())
    reason =
        TrArgs(Tr("недопустимое значение аргумента (код %1)"), {std::to_string(builder_result)});
  return TrArgs(Tr("Команда не отправлена: %1."), {reason});
}

// A time-out message is a heading followed by the time-out text, or a text of its own.
static std::string ShownTimeoutMessage(const std::string& original) {
  if (original.ends_with(kTimeoutMessage)) {
    const std::string heading = original.substr(0, original.size() - kTimeoutMessage.size());
    return TrText(heading) + TrText(kTimeoutMessage);
  }
  return TrText(original);
}

CommandEnd JudgeCommand(int command_code, int builder_result, const ReplyRecord& reply,
                        const ReplyCheck& check) {
  if (builder_result < 0)
    return {CommandOutcome::kArgumentsRefused, BuilderRefusalMessage(command_code, builder_result)};
  if (const std::string* refusal = LinkRefusal(reply))
    return {CommandOutcome::kLinkRefused, *refusal};
  // Headings and fixed texts come from the windows in the original; they are shown in the
  // interface's language.
  const std::string heading = TrText(check.heading);
  if (reply.NoAnswer())
    return {CommandOutcome::kTimeout, ShownTimeoutMessage(check.timeout_message)};
  if (reply.Damaged())
    return {CommandOutcome::kDamaged, heading + DamagedAnswerMessage(reply)};
  if (reply.error_code == "0000")
    return {};
  std::string message;
  switch (check.style) {
    case FailureStyle::kDeviceMessage:
      DeviceErrorMessage(reply, message);
      message = heading + message;
      break;
    case FailureStyle::kFixedText:
      message = TrText(check.fixed_text);
      break;
    case FailureStyle::kRawCode:
      message = heading + FromCp1251(reply.error_code);
      break;
    case FailureStyle::kSilent:
      break;
  }
  return {CommandOutcome::kDeviceError, message};
}

bool EndCommand(int command_code, int builder_result, const ReplyRecord& reply,
                const ReplyCheck& check,
                const std::function<void(const ReplyRecord&)>& before_test) {
  if (builder_result >= 0) {
    TheAppState().current_reply = &reply;
    if (before_test)
      before_test(reply);
  }
  const CommandEnd end = JudgeCommand(command_code, builder_result, reply, check);
  if (!end.message.empty())
    ThePlatform().ShowMessage(end.message);
  return end.ok();
}

std::string ReplyFailureMessage(const ReplyRecord& reply, std::string_view heading,
                                std::string_view timeout_message) {
  ReplyCheck check = ReplyCheck::Heading(std::string(heading));
  check.timeout_message = std::string(timeout_message);
  return JudgeCommand(0, 0, reply, check).message;
}

bool CheckReply(const ReplyRecord& reply, std::string_view heading,
                std::string_view timeout_message) {
  ReplyCheck check = ReplyCheck::Heading(std::string(heading));
  check.timeout_message = std::string(timeout_message);
  return EndCommand(0, 0, reply, check);
}

int FieldInt(const ReplyRecord& reply, int field) {
  return LeadingInt(reply.Field(field));
}

std::string ModelLine(const ReplyRecord& reply, bool original) {
  // TRANSLATORS: the register line of the status bar: %1 model, %2 firmware version, %3 the
  // register's own name. Keep the leading blanks.
  const char* pattern = TrNoop("   Модель:%1,    Версия:%2,     %3.");
  return TrArgs(
      original ? std::string(pattern) : TrText(pattern),
      {FromCp1251(reply.Field(0)), FromCp1251(reply.Field(1)), FromCp1251(reply.Field(2))});
}

int PaymentTypeCount(const ReplyRecord& reply) {
  const int n = FieldInt(reply, 10);
  return n != 0 ? std::clamp(n, 1, 10) : 10;
}

CommandEnd RunStatusCheck(bool despite_error_code) {
  int rc = 0;
  const ReplyRecord& reply = GetDiagnosticInfo("406172", rc);
  const std::string heading(kStatusHeading);
  TheAppState().current_reply = &reply;
  const CommandEnd end =
      JudgeCommand(cmd::kGetDiagnosticInfo, rc, reply,
                   ReplyCheck::Heading(heading).Timeout(heading + std::string(kTimeoutMessage)));
  if (!end.message.empty())
    ThePlatform().ShowMessage(end.message);
  const bool answered =
      end.ok() || (despite_error_code && end.outcome == CommandOutcome::kDeviceError);
  if (answered) {
    AppState& state = TheAppState();
    state.payment_type_count = PaymentTypeCount(reply);
    state.SetStatusLine(ModelLine(reply));
  }
  return end;
}

}  // namespace tolvanet
