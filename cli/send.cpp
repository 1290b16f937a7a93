// send: one connection, then each command in order.
#include <iostream>

#include "cli/cli.h"
#include "cli/json.h"
#include "link/codepage.h"
#include "link/device_errors.h"
#include "link/engine.h"
#include "link/frame.h"
#include "link/hex.h"
#include "link/translate.h"

namespace tolvanet::cli {

namespace {

struct Command {
  int code;
  std::string text;  // Windows-1251
};

void PrintHuman(const ReplyRecord& reply, const std::string& message) {
  std::cout << TrArgs(Tr("Команда %1 (0x%2) %3"),
                      {std::to_string(reply.command_code), HexByte(reply.command_code),
                       TrText(reply.description)})
            << "\n";
  std::cout << Tr("Код ошибки: ") << TerminalText(reply.error_code) << "\n";
  if (!message.empty())
    std::cout << Tr("Сообщение: ") << message << "\n";
  for (int i = 0; i < reply.field_count; ++i) {
    std::cout << TrArgs(Tr("Поле %1: "), {std::to_string(i)}) << TerminalText(reply.Field(i))
              << "\n";
  }
  std::cout << Tr("Статус: ") << StatusText(reply) << "\n";
}

}  // namespace

int RunSend(GlobalOptions& options, const std::vector<std::string>& arguments) {
  if (arguments.empty() || arguments.size() % 2 != 0) {
    std::cerr << Tr("send: нужны пары CODE TEXT.\n");
    return kExitUsage;
  }
  std::vector<Command> commands;
  for (std::size_t i = 0; i < arguments.size(); i += 2) {
    auto code = ParseCommandCode(arguments[i]);
    if (!code) {
      std::cerr << "send: неверный код команды \"" << arguments[i]
                << "\": нужно число 0..255 (33) или 0x00..0xFF (0x21).\n";
      return kExitUsage;
    }
    const std::string& text = arguments[i + 1];
    if (!IsValidUtf8(text)) {
      std::cerr << "send: текст команды " << arguments[i] << " не в UTF-8.\n";
      return kExitUsage;
    }
    std::string bytes = ToCp1251(text);
    if (FromCp1251(bytes) != text) {
      std::cerr << "send: в тексте команды " << arguments[i]
                << " есть символы, которых нет в Windows-1251.\n";
      return kExitUsage;
    }
    if (bytes.size() > kMaxCommandText) {
      std::cerr << "send: текст команды " << arguments[i] << " длиннее " << kMaxCommandText
                << " байт (" << bytes.size() << ").\n";
      return kExitUsage;
    }
    commands.push_back({*code, std::move(bytes)});
  }

  Session session;
  if (int rc = session.Open(options); rc != kExitOk)
    return rc;
  Engine& engine = TheEngine();
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const ReplyRecord& reply = engine.ExecuteCommand(commands[i].code, commands[i].text);
    std::string message;
    bool ok = ReplyOutcome(reply, message);
    if (!engine.refusal().empty()) {
      ok = false;
      message = engine.refusal();
    }
    if (options.json) {
      std::cout << ReplyJson(reply, message) << "\n";
    } else {
      PrintHuman(reply, message);
    }
    std::cout.flush();
    if (!ok) {
      if (i + 1 < commands.size())
        std::cerr << Tr("Остальные команды не отправлены.\n");
      return kExitFailed;
    }
  }
  return kExitOk;
}

}  // namespace tolvanet::cli
