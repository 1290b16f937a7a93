#include "app/dialog_pattern.h"

#include "app/app_state.h"
#include "app/platform.h"
#include "app/profile.h"
#include "link/codepage.h"
#include "link/device_errors.h"
#include "link/engine.h"

namespace tolvanet {

std::string ReplyFailureMessage(const ReplyRecord& reply, std::string_view heading,
                                std::string_view timeout_message) {
  if (reply.NoAnswer()) {
    const std::string& refusal = TheEngine().refusal();
    if (&reply == &TheEngine().reply() && !refusal.empty())
      return refusal;
    return std::string(timeout_message);
  }
  if (reply.error_code == "0000")
    return {};
  std::string message;
  DeviceErrorMessage(reply, message);
  return std::string(heading) + message;
}

bool CheckReply(const ReplyRecord& reply, std::string_view heading,
                std::string_view timeout_message) {
  TheAppState().current_reply = &reply;
  const std::string failure = ReplyFailureMessage(reply, heading, timeout_message);
  if (failure.empty())
    return true;
  ThePlatform().ShowMessage(failure);
  return false;
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
  return n != 0 ? n : 10;
}

}  // namespace tolvanet
