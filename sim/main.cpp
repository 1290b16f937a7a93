// tolvanet-sim: the relay server with simulated registers, for demonstrations, tests and users
// without hardware.
#include <pthread.h>

#include <csignal>
#include <iostream>
#include <mutex>

#include <CLI/CLI.hpp>

#include "app/cli_texts.h"
#include "app/config.h"
#include "app/language.h"
#include "app/version.h"
#include "link/translate.h"
#include "sim/fault_option.h"
#include "sim/register.h"
#include "sim/server.h"
#include "sim/tape_file.h"
#include "sim/terminal_cli.h"

int main(int argc, char** argv) {
  using tolvanet::Tr;
  using tolvanet::TrArgs;
  // The language comes first: --help is written in it. The simulator reads a configuration
  // only when one is named.
  const auto named_config = tolvanet::ScanOption(argc, argv, "--config");
  tolvanet::StartLanguage(
      tolvanet::ScanOption(argc, argv, "--lang"),
      named_config && !named_config->empty()
          ? tolvanet::LocateConfig(*named_config, tolvanet::CurrentConfigEnvironment())
          : std::string(),
      std::cerr);
  CLI::App app{
      Tr("Relay server with simulated fiscal registers. A client connects, registers with a "
         "register's ID_DEV and then talks to that register as to real hardware.")};
  tolvanet::TranslateCliTexts(app);
  std::string language;
  tolvanet::AddLanguageOption(app, language);
  tolvanet::sim::ServerOptions options;
  std::vector<std::string> ids;
  std::size_t flash_size = 65536;
  bool verbose = false;
  app.add_option("-a,--address", options.address, Tr("Address to listen on"))
      ->capture_default_str();
  app.add_option("-p,--port", options.port, Tr("TCP port to listen on (0: any free port)"))
      ->capture_default_str();
  app.add_option("-i,--id", ids,
                 Tr("ID_DEV of a simulated register (repeat for several registers; at most 9 "
                    "characters). Default: one register with ID_DEV 1, unless the state file "
                    "already holds registers"));
  app.add_option("-s,--state", options.state_file,
                 Tr("File that keeps the registers' memory across restarts (created when "
                    "missing, saved while running and on exit)"));
  app.add_option("--flash-size", flash_size,
                 Tr("Size in bytes of the fiscal (flash) memory of registers that are new"))
      ->capture_default_str()
      ->check(CLI::Range(std::size_t{50}, std::size_t{64} * 1024 * 1024));
  app.add_flag("-v,--verbose", verbose, Tr("Print every request and its answer"));
  std::string tape_path;
  app.add_option("--tape", tape_path,
                 Tr("Append the receipt tape to this file as the registers print (- for standard "
                    "output): every document in UTF-8 once it is finished, a blank line and a cut "
                    "line between documents; with several registers each document is headed by "
                    "its ID_DEV"));
  int restart_ms = 0;
  app.add_option("--restart-ms", restart_ms,
                 Tr("Milliseconds a register stays silent while it restarts after RestartDevice "
                    "(243) or Fiscalize (64)"))
      ->capture_default_str()
      ->check(CLI::Range(0, 600000));
  std::vector<std::string> aimed_specs;
  app.add_option("--aim", aimed_specs,
                 Tr("A fault aimed at chosen requests of every register, WHAT@CODE[+SKIP][*COUNT]: "
                    "WHAT is an error code as it travels (0006) or noanswer, nak, badsum; CODE a "
                    "hexadecimal command code or any; SKIP matching requests pass first, then "
                    "COUNT are hit. Example: 0006@42*2. Repeat for several"));
  tolvanet::sim::TerminalSwitches terminal_switches;
  tolvanet::sim::AddTerminalOptions(app, terminal_switches);
  std::string config;
  app.add_option("--config", config,
                 Tr("Configuration file (fpinit.ini) whose Communication / IDDEV names the default "
                    "register instead of 1; without it the simulator reads no configuration"))
      ->check(CLI::ExistingFile);
  auto config_file = [&config] {
    return config.empty() ? config
                          : tolvanet::LocateConfig(config, tolvanet::CurrentConfigEnvironment());
  };
  app.set_version_flag(
      "--version",
      [&config_file] {
        std::string text = tolvanet::VersionText("tolvanet-sim", config_file());
        text.pop_back();  // the caller ends the line
        return text;
      },
      Tr("Display program version information and exit"));
  CLI11_PARSE(app, argc, argv);

  std::vector<tolvanet::sim::AimedFault> aimed;
  for (const std::string& text : aimed_specs) {
    std::string why;
    const auto fault = tolvanet::sim::ParseAimedFault(text, why);
    if (!fault) {
      std::cerr << "tolvanet-sim: --aim " << text << ": " << why << "\n";
      return 2;
    }
    aimed.push_back(*fault);
  }

  for (const std::string& id : ids) {
    if (id.empty() || id.size() > 9 || id.find('\0') != std::string::npos) {
      std::cerr << TrArgs(Tr("tolvanet-sim: ID_DEV \"%1\" must have 1 to 9 characters\n"), {id});
      return 2;
    }
  }

  // Ctrl-C and termination are taken by sigwait below; the server's thread must not get them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  std::mutex out_mutex;
  options.log = [&out_mutex](const std::string& line) {
    std::lock_guard<std::mutex> lock(out_mutex);
    std::cerr << "tolvanet-sim: " << line << "\n";
  };
  options.log_requests = verbose;
  tolvanet::sim::Server server(options);
  // A register that is new gets the fiscal memory size asked for; one kept in the state file
  // keeps its own (Start loads it over this).
  auto add = [&](const std::string& id) {
    server.AddRegister(id).ChangeState(
        [&](tolvanet::sim::RegisterState& s) { s.flash = tolvanet::sim::FlashMemory(flash_size); });
  };
  for (const std::string& id : ids)
    add(id);
  if (!server.Start()) {
    std::cerr << "tolvanet-sim: " << server.error_text() << "\n";
    return 1;
  }
  if (ids.empty() && server.register_ids().empty()) {
    std::string id = "1";
    if (!config.empty()) {
      const std::string configured = tolvanet::LoadStartupSettings(config_file()).id_dev;
      if (!configured.empty())
        id = configured;
    }
    add(id);
  }
  for (const std::string& id : server.register_ids()) {
    for (const tolvanet::sim::AimedFault& fault : aimed)
      server.FindRegister(id)->AimFault(fault);
  }

  tolvanet::sim::TapeFile tape;
  if (!tape_path.empty()) {
    if (!tape.Open(tape_path)) {
      std::cerr << "tolvanet-sim: --tape " << tape.error_text() << "\n";
      server.Stop();
      return 1;
    }
    tape.SetNameRegisters(server.register_ids().size() > 1);
    for (const std::string& id : server.register_ids())
      tape.Attach(*server.FindRegister(id));
  }

  for (const std::string& id : server.register_ids()) {
    server.FindRegister(id)->ChangeFaults(
        [restart_ms](tolvanet::sim::Faults& f) { f.restart_busy_ms = restart_ms; });
  }

  std::string list;
  for (const std::string& id : server.register_ids())
    list += (list.empty() ? "" : ", ") + id;
  std::cerr << TrArgs(Tr("tolvanet-sim: listening on %1:%2, registers (ID_DEV): %3; Ctrl-C "
                         "stops\n"),
                      {options.address, std::to_string(server.port()), list});

  tolvanet::sim::Terminal terminal;
  if (terminal_switches.enabled) {
    terminal.SetBehaviour(tolvanet::sim::TerminalBehaviourOf(terminal_switches));
    terminal.SetLog([&out_mutex](const std::string& line) {
      std::lock_guard<std::mutex> lock(out_mutex);
      std::cerr << "tolvanet-sim: terminal: " << line << "\n";
    });
    if (!terminal.Start()) {
      std::cerr << "tolvanet-sim: " << terminal.error_text() << "\n";
      server.Stop();
      return 1;
    }
    std::cerr << TrArgs(Tr("tolvanet-sim: card terminal on %1 (Terminal=%1 in section "
                           "Communication of fpinit.ini)\n"),
                        {terminal.device_path()});
    std::cout << terminal.device_path() << std::endl;
  }

  int received = 0;
  sigwait(&signals, &received);
  std::cerr << Tr("tolvanet-sim: stopping\n");
  server.Stop();
  for (const std::string& id : server.register_ids())
    server.FindRegister(id)->SetPrintSink({});
  return 0;
}
