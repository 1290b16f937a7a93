// tolvanet-cli: sends device commands, runs scripts and reads the status of a register
// through the relay server, without a display.
#include <CLI/CLI.hpp>
#include <iostream>

#include "app/cli_texts.h"
#include "app/config.h"
#include "app/language.h"
#include "app/version.h"
#include "cli/cli.h"

int main(int argc, char** argv) {
  using namespace tolvanet::cli;
  using tolvanet::Tr;
  // The language comes first: --help is written in it.
  tolvanet::StartLanguage(
      tolvanet::ScanOption(argc, argv, "--lang"),
      tolvanet::LocateConfig(tolvanet::ScanOption(argc, argv, "--config").value_or(""),
                             tolvanet::CurrentConfigEnvironment()),
      std::cerr);
  CLI::App app{
      Tr("tolvanet-cli: device commands, scripts and status of a fiscal register through the relay "
         "server.\nDefaults for --address, --id and --log come from the configuration file: "
         "fpinit.ini in the current directory when it is there, else "
         "$XDG_CONFIG_HOME/tolvanet/fpinit.ini (~/.config/tolvanet/fpinit.ini), or --config FILE."),
      "tolvanet-cli"};
  tolvanet::TranslateCliTexts(app);
  app.require_subcommand(1);
  app.fallthrough();
  // A later option wins, so that a wrapper's defaults can be overridden.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

  GlobalOptions options;
  std::string log;
  std::string language;
  tolvanet::AddLanguageOption(app, language);
  auto* address = app.add_option("--address", options.address,
                                 Tr("relay host (default: Address of fpinit.ini)"));
  app.add_option("--port", options.port, Tr("relay port"))
      ->capture_default_str()
      ->check(CLI::Range(1, 65535));
  auto* id = app.add_option("--id", options.id_dev, Tr("ID_DEV of the register (default: IDDEV)"));
  app.add_option("--timeout", options.timeout, Tr("seconds to wait for an answer (per attempt)"))
      ->capture_default_str()
      ->check(CLI::PositiveNumber);
  auto* log_option =
      app.add_option("--log", log, Tr("session log file (default: Log/LogName of fpinit.ini)"));
  app.add_flag("--json", options.json, Tr("answers as JSON, one object per line"));
  app.add_flag("--demo", options.demo,
               Tr("start the built-in simulated register on a free loopback port and use it"));
  auto* tape = app.add_option("--tape", options.tape,
                              Tr("with --demo: append the built-in register's receipt tape to "
                                 "this file (- for standard output)"));
  app.add_option("--config", options.config, Tr("configuration file to read instead"))
      ->check(CLI::ExistingFile);
  app.set_version_flag(
      "--version",
      [&options] {
        std::string text =
            tolvanet::VersionText("tolvanet-cli", options.demo ? "" : ConfigFile(options));
        text.pop_back();  // the caller ends the line
        return text;
      },
      Tr("Display program version information and exit"));

  std::vector<std::string> send_args;
  auto* send = app.add_subcommand(
      "send", Tr("Send device commands over one connection, in order. CODE is decimal (33) or "
                 "hexadecimal (0x21); TEXT is the whole command text, password first (406172;)."));
  send->add_option("CODE TEXT", send_args, Tr("pairs of a command code and its text"))->required();

  ScriptOptions script;
  int continue_from = 0;
  int step_from = 0;
  auto* run = app.add_subcommand(
      "run",
      Tr("Run a script file: in full, from a line count (--continue) or one line (--step)."));
  run->add_option("FILE", script.file, Tr("script file"))->required()->check(CLI::ExistingFile);
  auto* cont = run->add_option("--continue", continue_from,
                               Tr("\"Продолжить\": command lines after the first N lines"))
                   ->check(CLI::NonNegativeNumber);
  auto* step = run->add_option("--step", step_from,
                               Tr("\"Шаг\": the next command line after the first N lines"))
                   ->check(CLI::NonNegativeNumber);
  cont->excludes(step);
  run->add_flag("--quiet", script.quiet,
                Tr("\"Не выводить данные\": leave exchanges and shown comments out"));

  std::string password = "406172";
  auto* status = app.add_subcommand(
      "status", Tr("Identify the register and show its six status bytes bit by bit."));
  status->add_option("--password", password, Tr("operator password"))->capture_default_str();

  std::string article_file;
  std::string article_password = "406172";
  auto* articles = app.add_subcommand(
      "articles",
      Tr("Write an article file (*.art, one AddArticul line per article) into the register's "
         "article base; empty lines are skipped, lines too long for a command are named."));
  articles->add_option("FILE", article_file, Tr("article file"))
      ->required()
      ->check(CLI::ExistingFile);
  articles->add_option("--password", article_password, Tr("password"))->capture_default_str();
  ReportOptions report_options;
  std::string report_from, report_to, report_first, report_last;
  auto* report = app.add_subcommand(
      "report",
      Tr("Print the register's reports: daily X and Z, the control tape, periodic, sold goods, "
         "extra daily reports; read its free resources."));
  report->require_subcommand(1);
  report->fallthrough();
  report->add_option("--password", report_options.password, Tr("operator password"))
      ->capture_default_str();
  report->add_subcommand("x", Tr("X report (161, kind 1)."));
  auto* report_z = report->add_subcommand("z", Tr("Z report: closes the shift (161, kind 0)."));
  report->add_subcommand("tape",
                         Tr("Print the control tape in a non-fiscal receipt (96, 97, 166, 101)."));
  auto* report_tape_clear =
      report->add_subcommand("tape-clear", Tr("Clear the control tape (161, kind 2)."));
  auto* report_unload = report->add_subcommand(
      "unload",
      Tr("Unload and clear the control tape (161 kinds 5 and 2; 59 with --clear-articles)."));
  report_unload->add_flag("--clear-articles", report_options.clear_articles,
                          Tr("\"Обнулить базу товаров\": clear the article base as well"));
  for (auto* sub : {report_z, report_tape_clear, report_unload})
    sub->add_flag("--yes", report_options.yes, Tr("do it: this cannot be undone"));
  auto* report_periodic = report->add_subcommand(
      "periodic",
      Tr("Periodic report by dates (--from, --to) or by report numbers (--first, --last)."));
  auto* periodic_from =
      report_periodic->add_option("--from", report_from, Tr("first date, YYYY-MM-DD"));
  auto* periodic_to = report_periodic->add_option("--to", report_to, Tr("last date, YYYY-MM-DD"));
  auto* periodic_first =
      report_periodic->add_option("--first", report_first, Tr("number of the first daily report"));
  auto* periodic_last =
      report_periodic->add_option("--last", report_last, Tr("number of the last daily report"));
  report_periodic->add_flag("--full", report_options.full, Tr("the full report (default: short)"));
  auto* report_goods = report->add_subcommand("goods", Tr("Sold goods report by article codes."));
  report_goods->add_option("--first", report_first, Tr("first article code"))->required();
  report_goods->add_option("--last", report_last, Tr("last article code"))->required();
  auto* report_extra = report->add_subcommand("extra", Tr("Extra daily report (166)."));
  report_extra
      ->add_option("KIND", report_options.extra_kind,
                   Tr("0 or departments, 1 or operators, 2 or tape (the control tape)"))
      ->required();
  report->add_subcommand("resources", Tr("Free resources and status: the twelve values (160)."));
  CardPayOptions card;
  std::string transaction;
  std::string terminal;
  auto* card_pay = app.add_subcommand(
      "card-pay",
      Tr("Pay the receipt the register has open by bank card: the terminal exchange, the card "
         "lines, CardPayment and the signature lines (--transaction: register a payment made on "
         "the terminal under its identifier instead). Exit 0 only when CardPayment succeeded."));
  card_pay->add_option("AMOUNT", card.amount, Tr("amount, e.g. 12.34"))->required();
  card_pay->add_option("--type", card.type, Tr("payment type (1 and up)"))->capture_default_str();
  card_pay->add_flag("--no-card-lines", card.no_card_lines,
                     Tr("print neither the card lines nor the signature lines"));
  auto* transaction_option = card_pay->add_option(
      "--transaction", transaction, Tr("register under this identifier (at most 20 characters)"));
  auto* terminal_option = card_pay->add_option(
      "--terminal", terminal, Tr("the terminal's serial device (default: Terminal of fpinit.ini)"));
  card_pay->add_option("--password", card.password, Tr("operator password"))->capture_default_str();
  card_pay
      ->add_option("--wait", card.wait_seconds,
                   Tr("seconds to wait for the card and for the bank's result (default 180)"))
      ->check(CLI::PositiveNumber);
  FiscalizeOptions fiscalize_options;
  auto* fiscalize = app.add_subcommand(
      "fiscalize",
      Tr("Fiscalize the register (cannot be undone), wait for it to restart and print the "
         "confirmation receipt."));
  fiscalize
      ->add_option("--serial", fiscalize_options.serial_number,
                   Tr("factory serial number (at most 11 characters)"))
      ->required();
  fiscalize
      ->add_option("--inspector", fiscalize_options.inspector,
                   Tr("tax inspector password (6 characters)"))
      ->required();
  fiscalize->add_option("--password", fiscalize_options.password, Tr("operator password"))
      ->capture_default_str();
  fiscalize
      ->add_option("--attempts", fiscalize_options.attempts,
                   Tr("diagnostic commands at most while the register restarts"))
      ->capture_default_str()
      ->check(CLI::Range(1, 1000));
  fiscalize->add_flag("--yes", fiscalize_options.yes,
                      Tr("answer the question \"cannot be undone\" with yes"));

  TransferOptions transfer;
  auto* firmware = app.add_subcommand("firmware", Tr("Read the register's firmware into FILE."));
  firmware->add_option("FILE", transfer.file, Tr("target file (replaced)"))->required();
  firmware->add_option("--password", transfer.password, Tr("operator password"))
      ->capture_default_str();

  auto* flash =
      app.add_subcommand("flash", Tr("Dump, restore or erase the fiscal (flash) memory."));
  flash->require_subcommand(1);
  auto* dump = flash->add_subcommand("dump", Tr("Read --count bytes from --start into FILE."));
  auto* restore = flash->add_subcommand(
      "restore", Tr("Write the first --count bytes of FILE from --start on."));
  for (auto* sub : {dump, restore}) {
    sub->add_option("--start", transfer.start, Tr("first address (decimal digits)"))->required();
    sub->add_option("--count", transfer.count, Tr("number of bytes (decimal digits)"))->required();
    sub->add_option("FILE", transfer.file, Tr("dump file"))->required();
  }
  dump->add_option("--repeats", transfer.repeats, Tr("repeats of a failed block"))
      ->capture_default_str()
      ->check(CLI::Range(0, 99));
  auto* erase = flash->add_subcommand("erase", Tr("Erase the whole fiscal memory (needs --yes)."));
  erase->add_flag("--yes", transfer.yes, Tr("confirm the erase"));
  for (auto* sub : {dump, restore, erase}) {
    sub->add_option("--password", transfer.password, Tr("operator password"))
        ->capture_default_str();
  }

  auto* logo = app.add_subcommand("logo", Tr("Program the register's logo from a BMP file."));
  logo->add_option("FILE", transfer.file, Tr("BMP picture"))->required()->check(CLI::ExistingFile);
  logo->add_option("--width", transfer.width, Tr("width to send (default: picture within limit)"))
      ->check(CLI::PositiveNumber);
  logo->add_option("--height", transfer.height,
                   Tr("height to send (default: picture within limit)"))
      ->check(CLI::PositiveNumber);
  logo->add_option("--password", transfer.password, Tr("operator password"))->capture_default_str();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }

  if (tape->count() > 0 && !options.demo) {
    std::cerr << Tr("--tape работает только вместе с --demo.") << "\n";
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
  if (articles->parsed())
    return RunArticles(options, article_file, article_password);
  if (report->parsed()) {
    for (auto* sub : report->get_subcommands())
      report_options.kind = sub->get_name();
    if (periodic_from->count() > 0)
      report_options.from = report_from;
    if (periodic_to->count() > 0)
      report_options.to = report_to;
    if (periodic_first->count() > 0 || report_goods->parsed())
      report_options.first = report_first;
    if (periodic_last->count() > 0 || report_goods->parsed())
      report_options.last = report_last;
    return RunReport(options, report_options);
  }
  if (card_pay->parsed()) {
    if (transaction_option->count() > 0)
      card.transaction = transaction;
    if (terminal_option->count() > 0)
      card.terminal = terminal;
    return RunCardPay(options, card);
  }
  if (firmware->parsed())
    return RunFirmware(options, transfer);
  if (flash->parsed()) {
    transfer.action = dump->parsed() ? "dump" : restore->parsed() ? "restore" : "erase";
    return RunFlash(options, transfer);
  }
  if (logo->parsed())
    return RunLogo(options, transfer);
  if (fiscalize->parsed())
    return RunFiscalize(options, fiscalize_options);
  return kExitUsage;
}
