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

  FiscalizeOptions fiscalize_options;
  auto* fiscalize = app.add_subcommand(
      "fiscalize",
      "Fiscalize the register (cannot be undone), wait for it to restart and print the "
      "confirmation receipt.");
  fiscalize->add_option("--serial", fiscalize_options.serial_number, "serial number (7-11)")
      ->required();
  fiscalize
      ->add_option("--inspector", fiscalize_options.inspector,
                   "tax inspector password (6 characters)")
      ->required();
  fiscalize->add_option("--password", fiscalize_options.password, "operator password")
      ->capture_default_str();
  fiscalize
      ->add_option("--attempts", fiscalize_options.attempts,
                   "diagnostic commands at most while the register restarts")
      ->capture_default_str()
      ->check(CLI::Range(1, 1000));
  fiscalize->add_flag("--yes", fiscalize_options.yes,
                      "answer the question \"cannot be undone\" with yes");

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
  if (fiscalize->parsed())
    return RunFiscalize(options, fiscalize_options);
  return kExitUsage;
}
