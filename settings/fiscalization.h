// Fiscalization of the register: the checks of the inputs, the question before it, the command,
// the wait for the register to come back (bounded and cancellable) and the confirmation
// receipt. The loop runs here behind a small host, so a window and the terminal tool run the
// same sequence.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/reply.h"

namespace tolvanet {

// Inputs as typed (Windows-1251 bytes).
struct FiscalizationInput {
  std::string password;          // operator password
  std::string serial_number;     // 1..11 characters
  std::string inspector;         // tax inspector password, 6 characters
  std::string inspector_repeat;  // the same once more
};

// The checks before anything is sent, in order: the inspector passwords' length ("Довжина
// пароля - 6!"), their match, the serial number (not empty, at most 11 characters), then free
// text in every box. The message, or empty.
std::string CheckFiscalizationInput(const FiscalizationInput& input);

// The question asked before fiscalization (default answer: Cancel). `serial_number` in UTF-8.
std::string FiscalizationQuestion(std::string_view serial_number);

// Bounds of the wait for the register after Fiscalize: at most `attempts` diagnostic commands
// and at most `total_ms` of waiting, with `pause_ms` between attempts.
struct FiscalizationWait {
  int attempts = 30;
  int pause_ms = 1000;
  std::int64_t total_ms = 300000;
};

class FiscalizationHost {
 public:
  virtual ~FiscalizationHost() = default;
  // Every reply of the run as it arrives (the window stores it as the current reply and shows
  // its error code).
  virtual void ReplyReceived(const ReplyRecord& reply) = 0;
  // A message for the operator (UTF-8).
  virtual void ShowMessage(const std::string& text) = 0;
  // Before each attempt of the wait: its number (from 1) and the most there will be.
  virtual void WaitAttempt(int /*attempt*/, int /*attempts*/) {}
  // True once the operator asked to stop waiting.
  virtual bool StopRequested() { return false; }
  // Waits `ms` milliseconds while the host stays responsive.
  virtual void Pause(int ms) = 0;
  // A steady clock in milliseconds (any origin).
  virtual std::int64_t NowMs() = 0;
};

enum class FiscalizationResult {
  kRefused,        // nothing sent: the inputs were refused
  kFailed,         // the register refused Fiscalize
  kNotConfirmed,   // fiscalized; the register did not come back, no receipt was printed
  kReceiptFailed,  // fiscalized; the confirmation receipt failed
  kDone,           // fiscalized and the receipt printed
};

// Runs the whole sequence after the question was answered with OK. Messages go to the host:
// "Фіскаліз. реєстратора:\n  " + the device message on a failed command, "Фіскаліз. реєстратора
// - Успішно!" at the end. When Fiscalize got no answer or a damaged one, the message adds that
// the register may be fiscalized and its state must be read before another try. The wait asks
// again through every failed answer, error codes included, until a success, StopRequested()
// or its bounds; the operator is then told that the register is fiscalized and the receipt
// was not printed.
FiscalizationResult RunFiscalization(const FiscalizationInput& input, FiscalizationHost& host,
                                     const FiscalizationWait& wait = {});

}  // namespace tolvanet
