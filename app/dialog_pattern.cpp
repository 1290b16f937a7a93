#include "app/dialog_pattern.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/platform.h"
#include "app/profile.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/device_errors.h"
#include "link/engine.h"

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
      {cmd::kSetHeaderFooter, refusal::kHeaderLine, "номер строки должен быть от 0 до 20"},
      {cmd::kGetHeaderFooter, refusal::kReadHeaderLine, "номер строки должен быть от 0 до 20"},
      {cmd::kSetUserLogo, refusal::kLogoLine, "номер строки логотипа не может быть отрицательным"},
      {cmd::kSetUserLogo, refusal::kLogoPixels,
       "строка логотипа должна состоять из 48 шестнадцатеричных цифр"},
      {cmd::kSellItem, refusal::kQuantity, "количество должно быть больше нуля"},
      {cmd::kSellItem, refusal::kPrice, "цена не может быть отрицательной"},
      {cmd::kMakePayment, refusal::kPaymentType, "тип оплаты должен быть от 0 до 9"},
      {cmd::kPrintEAN13Code, refusal::kEanDigits, "штрих-код EAN-13: нужно ровно 12 цифр"},
      // These codes mean the same for every command that has them.
      {0, refusal::kQuantityNotFinite, "количество должно быть конечным числом"},
      {0, refusal::kPriceNotFinite, "цена должна быть конечным числом"},
      {0, refusal::kAmountNotFinite, "сумма должна быть конечным числом"},
      {0, refusal::kDiscountNotFinite, "сумма скидки или надбавки должна быть конечным числом"},
      {0, refusal::kPercentNotFinite, "процент скидки или надбавки должен быть конечным числом"},
  };
  std::string reason;
  for (const Row& r : rows)
    if ((r.code == command_code || r.code == 0) && r.result == builder_result)
      reason = r.text;
  if (reason.empty())
    reason = "недопустимое значение аргумента (код " + std::to_string(builder_result) + ")";
  return "Команда не отправлена: " + reason + ".";
}

CommandEnd JudgeCommand(int command_code, int builder_result, const ReplyRecord& reply,
                        const ReplyCheck& check) {
  if (builder_result < 0)
    return {CommandOutcome::kArgumentsRefused, BuilderRefusalMessage(command_code, builder_result)};
  if (const std::string* refusal = LinkRefusal(reply))
    return {CommandOutcome::kLinkRefused, *refusal};
  if (reply.NoAnswer())
    return {CommandOutcome::kTimeout, check.timeout_message};
  if (reply.Damaged())
    return {CommandOutcome::kDamaged, check.heading + DamagedAnswerMessage(reply)};
  if (reply.error_code == "0000")
    return {};
  std::string message;
  switch (check.style) {
    case FailureStyle::kDeviceMessage:
      DeviceErrorMessage(reply, message);
      message = check.heading + message;
      break;
    case FailureStyle::kFixedText:
      message = check.fixed_text;
      break;
    case FailureStyle::kRawCode:
      message = check.heading + FromCp1251(reply.error_code);
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

std::string ModelLine(const ReplyRecord& reply) {
  return "   Модель:" + FromCp1251(reply.Field(0)) + ",    Версия:" + FromCp1251(reply.Field(1)) +
         ",     " + FromCp1251(reply.Field(2)) + ".";
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
