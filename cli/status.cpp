// status: the register's identification and its six status bytes, bit by bit.
#include <iostream>

#include "app/dialog_pattern.h"
#include "cli/cli.h"
#include "cli/json.h"
#include "link/commands.h"
#include "link/device_errors.h"
#include "link/translate.h"
#include "reports/status_bytes.h"

namespace tolvanet::cli {

int RunStatus(GlobalOptions& options, const std::string& password_option) {
  const std::optional<std::string> password = PasswordOption("status", password_option);
  if (!password)
    return kExitUsage;
  Session session;
  if (int rc = session.Open(options); rc != kExitOk)
    return rc;

  int result = 0;
  const ReplyRecord& reply = GetDiagnosticInfo(*password, result);
  std::string message;
  if (!ReplyOutcome(reply, message)) {
    if (options.json)
      std::cout << ReplyJson(reply, message) << "\n";
    std::cerr << Tr("Проверка состояния регистратора:\n  ") << message << "\n";
    return kExitFailed;
  }
  std::string line = ModelLine(reply);
  if (reply.status_bytes[0] & 0x01)
    line += " Сервис.реж.";
  const auto& groups = StatusByteGroups();
  const std::string& receipt = ReceiptState(reply.status_bytes[2]);

  if (options.json) {
    std::string out = "{\"line\":" + JsonString(line) + ",\"status\":[";
    for (int i = 0; i < 6; ++i) {
      if (i > 0)
        out += ',';
      out += std::to_string(reply.status_bytes[i]);
    }
    out += "],\"bytes\":[";
    for (int i = 0; i < 6; ++i) {
      if (i > 0)
        out += ',';
      out += "{\"title\":" + JsonString(groups[i].title) + ",\"bits\":[";
      for (int bit = 0; bit < 8; ++bit) {
        if (bit > 0)
          out += ',';
        const bool set = bit == 7 || (reply.status_bytes[i] & (1 << bit)) != 0;
        out += "{\"caption\":" + JsonString(groups[i].bits[bit]) +
               ",\"set\":" + (set ? "true" : "false") + "}";
      }
      out += "]}";
    }
    out += "],\"receipt_state\":" + JsonString(receipt) + "}";
    std::cout << out << "\n";
    return kExitOk;
  }

  std::cout << line << "\n";
  for (int i = 0; i < 6; ++i) {
    std::cout << "\n" << TrText(groups[i].title) << "\n";
    for (int bit = 0; bit < 8; ++bit) {
      // Bit 7 is always set on the wire; the reply keeps the bytes with it cleared.
      const bool set = bit == 7 || (reply.status_bytes[i] & (1 << bit)) != 0;
      std::cout << "  [" << (set ? 'x' : ' ') << "] " << TrText(groups[i].bits[bit]) << "\n";
    }
    if (i == 2)
      std::cout << Tr("  Состояние чека: ") << TrText(receipt) << "\n";
  }
  return kExitOk;
}

}  // namespace tolvanet::cli
