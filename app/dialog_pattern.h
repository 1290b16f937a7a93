// The way every window ends a device command: the reply becomes the current reply, then a
// time-out, a command the link refused to send, or an error code other than "0000" is shown
// to the operator; only otherwise may the window use the answer fields.
#pragma once

#include <string>
#include <string_view>

#include "link/reply.h"

namespace tolvanet {

inline constexpr std::string_view kTimeoutMessage = "Таймаут устройства! Ошибка!";

// Stores `reply` as the current reply and checks it. On failure shows, through the platform,
// `timeout_message` for a time-out, the link's own refusal when nothing was sent, or
// `heading` followed by the device error message. True when the command succeeded.
bool CheckReply(const ReplyRecord& reply, std::string_view heading,
                std::string_view timeout_message = kTimeoutMessage);

// The same checks without showing anything: the message that would be shown, empty on success.
std::string ReplyFailureMessage(const ReplyRecord& reply, std::string_view heading,
                                std::string_view timeout_message = kTimeoutMessage);

// Leading decimal number of an answer field (0 when there is none).
int FieldInt(const ReplyRecord& reply, int field);

// The register line of the status bar: "   Модель:" M ",    Версия:" V ",     " X "."
// (UTF-8; the fields are converted from Windows-1251).
std::string ModelLine(const ReplyRecord& reply);

// Answer field 10 of a diagnostic answer as the payment type count: 10 when 0 or absent.
int PaymentTypeCount(const ReplyRecord& reply);

}  // namespace tolvanet
