#include "settings/fiscalization.h"

#include "app/dialog_pattern.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/device_errors.h"
#include "settings/fiscal_params.h"
#include "settings/free_text.h"

namespace tolvanet {

namespace {

constexpr std::string_view kHeading = "Фіскаліз. реєстратора:\n  ";
constexpr std::string_view kInfoReportHeading = "Фискализация регистратора:\n  ";
constexpr std::string_view kDefaultPassword = "406172";
constexpr std::string_view kNotPrinted = "Квитанцію про фіскалізацію не надруковано.";

// Shows the failure of `reply` under `heading`; true when the command succeeded.
bool Check(FiscalizationHost& host, const ReplyRecord& reply, std::string_view heading) {
  host.ReplyReceived(reply);
  const std::string failure =
      ReplyFailureMessage(reply, heading, std::string(heading) + std::string(kTimeoutMessage));
  if (failure.empty())
    return true;
  host.ShowMessage(failure);
  return false;
}

// A reply that another attempt may change: nothing came, or it came damaged.
bool PassesByItself(const ReplyRecord& reply) {
  return reply.NoAnswer() ||
         (reply.status_flags & (status_bits::kNak | status_bits::kChecksumError)) != 0;
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
    if (r.Succeeded())
      return {};
    if (!PassesByItself(r)) {
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
  if (!Check(host, Fiscalize(input.password, input.serial_number, input.inspector, result),
             kHeading)) {
    return FiscalizationResult::kFailed;
  }
  const std::string not_back = WaitForRegister(host, wait);
  if (!not_back.empty()) {
    host.ShowMessage(not_back);
    return FiscalizationResult::kNotConfirmed;
  }
  if (!Check(host, OpenNonFiscalReceipt(kDefaultPassword, result), kHeading))
    return FiscalizationResult::kReceiptFailed;
  Check(host, PrintInfoReport(kDefaultPassword, 1, result), kInfoReportHeading);
  if (!Check(host,
             PrintText(kDefaultPassword, ToCp1251("РЕЄСТРАТОР ФІСКАЛІЗОВАНО УСПІШНО!"), result),
             kHeading)) {
    return FiscalizationResult::kReceiptFailed;
  }
  if (!Check(host, CloseFiscalReceipt(kDefaultPassword, result), kHeading))
    return FiscalizationResult::kReceiptFailed;
  host.ShowMessage("Фіскаліз. реєстратора - Успішно!");
  return FiscalizationResult::kDone;
}

}  // namespace tolvanet
