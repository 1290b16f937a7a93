// tolvanet-cli: sends device commands, runs scripts and reads the status of a register
// through the relay server, without a display.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  using namespace tolvanet::cli;
  CLI::App app{
      "tolvanet-cli: device commands, scripts and status of a fiscal register through the relay "
      "server.\nDefaults for --address, --id and --log come from fpinit.ini in the current "
      "directory.",
      "tolvanet-cli"};
  app.require_subcommand(1);
  app.fallthrough();
  // A later option wins, so that a wrapper's defaults can be overridden.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

  GlobalOptions options;
  std::string log;
  auto* address =
      app.add_option("--address", options.address, "relay host (default: Address of fpinit.ini)");
  app.add_option("--port", options.port, "relay port")
      ->capture_default_str()
      ->check(CLI::Range(1, 65535));
  auto* id = app.add_option("--id", options.id_dev, "ID_DEV of the register (default: IDDEV)");
  app.add_option("--timeout", options.timeout, "seconds to wait for an answer (per attempt)")
      ->capture_default_str()
      ->check(CLI::PositiveNumber);
  auto* log_option =
      app.add_option("--log", log, "session log file (default: Log/LogName of fpinit.ini)");
  app.add_flag("--json", options.json, "answers as JSON, one object per line");
  app.add_flag("--demo", options.demo,
               "start the built-in simulated register on a free loopback port and use it");

  std::vector<std::string> send_args;
  auto* send = app.add_subcommand(
      "send",
      "Send device commands over one connection, in order. CODE is decimal (33) or "
      "hexadecimal (0x21); TEXT is the whole command text, password first (406172;).");
  send->add_option("CODE TEXT", send_args, "pairs of a command code and its text")->required();

  ScriptOptions script;
  int continue_from = 0;
  int step_from = 0;
  auto* run = app.add_subcommand(
      "run", "Run a script file: in full, from a line count (--continue) or one line (--step).");
  run->add_option("FILE", script.file, "script file")->required()->check(CLI::ExistingFile);
  auto* cont = run->add_option("--continue", continue_from,
                               "\"Продолжить\": command lines after the first N lines")
                   ->check(CLI::NonNegativeNumber);
  auto* step =
      run->add_option("--step", step_from, "\"Шаг\": the next command line after the first N lines")
          ->check(CLI::NonNegativeNumber);
  cont->excludes(step);
  run->add_flag("--quiet", script.quiet,
                "\"Не выводить данные\": leave exchanges and shown comments out");

  std::string password = "406172";
  auto* status = app.add_subcommand(
      "status", "Identify the register and show its six status bytes bit by bit.");
  status->add_option("--password", password, "operator password")->capture_default_str();

  TransferOptions transfer;
  auto* firmware = app.add_subcommand("firmware", "Read the register's firmware into FILE.");
  firmware->add_option("FILE", transfer.file, "target file (replaced)")->required();
  firmware->add_option("--password", transfer.password, "operator password")->capture_default_str();

  auto* flash = app.add_subcommand("flash", "Dump, restore or erase the fiscal (flash) memory.");
  flash->require_subcommand(1);
  auto* dump = flash->add_subcommand("dump", "Read --count bytes from --start into FILE.");
  auto* restore =
      flash->add_subcommand("restore", "Write the first --count bytes of FILE from --start on.");
  for (auto* sub : {dump, restore}) {
    sub->add_option("--start", transfer.start, "first address (decimal digits)")->required();
    sub->add_option("--count", transfer.count, "number of bytes (decimal digits)")->required();
    sub->add_option("FILE", transfer.file, "dump file")->required();
  }
  dump->add_option("--repeats", transfer.repeats, "repeats of a failed block")
      ->capture_default_str()
      ->check(CLI::Range(0, 99));
  auto* erase = flash->add_subcommand("erase", "Erase the whole fiscal memory (needs --yes).");
  erase->add_flag("--yes", transfer.yes, "confirm the erase");
  for (auto* sub : {dump, restore, erase}) {
    sub->add_option("--password", transfer.password, "operator password")->capture_default_str();
  }

  auto* logo = app.add_subcommand("logo", "Program the register's logo from a BMP file.");
  logo->add_option("FILE", transfer.file, "BMP picture")->required()->check(CLI::ExistingFile);
  logo->add_option("--width", transfer.width, "width to send (default: picture within limit)")
      ->check(CLI::PositiveNumber);
  logo->add_option("--height", transfer.height, "height to send (default: picture within limit)")
      ->check(CLI::PositiveNumber);
  logo->add_option("--password", transfer.password, "operator password")->capture_default_str();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }

  if (log_option->count() > 0)
    options.log = log;
  if (!options.demo)
    ApplyConfigDefaults(options, address->count() > 0, id->count() > 0, log_option->count() > 0);
  if (send->parsed())
    return RunSend(options, send_args);
  if (run->parsed()) {
    if (cont->count() > 0)
      script.continue_from = continue_from;
    if (step->count() > 0)
      script.step_from = step_from;
    return RunScript(options, script);
  }
  if (status->parsed())
    return RunStatus(options, password);
  if (firmware->parsed())
    return RunFirmware(options, transfer);
  if (flash->parsed()) {
    transfer.action = dump->parsed() ? "dump" : restore->parsed() ? "restore" : "erase";
    return RunFlash(options, transfer);
  }
  if (logo->parsed())
    return RunLogo(options, transfer);
  return kExitUsage;
}
