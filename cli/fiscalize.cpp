// fiscalize: fiscalizes the register and prints its confirmation receipt, with the same
// sequence as the fiscalization window.
#include <chrono>
#include <iostream>
#include <thread>

#include "cli/cli.h"
#include "link/codepage.h"
#include "settings/fiscalization.h"

namespace tolvanet::cli {

namespace {

class TerminalHost : public FiscalizationHost {
 public:
  void ReplyReceived(const ReplyRecord&) override {}
  void ShowMessage(const std::string& text) override { std::cerr << text << "\n"; }
  void WaitAttempt(int attempt, int attempts) override {
    std::cerr << "Очікування реєстратора: спроба " << attempt << " з " << attempts << "\n";
  }
  void Pause(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  std::int64_t NowMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

}  // namespace

int RunFiscalize(GlobalOptions& options, const FiscalizeOptions& fiscalize) {
  const std::optional<std::string> password = OptionText(fiscalize.password, "fiscalize: в пароле");
  const std::optional<std::string> serial =
      password ? OptionText(fiscalize.serial_number, "fiscalize: в заводском номере")
               : std::nullopt;
  const std::optional<std::string> inspector =
      serial ? OptionText(fiscalize.inspector, "fiscalize: в пароле налогового инспектора")
             : std::nullopt;
  if (!inspector)
    return kExitUsage;
  FiscalizationInput input{*password, *serial, *inspector, *inspector};
  if (const std::string refusal = CheckFiscalizationInput(input); !refusal.empty()) {
    std::cerr << refusal << "\n";
    return kExitUsage;
  }
  if (!fiscalize.yes) {
    std::cerr << FiscalizationQuestion(fiscalize.serial_number)
              << "\nНичего не отправлено: подтвердите параметром --yes.\n";
    return kExitUsage;
  }
  Session session;
  if (int rc = session.Open(options); rc != kExitOk)
    return rc;
  TerminalHost host;
  FiscalizationWait wait;
  wait.attempts = fiscalize.attempts;
  return RunFiscalization(input, host, wait) == FiscalizationResult::kDone ? kExitOk : kExitFailed;
}

}  // namespace tolvanet::cli
