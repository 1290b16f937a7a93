// The way every window ends a device command: the reply becomes the current reply, then, in
// this order, a refusal of the builder (nothing sent), a refusal of the link, a time-out, a
// damaged answer (checksum error or NAK) or an error code other than "0000" is reported to the
// operator in the style the window asks for; only otherwise may the window use the answer.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "link/reply.h"
#include "link/translate.h"

namespace tolvanet {

// Kept in the original; the kit translates them where it shows them (TrText).
inline constexpr std::string_view kTimeoutMessage = TrNoop("Таймаут устройства! Ошибка!");
inline constexpr std::string_view kSuccessMessage = TrNoop("Успешно!");
inline constexpr std::string_view kStatusHeading = TrNoop("Проверка состояния регистратора:\n  ");

// How an error code other than "0000" is reported.
enum class FailureStyle {
  kDeviceMessage,  // heading followed by the device error message (the usual way)
  kFixedText,      // a fixed text of the window's own, without the device message
  kRawCode,        // heading followed by the error code text as it came
  kSilent,         // nothing: the window shows the outcome itself
};

// What a window says when a command fails.
struct ReplyCheck {
  std::string heading;  // "Печать дневных отчетов:\n  "
  FailureStyle style = FailureStyle::kDeviceMessage;
  std::string fixed_text;  // for kFixedText
  // Shown when the register did not answer; empty shows nothing.
  std::string timeout_message = std::string(kTimeoutMessage);

  static ReplyCheck Heading(std::string heading) {
    ReplyCheck c;
    c.heading = std::move(heading);
    return c;
  }
  static ReplyCheck Fixed(std::string text) {
    ReplyCheck c;
    c.style = FailureStyle::kFixedText;
    c.fixed_text = std::move(text);
    return c;
  }
  static ReplyCheck RawCode(std::string heading) {
    ReplyCheck c = Heading(std::move(heading));
    c.style = FailureStyle::kRawCode;
    return c;
  }
  // Nothing at all, time-outs included (the window reports the outcome its own way).
  static ReplyCheck Silent() {
    ReplyCheck c;
    c.style = FailureStyle::kSilent;
    c.timeout_message.clear();
    return c;
  }
  ReplyCheck& Timeout(std::string text) {
    timeout_message = std::move(text);
    return *this;
  }
};

enum class CommandOutcome {
  kSucceeded,
  kArgumentsRefused,  // the builder refused its arguments: nothing was sent
  kLinkRefused,       // the link refused to send (too long, busy, connecting)
  kTimeout,           // no answer
  kDamaged,           // the answer's checksum did not match, or a NAK came
  kDeviceError,       // an error code other than "0000"
};

struct CommandEnd {
  CommandOutcome outcome = CommandOutcome::kSucceeded;
  std::string message;  // what is shown (UTF-8); empty for success or a silent failure

  bool ok() const { return outcome == CommandOutcome::kSucceeded; }
};

// Judges a command without showing anything. `builder_result` is the builder's result code
// (negative: refused, with `command_code` naming the command for the message); pass 0 for
// commands sent with ExecuteCommand directly.
CommandEnd JudgeCommand(int command_code, int builder_result, const ReplyRecord& reply,
                        const ReplyCheck& check);

// The whole sequence: unless the builder refused, stores `reply` as the current reply and runs
// `before_test` (fill the "Код ошибки:" box, enable the status button); then judges it and
// shows the failure message through the platform. True when the command succeeded.
bool EndCommand(int command_code, int builder_result, const ReplyRecord& reply,
                const ReplyCheck& check,
                const std::function<void(const ReplyRecord&)>& before_test = {});

// The message for a builder's refusal: which argument, what is allowed; nothing was sent.
std::string BuilderRefusalMessage(int command_code, int builder_result);

// The short forms: stores `reply` as the current reply and checks it with `heading` and the
// device error message. True when the command succeeded.
bool CheckReply(const ReplyRecord& reply, std::string_view heading,
                std::string_view timeout_message = kTimeoutMessage);

// The same checks without showing anything: the message that would be shown, empty on success.
std::string ReplyFailureMessage(const ReplyRecord& reply, std::string_view heading,
                                std::string_view timeout_message = kTimeoutMessage);

// Leading decimal number of an answer field (0 when there is none).
int FieldInt(const ReplyRecord& reply, int field);

// The register line of the status bar: "   Модель:" M ",    Версия:" V ",     " X "."
// (UTF-8; the fields are converted from Windows-1251), in the interface's language; with
// `original`, in the original texts (for JSON and files).
std::string ModelLine(const ReplyRecord& reply, bool original = false);

// Appended to the register line when the register is in service mode (status byte 0, bit 0).
inline constexpr const char* kServiceModeMark = TrNoop(" Сервис.реж.");

// Answer field 10 of a diagnostic answer as the payment type count: 10 when 0 or absent, and
// always within 1..10 (the payment commands take types 0..9).
int PaymentTypeCount(const ReplyRecord& reply);

// The status check of the main window and the status window's refresh: sends
// GetDiagnosticInfo with "406172", stores the reply and reports a failure under
// "Проверка состояния регистратора:\n  ". On success — and, with `despite_error_code`, also on
// an error code (the main window's check goes on to the status window then) — it sets the
// payment type count and the main window's status line (through the shared state).
CommandEnd RunStatusCheck(bool despite_error_code);

}  // namespace tolvanet
