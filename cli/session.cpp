#include <cmath>
#include <iostream>

#include "app/config.h"
#include "cli/cli.h"
#include "link/codepage.h"
#include "link/device_errors.h"
#include "link/engine.h"
#include "link/free_text.h"
#include "link/hex.h"
#include "link/relay_link.h"
#include "link/translate.h"
#ifdef TOLVANET_CLI_WITH_SIM
#include "sim/register.h"
#include "sim/server.h"
#include "sim/tape_file.h"
#endif

namespace tolvanet::cli {

namespace {
constexpr char kDemoIdDev[] = "DEMO1";
}

std::string ConfigFile(const GlobalOptions& options) {
  return LocateConfig(options.config, CurrentConfigEnvironment());
}

void ApplyConfigDefaults(GlobalOptions& options, bool address_given, bool id_given,
                         bool log_given) {
  const std::string path = ConfigFile(options);
  const StartupSettings startup = LoadStartupSettings(path);
  if (!address_given)
    options.address = startup.address;
  if (!id_given)
    options.id_dev = startup.id_dev;
  if (!log_given) {
    const std::string name = LoadConnectionSettings(path).LogFileName();
    if (!name.empty()) {
      options.log = name;
      options.log_directory = SessionLogDirectory(path);
    }
  }
}

struct Session::Impl {
#ifdef TOLVANET_CLI_WITH_SIM
  sim::TapeFile tape;  // outlives the server, which writes to it
  std::unique_ptr<sim::Server> server;
#endif
  bool open = false;
};

Session::Session() : impl_(std::make_unique<Impl>()) {}

Session::~Session() {
  if (impl_->open)
    TheLink().CloseLink();
#ifdef TOLVANET_CLI_WITH_SIM
  if (impl_->server)
    impl_->server->Stop();
#endif
}

int Session::Open(GlobalOptions& options) {
  if (options.demo) {
#ifdef TOLVANET_CLI_WITH_SIM
    if (options.id_dev.empty())
      options.id_dev = kDemoIdDev;
    sim::ServerOptions so;
    so.address = "127.0.0.1";
    so.port = 0;
    impl_->server = std::make_unique<sim::Server>(so);
    sim::Register& reg = impl_->server->AddRegister(options.id_dev);
    if (!options.tape.empty()) {
      if (!impl_->tape.Open(options.tape)) {
        std::cerr << "--tape " << impl_->tape.error_text() << "\n";
        return kExitUsage;
      }
      impl_->tape.Attach(reg);
    }
    if (!impl_->server->Start()) {
      std::cerr << Tr("Не удалось запустить встроенный регистратор: ")
                << impl_->server->error_text() << "\n";
      return kExitNoConnection;
    }
    options.address = "127.0.0.1";
    options.port = impl_->server->port();
#else
    std::cerr << Tr("Встроенный регистратор в эту сборку не входит.\n");
    return kExitUsage;
#endif
  }
  if (options.address.empty()) {
    std::cerr << Tr("Адрес не задан: укажите --address или Address в fpinit.ini.\n");
    return kExitUsage;
  }
  if (options.id_dev.empty()) {
    std::cerr << Tr("ID_DEV не задан: укажите --id или IDDEV в fpinit.ini.\n");
    return kExitUsage;
  }
  if (options.log) {
    TheEngine().log().SetLogDirectory(options.log_directory);
    SetLogFileName(*options.log);
  }

  RelayLink& link = TheLink();
  LinkTimings& t = link.timings();
  const long long wait_ms = std::max(1LL, std::llround(options.timeout * 1000));
  t.port = static_cast<std::uint16_t>(options.port);
  t.wait_step = std::chrono::milliseconds(std::min(2000LL, wait_ms));
  const int steps = static_cast<int>((wait_ms + t.wait_step.count() - 1) / t.wait_step.count());
  t.exchange_steps = steps;
  t.register_steps = steps;
  link.SetHost(options.address);
  link.SetIdDev(ToCp1251(options.id_dev));
  if (!link.OpenLink()) {
    std::cerr << Tr("Невозможно подключиться к IP адресу");
    if (!link.error_text().empty())
      std::cerr << " (" << link.error_text() << ")";
    std::cerr << "\n";
    return kExitNoConnection;
  }
  impl_->open = true;
  const Registration reg = link.RegisterDevice();
  if (!IsReadyAnswer(reg.answer)) {
    std::cerr << Tr("РРО с данным ID_DEV не подключен!") << "\n";
    return kExitNoConnection;
  }
  return kExitOk;
}

std::optional<int> ParseCommandCode(const std::string& text) {
  int base = 10;
  std::string digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits = digits.substr(2);
  }
  if (digits.empty() || digits.size() > 4)
    return std::nullopt;
  int value = 0;
  for (char c : digits) {
    const int d = HexDigitValue(c);
    if (d < 0 || d >= base)
      return std::nullopt;
    value = value * base + d;
  }
  if (value > 255)
    return std::nullopt;
  return value;
}

bool ReplyOutcome(const ReplyRecord& reply, std::string& message) {
  if (reply.Damaged()) {
    // Its "0000" and fields cannot be trusted.
    message = DamagedAnswerMessage(reply);
    return false;
  }
  return DeviceErrorMessage(reply, message);
}

std::string TerminalText(const std::string& cp1251) {
  std::string shown;
  for (unsigned char c : cp1251) {
    if (c < 0x20 || c == 0x7F) {
      shown += '<' + HexByte(c) + '>';
    } else {
      shown += static_cast<char>(c);
    }
  }
  return FromCp1251(shown);
}

std::optional<std::string> OptionText(const std::string& utf8, const std::string& what) {
  std::string bytes = ToCp1251(utf8);
  if (!IsValidUtf8(utf8) || FromCp1251(bytes) != utf8) {
    // TRANSLATORS: %1 is a command and a place, such as "report: в пароле".
    std::cerr << TrArgs(Tr("%1 есть символы, которых нет в Windows-1251."), {what}) << "\n";
    return std::nullopt;
  }
  return bytes;
}

std::optional<std::string> PasswordOption(const std::string& command, const std::string& utf8) {
  std::optional<std::string> password = OptionText(utf8, command + ": " + Tr("в пароле"));
  if (!password)
    return std::nullopt;
  if (const std::string error = CheckFreeText(*password, "Пароль"); !error.empty()) {
    std::cerr << command << ": " << error << "\n";
    return std::nullopt;
  }
  return password;
}

}  // namespace tolvanet::cli
