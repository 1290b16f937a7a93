#include "settings/fiscalization.h"

#include "app/dialog_pattern.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/device_errors.h"
#include "settings/fiscal_params.h"
#include "link/free_text.h"

namespace tolvanet {

namespace {

constexpr std::string_view kHeading = "Фіскаліз. реєстратора:\n  ";
constexpr std::string_view kInfoReportHeading = "Фискализация регистратора:\n  ";
constexpr std::string_view kDefaultPassword = "406172";
constexpr std::string_view kNotPrinted = "Квитанцію про фіскалізацію не надруковано.";

// Shows the failure of `reply` under `heading`; true when the command succeeded.
bool Check(FiscalizationHost& host, int code, int result, const ReplyRecord& reply,
           std::string_view heading) {
  if (result >= 0)
    host.ReplyReceived(reply);
  const CommandEnd end =
      JudgeCommand(code, result, reply,
                   ReplyCheck::Heading(std::string(heading))
                       .Timeout(std::string(heading) + std::string(kTimeoutMessage)));
  if (end.ok())
    return true;
  if (!end.message.empty())
    host.ShowMessage(end.message);
  return false;
}

// A reply that another attempt may change: nothing came, it came damaged, or the link could
// not send it yet.
bool PassesByItself(CommandOutcome outcome) {
  return outcome == CommandOutcome::kTimeout || outcome == CommandOutcome::kDamaged ||
         outcome == CommandOutcome::kLinkRefused;
}

// Waits for the register to answer the diagnostic command; the message when it did not.
std::string WaitForRegister(FiscalizationHost& host, const FiscalizationWait& wait) {
  const std::int64_t start = host.NowMs();
  const std::string done = "Фіскалізацію виконано. ";
  for (int attempt = 1; attempt <= wait.attempts; ++attempt) {
    if (attempt > 1)
      host.Pause(wait.pause_ms);
    if (host.StopRequested())
      return done + "Очікування реєстратора перервано.\n" + std::string(kNotPrinted);
    if (attempt > 1 && host.NowMs() - start >= wait.total_ms)
      break;
    host.WaitAttempt(attempt, wait.attempts);
    int result = 0;
    const ReplyRecord& r = GetDiagnosticInfo(kDefaultPassword, result);
    host.ReplyReceived(r);
    const CommandEnd end = JudgeCommand(cmd::kGetDiagnosticInfo, result, r, ReplyCheck::Silent());
    if (end.ok())
      return {};
    if (!PassesByItself(end.outcome)) {
      std::string message;
      DeviceErrorMessage(r, message);
      return done + "Реєстратор відповів помилкою " + r.error_code + ":\n  " + message + "\n" +
             std::string(kNotPrinted);
    }
  }
  return done + "Реєстратор не відповів.\n" + std::string(kNotPrinted);
}

}  // namespace

std::string CheckFiscalizationInput(const FiscalizationInput& input) {
  if (input.inspector.size() != 6 || input.inspector_repeat.size() != 6)
    return "Довжина пароля - 6!";
  if (input.inspector != input.inspector_repeat)
    return "Повторно зроби ввод паролей та фіскалізацію";
  if (input.serial_number.size() < kSerialMin || input.serial_number.size() > kSerialMax)
    return "Заводський номер - від 7 до 11 символів! Фіскалізацію не виконано.";
  for (const auto& [text, caption] :
       {std::pair<const std::string&, std::string_view>{input.password, "Пароль"},
        {input.serial_number, "Заводской номер ККМ"},
        {input.inspector, "Пароль налогового инспектора"}}) {
    std::string message = CheckFreeText(text, caption);
    if (!message.empty())
      return message;
  }
  return {};
}

std::string FiscalizationQuestion(std::string_view serial_number) {
  return "Фіскалізувати реєстратор із заводським номером " + std::string(serial_number) +
         "?\nФіскалізацію неможливо скасувати.";
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
  if (!Check(host, cmd::kFiscalize, result, fiscalized, kHeading))
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
  host.ShowMessage("Фіскаліз. реєстратора - Успішно!");
  return FiscalizationResult::kDone;
}

}  // namespace tolvanet
