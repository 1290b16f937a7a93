#include "settings/fiscalization.h"

#include "app/dialog_pattern.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/device_errors.h"
#include "link/free_text.h"
#include "link/translate.h"
#include "settings/fiscal_params.h"

namespace tolvanet {

namespace {

constexpr std::string_view kHeading = TrNoop("Фіскаліз. реєстратора:\n  ");
constexpr std::string_view kInfoReportHeading = TrNoop("Фискализация регистратора:\n  ");
constexpr std::string_view kDefaultPassword = "406172";
constexpr std::string_view kNotPrinted = TrNoop("Квитанцію про фіскалізацію не надруковано.");

// Shows the failure of `reply` under `heading`; true when the command succeeded. When the
// answer did not come or came damaged, `unknown_outcome` (if any) follows the message.
bool Check(FiscalizationHost& host, int code, int result, const ReplyRecord& reply,
           std::string_view heading, std::string_view unknown_outcome = {}) {
  if (result >= 0)
    host.ReplyReceived(reply);
  const CommandEnd end = JudgeCommand(
      code, result, reply,
      ReplyCheck::Heading(TrText(heading)).Timeout(TrText(heading) + std::string(kTimeoutMessage)));
  if (end.ok())
    return true;
  std::string message = end.message;
  const bool unknown =
      end.outcome == CommandOutcome::kTimeout || end.outcome == CommandOutcome::kDamaged;
  if (unknown && !unknown_outcome.empty())
    message += (message.empty() ? "" : "\n") + std::string(unknown_outcome);
  if (!message.empty())
    host.ShowMessage(message);
  return false;
}

// Waits for the register to answer the diagnostic command with success, asking again through
// silence, damaged answers and error codes alike, until the wait's bounds or Stop; the message
// when it did not succeed.
std::string WaitForRegister(FiscalizationHost& host, const FiscalizationWait& wait) {
  const std::int64_t start = host.NowMs();
  const std::string done = Tr("Фіскалізацію виконано. ");
  std::string last_error;  // the last answer's error code and its message, if it had one
  for (int attempt = 1; attempt <= wait.attempts; ++attempt) {
    if (attempt > 1)
      host.Pause(wait.pause_ms);
    if (host.StopRequested())
      return done + Tr("Очікування реєстратора перервано.\n") + TrText(kNotPrinted);
    if (attempt > 1 && host.NowMs() - start >= wait.total_ms)
      break;
    host.WaitAttempt(attempt, wait.attempts);
    int result = 0;
    const ReplyRecord& r = GetDiagnosticInfo(kDefaultPassword, result);
    host.ReplyReceived(r);
    const CommandEnd end = JudgeCommand(cmd::kGetDiagnosticInfo, result, r, ReplyCheck::Silent());
    if (end.ok())
      return {};
    last_error.clear();
    if (end.outcome == CommandOutcome::kDeviceError) {
      std::string message;
      DeviceErrorMessage(r, message);
      last_error = r.error_code + ":\n  " + message;
    }
  }
  if (!last_error.empty()) {
    return done +
           TrArgs(Tr("Реєстратор не відповів успішно, остання відповідь - помилка %1"),
                  {last_error}) +
           "\n" + TrText(kNotPrinted);
  }
  return done + Tr("Реєстратор не відповів.\n") + TrText(kNotPrinted);
}

}  // namespace

std::string CheckFiscalizationInput(const FiscalizationInput& input) {
  if (input.inspector.size() != 6 || input.inspector_repeat.size() != 6)
    return Tr("Довжина пароля - 6!");
  if (input.inspector != input.inspector_repeat)
    return Tr("Повторно зроби ввод паролей та фіскалізацію");
  // The register checks the serial number itself; only an empty one or one longer than the
  // box is refused here.
  if (input.serial_number.empty())
    return Tr("Заводський номер не введено! Фіскалізацію не виконано.");
  if (input.serial_number.size() > kSerialMax)
    return Tr("Заводський номер - не більше 11 символів! Фіскалізацію не виконано.");
  for (const auto& [text, caption] :
       {std::pair<const std::string&, std::string_view>{input.password, Tr("Пароль")},
        {input.serial_number, Tr("Заводской номер ККМ")},
        {input.inspector, Tr("Пароль налогового инспектора")}}) {
    std::string message = CheckFreeText(text, caption);
    if (!message.empty())
      return message;
  }
  return {};
}

std::string FiscalizationQuestion(std::string_view serial_number) {
  return TrArgs(Tr("Фіскалізувати реєстратор із заводським номером %1?\nФіскалізацію неможливо "
                   "скасувати."),
                {serial_number});
}

FiscalizationResult RunFiscalization(const FiscalizationInput& input, FiscalizationHost& host,
                                     const FiscalizationWait& wait) {
  const std::string refusal = CheckFiscalizationInput(input);
  if (!refusal.empty()) {
    host.ShowMessage(refusal);
    return FiscalizationResult::kRefused;
  }
  int result = 0;
  const ReplyRecord& fiscalized =
      Fiscalize(input.password, input.serial_number, input.inspector, result);
  if (!Check(host, cmd::kFiscalize, result, fiscalized, kHeading,
             Tr("Реєстратор міг бути фіскалізований: перш ніж повторювати фіскалізацію, прочитайте "
                "його стан (статус).")))
    return FiscalizationResult::kFailed;
  const std::string not_back = WaitForRegister(host, wait);
  if (!not_back.empty()) {
    host.ShowMessage(not_back);
    return FiscalizationResult::kNotConfirmed;
  }
  const ReplyRecord& opened = OpenNonFiscalReceipt(kDefaultPassword, result);
  if (!Check(host, cmd::kOpenNonFiscalReceipt, result, opened, kHeading))
    return FiscalizationResult::kReceiptFailed;
  const ReplyRecord& report = PrintInfoReport(kDefaultPassword, 1, result);
  Check(host, cmd::kPrintInfoReport, result, report, kInfoReportHeading);
  const ReplyRecord& text =
      PrintText(kDefaultPassword, ToCp1251("РЕЄСТРАТОР ФІСКАЛІЗОВАНО УСПІШНО!"), result);
  if (!Check(host, cmd::kPrintText, result, text, kHeading))
    return FiscalizationResult::kReceiptFailed;
  const ReplyRecord& closed = CloseFiscalReceipt(kDefaultPassword, result);
  if (!Check(host, cmd::kCloseFiscalReceipt, result, closed, kHeading))
    return FiscalizationResult::kReceiptFailed;
  host.ShowMessage(Tr("Фіскаліз. реєстратора - Успішно!"));
  return FiscalizationResult::kDone;
}

}  // namespace tolvanet
