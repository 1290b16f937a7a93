#include "settings/modem.h"

#include <string>

#include "link/commands.h"
#include "link/engine.h"

namespace tolvanet {

namespace {
int DigitOrZero(std::string_view field, std::size_t i) {
  static constexpr std::string_view kDigits = "0123456789ABCDEF";
  if (i >= field.size())
    return 0;
  const std::size_t at = kDigits.find(field[i]);
  return at == std::string_view::npos ? 0 : static_cast<int>(at);
}
}  // namespace

ReplyRecord& GetModemState(std::string_view pwd, bool print) {
  return ExecuteCommand(cmd::kGetModemState, std::string(pwd) + (print ? ";1;" : ";0;"));
}

ReplyRecord& GetLastAcquirerSession(std::string_view pwd) {
  return ExecuteCommand(cmd::kGetLastAcquirerSession, std::string(pwd) + ";");
}

std::uint8_t ModemStatusByte(std::string_view field) {
  return static_cast<std::uint8_t>(DigitOrZero(field, 0) * 16 + DigitOrZero(field, 1));
}

}  // namespace tolvanet
