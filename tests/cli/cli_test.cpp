// tolvanet-cli end to end: the built program against a simulated register on a free port.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/profile.h"
#include "link/codepage.h"
#include "link/hex.h"
#include "sim/register.h"
#include "sim/server.h"
#include "sim/terminal.h"
#include "tests/cli/program_run.h"
#include "tests/cli/sim_fixture.h"

namespace tolvanet {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

using CliResult = testing::ProgramRun;
using testing::ShellQuote;
using testing::Slurp;

using testing::DataFile;
using testing::LoopbackOptions;

class CliTest : public ::testing::Test {
 protected:
  CliTest() : server(LoopbackOptions()) {
    reg = &server.AddRegister("CLI1");
    EXPECT_TRUE(server.Start()) << server.error_text();
  }
  ~CliTest() override { server.Stop(); }

  // Runs the program in the test's own directory (where its fpinit.ini would be).
  CliResult Run(const std::vector<std::string>& args) {
    return testing::RunProgram(dir, TOLVANET_CLI_BINARY, args);
  }
  // The same with the simulator's address, port and ID_DEV in front.
  CliResult RunSim(std::vector<std::string> args) {
    std::vector<std::string> all = {
        "--address", "127.0.0.1", "--port", std::to_string(server.port()), "--id", "CLI1"};
    all.insert(all.end(), args.begin(), args.end());
    return Run(all);
  }

  sim::Server server;
  sim::Register* reg = nullptr;
  testing::TestFolder folder{"tolvanet_cli_"};
  const fs::path& dir = folder.path;
};

// The value of a top-level key of one JSON line (numbers, booleans, strings and arrays as text).
std::string JsonValue(const std::string& line, const std::string& key) {
  std::size_t at = line.find("\"" + key + "\":");
  if (at == std::string::npos)
    return "<missing>";
  at += key.size() + 3;
  std::size_t end = at;
  if (line[at] == '"') {
    end = line.find('"', at + 1) + 1;
  } else if (line[at] == '[') {
    end = line.find(']', at) + 1;
  } else {
    end = line.find_first_of(",}", at);
  }
  return line.substr(at, end - at);
}

TEST_F(CliTest, SendJsonGivesOneObjectPerCommandWithConsecutiveSequenceBytes) {
  const CliResult r = RunSim({"--json", "send", "33", "406172;", "0x80", "406172;"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = r.OutLines();
  ASSERT_EQ(lines.size(), 2u);

  // Exactly the keys, in this order.
  const std::regex keys(
      R"(^\{"code":\d+,"sequence":\d+,"flags":\d+,"error":"[^"]*","message":"[^"]*","fields":\[.*\],"status":\[\d+(,\d+){5}\],"checksum_error":(true|false),"timeout":(true|false),"sent":"[0-9A-F]*","received":"[0-9A-F]*"\}$)");
  for (const auto& line : lines)
    EXPECT_TRUE(std::regex_match(line, keys)) << line;

  EXPECT_EQ(JsonValue(lines[0], "code"), "33");
  EXPECT_EQ(JsonValue(lines[1], "code"), "128");
  EXPECT_EQ(JsonValue(lines[0], "error"), "\"0000\"");
  EXPECT_EQ(JsonValue(lines[0], "message"), "\"\"");
  EXPECT_EQ(JsonValue(lines[0], "timeout"), "false");
  EXPECT_EQ(JsonValue(lines[0], "checksum_error"), "false");
  EXPECT_THAT(JsonValue(lines[1], "fields"), HasSubstr("\"SIM-100\""));

  const auto requests = reg->requests();
  ASSERT_EQ(requests.size(), 2u);
  const int seq0 = std::stoi(JsonValue(lines[0], "sequence"));
  const int seq1 = std::stoi(JsonValue(lines[1], "sequence"));
  EXPECT_EQ(seq1, seq0 + 1);
  EXPECT_EQ(seq0, requests[0].sequence);
  EXPECT_EQ(seq1, requests[1].sequence);
  EXPECT_EQ(requests[1].code, 0x80);
  EXPECT_EQ(requests[1].text, "406172;");

  // The sent frame is the request as the register got it; the received one its answer.
  const std::string sent = JsonValue(lines[0], "sent");
  EXPECT_EQ(sent.substr(1, 8), "012B" + HexByte(seq0) + "21");
  const std::string received = JsonValue(lines[1], "received");
  EXPECT_EQ(received.substr(1, 2), "01");
  EXPECT_THAT(received, HasSubstr(HexEncode("SIM-100;")));

  // The status array is the six status bytes of the reply.
  const auto status = reg->StatusBytes();
  std::string expected = "[";
  for (int i = 0; i < 6; ++i)
    expected += (i ? "," : "") + std::to_string(status[i] & 0x7F);
  EXPECT_EQ(JsonValue(lines[1], "status"), expected + "]");
}

TEST_F(CliTest, SendTakesUtf8TextAndSendsWindows1251) {
  const CliResult r = RunSim({"send", "129", "406172;2;0;Привет;"});
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(reg->requests().size(), 1u);
  EXPECT_EQ(reg->requests()[0].text, ToCp1251("406172;2;0;Привет;"));
  EXPECT_THAT(r.out, HasSubstr("Код ошибки: 0000"));
  EXPECT_THAT(r.out, HasSubstr("Статус: "));
}

TEST_F(CliTest, HumanOutputShowsFieldsAndTheDeviceErrorMessage) {
  CliResult r = RunSim({"send", "0x80", "406172;"});
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.out, HasSubstr("Поле 0: SIM-100"));
  EXPECT_THAT(r.out, HasSubstr("Поле 5: CLI1"));

  reg->SetNextError(0x0201);
  r = RunSim({"send", "33", "406172;", "33", "406172;"});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.out, Not(HasSubstr("Код ошибки: 0000")));
  EXPECT_THAT(r.out, HasSubstr("Сообщение: "));
  EXPECT_THAT(r.err, HasSubstr("Остальные команды не отправлены."));
  EXPECT_EQ(reg->requests().size(), 2u);  // the one before and the failing one
}

TEST_F(CliTest, ExitStatuses) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::vector<std::string> args;
    bool sim;  // with the simulator's address, port and ID_DEV
    int status;
    std::string err;
  };
  sim::Server stopped(LoopbackOptions());
  ASSERT_TRUE(stopped.Start());
  const std::string closed_port = std::to_string(stopped.port());
  stopped.Stop();
  const Case cases[] = {
      {"success", [] {}, {"send", "33", "406172;"}, true, 0, ""},
      {"error code", [this] { reg->SetNextError(0x0201); }, {"send", "33", "406172;"}, true, 1, ""},
      {"no answer",
       [this] { reg->ChangeFaults([](sim::Faults& f) { f.drop_connection = true; }); },
       {"send", "33", "406172;"},
       true,
       1,
       ""},
      {"odd arguments", [] {}, {"send", "33"}, true, 2, "пары CODE TEXT"},
      {"bad code", [] {}, {"send", "0x1FF", "406172;"}, true, 2, "неверный код команды"},
      {"too long", [] {}, {"send", "33", std::string(220, 'x')}, true, 2, "длиннее 219 байт"},
      {"not in Windows-1251", [] {}, {"send", "33", "406172;\u4e2d"}, true, 2, "Windows-1251"},
      {"unknown option", [] {}, {"send", "--bogus", "33", "406172;"}, true, 2, ""},
      {"no subcommand", [] {}, {}, true, 2, ""},
      {"missing script", [] {}, {"run", "no_such_file.txt"}, true, 2, ""},
      {"continue and step",
       [] {},
       {"run", DataFile("commands.txt"), "--continue", "1", "--step", "1"},
       true,
       2,
       ""},
      {"no address", [] {}, {"send", "33", "406172;"}, false, 2, "Адрес не задан"},
      {"connection refused",
       [] {},
       {"--address", "127.0.0.1", "--port", closed_port, "--id", "CLI1", "send", "33", "406172;"},
       false,
       3,
       "Невозможно подключиться к IP адресу"},
      {"unknown ID_DEV",
       [] {},
       {"--id", "NOSUCH", "send", "33", "406172;"},
       true,
       3,
       "РРО с данным ID_DEV не подключен!"},
  };
  for (const auto& c : cases) {
    reg->SetFaults({});
    reg->ClearRequests();
    c.arrange();
    const CliResult r = c.sim ? RunSim(c.args) : Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
    EXPECT_THAT(r.err, HasSubstr(c.err)) << c.what;
    if (c.status == 2) {
      EXPECT_TRUE(reg->requests().empty()) << c.what;
    }
  }
}

TEST_F(CliTest, HelpOnEverySubcommand) {
  for (const char* sub : {"send", "run", "status", "report", "fiscalize"}) {
    const CliResult r = Run({sub, "--help"});
    EXPECT_EQ(r.status, 0) << sub;
    EXPECT_THAT(r.out, HasSubstr(std::string("tolvanet-cli ") + sub)) << sub;
  }
  EXPECT_THAT(Run({"--help"}).out, HasSubstr("--demo"));
}

TEST_F(CliTest, RunInFullContinueAndStepModes) {
  CliResult r = RunSim({"run", DataFile("commands.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  auto lines = r.OutLines();
  ASSERT_EQ(lines.size(), 5u) << r.out;
  EXPECT_EQ(lines[0].substr(0, 8), "PC: <01>");
  EXPECT_EQ(lines[1].substr(0, 8), "FP: <01>");
  EXPECT_EQ(lines[2], "Комментарий:: middle!!!");
  EXPECT_THAT(r.err, HasSubstr("Конец файла!"));
  EXPECT_THAT(r.err, HasSubstr("Ном. стр. скрипта: 0"));

  reg->ClearRequests();
  r = RunSim({"run", DataFile("commands.txt"), "--continue", "2", "--quiet"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  ASSERT_EQ(reg->requests().size(), 1u);
  EXPECT_EQ(reg->requests()[0].code, 0x80);

  reg->ClearRequests();
  r = RunSim({"run", DataFile("commands.txt"), "--step", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(reg->requests().size(), 1u);
  EXPECT_EQ(reg->requests()[0].code, 0x21);
  EXPECT_THAT(r.err, HasSubstr("Ном. стр. скрипта: 2"));

  r = RunSim({"run", DataFile("commands.txt"), "--step", "4"});
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.err, HasSubstr("Конец файла!"));
}

TEST_F(CliTest, RunReportsScriptErrorsWithTheLineCount) {
  CliResult r = RunSim({"run", DataFile("statements.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr(";sim_model=SIM-100\n"));

  reg->SetNextError(0x0201);
  r = RunSim({"run", "--quiet", DataFile("three_commands.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("Ошибка выполнения команды\n"));
  EXPECT_THAT(r.err, HasSubstr("Ном. стр. скрипта: 1"));
}

TEST_F(CliTest, RunShowsTheErrorCodeAndStatusOfAFailedLineBeforeTheMessage) {
  reg->SetNextError(0x0201);
  const CliResult r = RunSim({"run", "--quiet", DataFile("three_commands.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(std::regex_search(
      r.err,
      std::regex("Код ошибки: 0102\nСтатус: ([0-9A-F]{2} ){6}\nОшибка выполнения команды\n")))
      << r.err;
}

TEST_F(CliTest, ADamagedAnswerIsAFailureWithItsReason) {
  using K = sim::AimedFault::Kind;
  struct DamageCase {
    const char* what;
    K kind;
    std::string checksum_error;  // as the JSON gives it
    std::string reason;
  };
  const DamageCase cases[] = {
      {"checksum", K::kBadChecksum, "true", "ошибка контрольной суммы"},
      {"NAK", K::kNak, "false", "NAK"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (bool json : {true, false}) {
      reg->ClearRequests();
      reg->AimFault({.kind = c.kind, .code = 0x21});
      std::vector<std::string> args = {"send", "33", "406172;", "0x80", "406172;"};
      if (json)
        args.insert(args.begin(), "--json");
      const CliResult r = RunSim(args);
      EXPECT_EQ(r.status, 1) << r.out;
      EXPECT_THAT(r.err, HasSubstr("Остальные команды не отправлены."));
      EXPECT_EQ(reg->requests().size(), 1u);  // the diagnostic command was not sent
      if (json) {
        ASSERT_EQ(r.OutLines().size(), 1u);
        const std::string line = r.OutLines()[0];
        EXPECT_EQ(JsonValue(line, "checksum_error"), c.checksum_error);
        EXPECT_EQ(JsonValue(line, "timeout"), "false");
        EXPECT_THAT(JsonValue(line, "message"), HasSubstr(c.reason));
      } else {
        EXPECT_THAT(r.out, HasSubstr("Сообщение: "));
        EXPECT_THAT(r.out, HasSubstr(c.reason));
      }
    }
  }
}

TEST_F(CliTest, StatusDecodesTheStatusBytes) {
  reg->ForceStatusBits(0, 0x01);
  reg->ForceStatusBits(2, 0x15);
  const CliResult r = RunSim({"status"});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto lines = r.OutLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "   Модель:SIM-100,    Версия:3.01,     Симулятор. Сервис.реж.");
  EXPECT_THAT(r.out, HasSubstr("[x] (1) Регистратор находится в сервисном режиме\n"));
  EXPECT_THAT(r.out, HasSubstr("[ ] (2) Буфер документа близок к концу\n"));
  EXPECT_THAT(r.out, HasSubstr("[x] (10) Открыт чек возврата\n"));
  EXPECT_THAT(r.out, HasSubstr("Состояние чека: 5. Произвольный текстовый документ открыт\n"));
  size_t always = 0;
  for (const auto& line : lines)
    always += line == "  [x] (80) Всегда установлен";
  EXPECT_EQ(always, 6u);
  EXPECT_EQ(reg->requests().size(), 1u);
  EXPECT_EQ(reg->requests()[0].code, 128);

  reg->ChangeFaults([](sim::Faults& f) { f.drop_connection = true; });
  const CliResult failed = RunSim({"status"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_THAT(failed.err,
              HasSubstr("Проверка состояния регистратора:\n  Таймаут устройства! Ошибка!"));
}

TEST_F(CliTest, DefaultsComeFromFpinitIni) {
  const std::string ini = (dir / "fpinit.ini").string();
  WritePrivateProfileString("Communication", "Address", "127.0.0.1", ini);
  WritePrivateProfileString("Communication", "IDDEV", "cli1", ini);  // upper-cased
  WritePrivateProfileString("LogFile", "Log", "1", ini);
  WritePrivateProfileString("LogFile", "LogName", "session.log", ini);
  const CliResult r = Run({"--port", std::to_string(server.port()), "send", "33", "406172;"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(reg->requests().size(), 1u);
  const std::string log = Slurp(dir / "session.log");
  EXPECT_THAT(log, HasSubstr("406172;"));
  EXPECT_THAT(log, HasSubstr("SYN=0"));
}

TEST_F(CliTest, DefaultsComeFromTheChosenOrTheUsersConfigurationWithTheLogBesideIt) {
  struct Case {
    const char* what;
    fs::path config;  // below the test folder
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"--config relative to here", "conf/my.ini", {"--config", "conf/my.ini"}},
      {"no fpinit.ini here: XDG_CONFIG_HOME", "xdg/tolvanet/fpinit.ini", {}},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir / "conf");
    fs::remove_all(dir / "xdg");
    fs::create_directories((dir / c.config).parent_path());
    const std::string ini = (dir / c.config).string();
    WritePrivateProfileString("Communication", "Address", "127.0.0.1", ini);
    WritePrivateProfileString("Communication", "IDDEV", "CLI1", ini);
    WritePrivateProfileString("LogFile", "Log", "1", ini);
    WritePrivateProfileString("LogFile", "LogName", "session.log", ini);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--port", std::to_string(server.port()), "send", "33", "406172;"});
    const CliResult r = Run(args);
    EXPECT_EQ(r.status, 0) << c.what << ": " << r.err;
    EXPECT_THAT(Slurp((dir / c.config).parent_path() / "session.log"), HasSubstr("406172;"))
        << c.what;
    EXPECT_FALSE(fs::exists(dir / "session.log")) << c.what;
  }
  const CliResult missing = Run({"--config", "nowhere.ini", "send", "33", "406172;"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_THAT(missing.err, HasSubstr("nowhere.ini"));
}

TEST_F(CliTest, DemoStartsItsOwnRegister) {
  const CliResult r = Run({"--demo", "--json", "send", "0x80", "406172;"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("\"DEMO1\""));
  EXPECT_TRUE(reg->requests().empty());
}

TEST_F(CliTest, ArticlesWritesEachLineAndNamesTheOnesNotSent) {
  const std::string tea = ToCp1251("1;Чай;10.00;0;1;");
  const std::string long_line = "2;" + std::string(230, 'x') + ";5.00;0;1;";
  std::ofstream(dir / "goods.art", std::ios::binary) << tea << "\r\n\r\n" << long_line << "\r\n";
  const CliResult r = RunSim({"articles", (dir / "goods.art").string()});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_THAT(r.err, HasSubstr("не записаны: 3."));
  EXPECT_THAT(r.out, HasSubstr("sent 1, refused 0, timeouts 0, skipped 1"));
  const auto requests = reg->requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].text, "406172;" + tea);
}

// A password or other text typed on the command line goes to the register in Windows-1251 as
// one field: a ";" (which would shift the fields after it) or a character that Windows-1251
// lacks is refused before anything is sent.
TEST_F(CliTest, TypedTextsAreOneFieldInWindows1251) {
  std::ofstream(dir / "goods.art", std::ios::binary) << "1;Tea;10.00;0;1;\r\n";
  struct Case {
    std::vector<std::string> args;
    const char* why;
  };
  const Case cases[] = {
      {{"status", "--password", "1;2"}, "Пароль"},
      {{"status", "--password", "密码"}, "Windows-1251"},
      {{"articles", "goods.art", "--password", "1;2"}, "Пароль"},
      {{"articles", "goods.art", "--password", "密码"}, "Windows-1251"},
      {{"card-pay", "1.00", "--password", "密码"}, "Windows-1251"},
      {{"card-pay", "1.00", "--transaction", "密码"}, "Windows-1251"},
      {{"fiscalize", "--serial", "SM00密码345", "--inspector", "123456", "--yes"}, "Windows-1251"},
  };
  for (const Case& c : cases) {
    const CliResult r = RunSim(c.args);
    EXPECT_EQ(r.status, 2) << c.args[0] << " " << r.err;
    EXPECT_THAT(r.err, HasSubstr(c.why)) << c.args[0];
  }
  EXPECT_TRUE(reg->requests().empty());

  RunSim({"status", "--password", "пароль"});  // not the register's: refused there
  ASSERT_EQ(reg->requests().size(), 1u);
  EXPECT_EQ(reg->requests()[0].text, ToCp1251("пароль") + ";");
}

TEST_F(CliTest, ReportXPrintsOnTheSimulator) {
  const CliResult r = RunSim({"report", "x"});
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(reg->requests().size(), 1u);
  EXPECT_EQ(reg->requests()[0].code, 161);
  EXPECT_EQ(reg->requests()[0].text, "406172;1;");
  EXPECT_THAT(r.out, HasSubstr("Команда 161: код ошибки 0000"));
}

TEST_F(CliTest, ReportZOnlyWithYes) {
  CliResult r = RunSim({"report", "z"});
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("Z-отчет закроет смену"));
  EXPECT_THAT(r.err, HasSubstr("--yes"));
  EXPECT_TRUE(reg->requests().empty());
  EXPECT_TRUE(reg->State().z_reports.empty());

  r = RunSim({"report", "--password", "406172", "z", "--yes"});
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(reg->requests().size(), 1u);
  EXPECT_EQ(reg->requests()[0].text, "406172;0;");
  EXPECT_EQ(reg->State().z_reports.size(), 1u);
}

TEST_F(CliTest, ReportResourcesJsonGivesTheTwelveValues) {
  reg->ChangeState([](sim::RegisterState& s) { s.fiscalized = true; });
  const CliResult r = RunSim({"--json", "report", "resources"});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto lines = r.OutLines();
  ASSERT_EQ(lines.size(), 1u) << r.out;
  EXPECT_EQ(JsonValue(lines[0], "ok"), "true");
  EXPECT_EQ(JsonValue(lines[0], "error"), "\"0000\"");
  const std::string resources = lines[0].substr(lines[0].find("\"resources\":"));
  EXPECT_EQ(resources,
            "\"resources\":{\"fiscalization\":false,\"serial_number\":false,"
            "\"fiscal_number\":false,\"tax_number\":true,\"tax_rates\":true,"
            "\"fm_password\":false,\"emergency_resets\":\"0\",\"free_fiscal_reports\":\"2000\","
            "\"shift_open_date\":\"000000\",\"shift_open_time\":\"0000\","
            "\"free_articles\":\"10000\",\"free_receipts\":\"2000\"}}");
}

TEST_F(CliTest, ReportSequencesAndRefusals) {
  // One daily report on 6 June 2014, so that a periodic report over 5..7 June finds it.
  reg->ChangeState([](sim::RegisterState& s) {
    s.z_reports.push_back({1, *sim::ParseDate("060614") + 3600, 0, 0, 0});
  });
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::vector<std::pair<int, std::string>> sent;
    std::string err;
  };
  const Case cases[] = {
      {"periodic by dates",
       {"report", "periodic", "--from", "2014-06-05", "--to", "2014-06-07", "--full"},
       0,
       {{96, "406172;"}, {162, "406172;050614;070614;1;"}, {101, "406172;0;"}},
       ""},
      {"periodic by numbers",
       {"report", "periodic", "--first", "1", "--last", "1"},
       0,
       {{96, "406172;"}, {163, "406172;1;1;0;"}, {101, "406172;0;"}},
       ""},
      {"goods, report refused: the receipt is still closed",
       {"report", "goods", "--first", "9", "--last", "1"},
       1,
       {{96, "406172;"}, {164, "406172;9;1;"}, {101, "406172;0;"}},
       "Отчет по реализованным товарам:\n  "},
      {"extra, report refused: the receipt stays open",
       {"report", "--password", "1", "extra", "operators"},
       1,
       {{96, "406172;"}, {166, "1;1;;;"}},
       "остался открытым нефискальный чек"},
      {"unload with articles",
       {"report", "unload", "--clear-articles", "--yes"},
       0,
       {{161, "406172;5;"}, {161, "406172;2;"}, {59, "406172;"}},
       ""},
      {"unload without --yes", {"report", "unload"}, 2, {}, "--yes"},
      {"tape clearing without --yes", {"report", "tape-clear"}, 2, {}, "--yes"},
      {"dates and numbers",
       {"report", "periodic", "--from", "2014-06-05", "--last", "3"},
       2,
       {},
       "--from и --to"},
      {"date not ISO",
       {"report", "periodic", "--from", "05.06.2014", "--to", "2014-06-07"},
       2,
       {},
       "\"05.06.2014\" не в виде ГГГГ-ММ-ДД"},
      {"code not a number",
       {"report", "goods", "--first", "1", "--last", "9x"},
       2,
       {},
       "Ничего не отправлено"},
      {"unknown extra kind", {"report", "extra", "cashiers"}, 2, {}, "неизвестен"},
      {"password with ;", {"report", "--password", "1;2", "x"}, 2, {}, "\";\""},
  };
  for (const auto& c : cases) {
    reg->ClearRequests();
    reg->ChangeState([](sim::RegisterState& s) { s.receipt = {}; });  // no receipt left open
    const CliResult r = RunSim(c.args);
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
    std::vector<std::pair<int, std::string>> sent;
    for (const auto& q : reg->requests())
      sent.emplace_back(q.code, q.text);
    EXPECT_EQ(sent, c.sent) << c.what;
    EXPECT_THAT(r.err, HasSubstr(c.err)) << c.what;
  }
}

// card-pay against the simulated terminal, on a receipt of 500.00 the register has open.
class CardPayTest : public CliTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(terminal.Start()) << terminal.error_text();
    for (auto [code, text] : {std::pair{99, "406172;1;1;0;"},
                              {36, "406172;7;Tea;500.00;0;0;"},
                              {100, "406172;7;1.000;500.00;"}}) {
      ASSERT_EQ(reg->Execute(code, text).error_code, "0000") << code;
    }
    reg->ClearRequests();
  }
  std::string LastRequest() const {
    const auto requests = reg->requests();
    return requests.empty() ? ""
                            : std::to_string(requests.back().code) + " " + requests.back().text;
  }

  sim::Terminal terminal;
};

TEST_F(CardPayTest, PaysThroughTheTerminalAndPrintsTheOutcomeAsJson) {
  const CliResult r = RunSim({"--json", "card-pay", "12.34", "--terminal", terminal.device_path()});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = r.OutLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(JsonValue(lines[0], "outcome"), "\"registered\"");
  EXPECT_EQ(JsonValue(lines[0], "transaction"), "\"410000000001\"");
  EXPECT_EQ(JsonValue(lines[0], "amount"), "\"12.34\"");
  EXPECT_EQ(JsonValue(lines[0], "terminal_amount"), "\"1234\"");
  EXPECT_THAT(lines[0], HasSubstr("\"reply\":{\"code\":120,"));
  EXPECT_THAT(lines[0], HasSubstr("\"error\":\"0000\""));
  ASSERT_EQ(terminal.payments().size(), 1u);
  EXPECT_EQ(terminal.payments()[0].amount, "1234");
  EXPECT_THAT(LastRequest(), HasSubstr(ToCp1251("КЛІЄНТА")));  // the last signature line
}

TEST_F(CardPayTest, ExitsWithZeroOnlyWhenCardPaymentSucceeded) {
  WritePrivateProfileString("Communication", "Terminal", terminal.device_path(),
                            (dir / "fpinit.ini").string());
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::function<void(sim::TerminalBehaviour&)> terminal;
    int status;
    std::string last_request;  // the register's last request, when one is expected
  };
  const Case cases[] = {
      {"terminal from fpinit.ini, no card lines",
       {"card-pay", "12", "--no-card-lines"},
       {},
       0,
       "120 406172;1;12.00;410000000001;"},
      {"typed identifier cut to 20",
       {"card-pay", "1.5", "--type", "3", "--transaction", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
       {},
       0,
       "120 406172;3;1.50;ABCDEFGHIJKLMNOPQRST;"},
      {"declined",
       {"card-pay", "2.00"},
       [](sim::TerminalBehaviour& b) { b.decline = true; },
       1,
       "128 406172;"},
      {"silent terminal",
       {"card-pay", "2.00", "--wait", "0.3"},
       [](sim::TerminalBehaviour& b) { b.silence = sim::TerminalBehaviour::Silence::kCardData; },
       1,
       "128 406172;"},
      {"refused by the register",
       {"card-pay", "2.00", "--type", "5", "--no-card-lines"},
       {},
       1,
       "120 406172;5;2.00;410000000002;"},
      {"bad amount", {"card-pay", "2.001.0"}, {}, 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    terminal.SetBehaviour({});
    if (c.terminal)
      terminal.ChangeBehaviour(c.terminal);
    reg->ClearRequests();
    const CliResult r = RunSim(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(LastRequest(), c.last_request);
  }
}

TEST_F(CliTest, FiscalizeWaitsForTheRestartAndPrintsTheReceipt) {
  // Without --yes or with an empty serial number nothing is sent.
  EXPECT_EQ(RunSim({"fiscalize", "--serial", "SM000012345", "--inspector", "123456"}).status, 2);
  const CliResult no_serial =
      RunSim({"fiscalize", "--serial", "", "--inspector", "123456", "--yes"});
  EXPECT_EQ(no_serial.status, 2);
  EXPECT_THAT(no_serial.err, HasSubstr("Заводський номер не введено!"));
  EXPECT_TRUE(reg->requests().empty());
  // A short serial number is the register's to judge: it is sent (and refused there, as it is
  // not this register's).
  const CliResult short_serial =
      RunSim({"fiscalize", "--serial", "AB123", "--inspector", "123456", "--yes"});
  EXPECT_EQ(short_serial.status, 1);
  ASSERT_EQ(reg->requests().size(), 1u);
  EXPECT_EQ(reg->requests()[0].code, 64);
  EXPECT_EQ(reg->requests()[0].text, "406172;AB123;123456;");
  EXPECT_FALSE(reg->State().fiscalized);
  reg->ClearRequests();

  // The register refuses everything for a moment after Fiscalize.
  reg->ChangeFaults([](sim::Faults& f) {
    f.restart_busy_ms = 60000;
    f.busy_error = 0x0100;
  });
  const CliResult refused = RunSim({"fiscalize", "--serial", "SM000012345", "--inspector", "123456",
                                    "--yes", "--attempts", "3"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.err, HasSubstr("Квитанцію про фіскалізацію не надруковано."));
  std::vector<int> codes;
  for (const auto& r : reg->requests())
    codes.push_back(r.code);
  // The error codes of the restart do not end the wait: every attempt is made.
  EXPECT_EQ(codes, (std::vector<int>{64, 128, 128, 128}));
  EXPECT_TRUE(reg->State().fiscalized);

  reg->ChangeState([](sim::RegisterState& s) { s.fiscalized = false; });
  reg->SetFaults({});
  reg->ClearRequests();
  const CliResult done = RunSim(
      {"--timeout", "5", "fiscalize", "--serial", "SM000012345", "--inspector", "123456", "--yes"});
  EXPECT_EQ(done.status, 0) << done.err;
  EXPECT_THAT(done.err, HasSubstr("Фіскаліз. реєстратора - Успішно!"));
  codes.clear();
  for (const auto& r : reg->requests())
    codes.push_back(r.code);
  EXPECT_EQ(codes, (std::vector<int>{64, 128, 96, 132, 97, 101}));
}

// The receipt tape with the printing time taken out (the simulators run on the host's clock).
std::string TapeWithoutTime(std::string tape) {
  static const std::regex kTime(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)");
  return std::regex_replace(tape, kTime, "DD.MM.YYYY hh:mm:ss");
}

// A receipt of two articles, one with a discount, paid in cash with change.
const std::vector<std::string> kSaleCommands = {
    "send",
    "36",
    "406172;1;Хліб білий;12.50;0;1;",
    "36",
    "406172;2;Молоко 2,5%;34.00;1;1;",
    "99",
    "406172;1;1;0;",
    "100",
    "406172;1;2.000;12.50;",
    "104",
    "406172;-10.00;",
    "100",
    "406172;2;1.000;34.00;",
    "103",
    "406172;0;100.00;",
    "101",
    "406172;1;",
};

// tolvanet-sim --tape and tolvanet-cli --demo --tape write what the register printed, each
// document once it is finished, as the register's fixture tape.
TEST_F(CliTest, ReceiptSoldThroughTheCliLandsOnTheTapeFile) {
  const std::string expected = Slurp(DataFile("tape_sale.txt"));
  ASSERT_FALSE(expected.empty());

  // The simulator as a program of its own; its listening line names the port.
  const fs::path tape = dir / "sim tape.txt";
  const fs::path err = dir / "sim.err";
  const std::string start = ShellQuote(TOLVANET_SIM_BINARY) + " -p 0 -i TAPE1 --tape " +
                            ShellQuote(tape.string()) + " 2> " + ShellQuote(err.string()) +
                            " & echo $!";
  FILE* pipe = popen(start.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  int pid = 0;
  ASSERT_EQ(fscanf(pipe, "%d", &pid), 1);
  pclose(pipe);
  std::string port;
  static const std::regex kListening(R"(listening on 127\.0\.0\.1:(\d+))");
  for (int i = 0; i < 2000 && port.empty(); ++i) {  // until it says where it listens
    std::smatch m;
    const std::string text = Slurp(err);
    if (std::regex_search(text, m, kListening))
      port = m[1];
    else
      usleep(5000);
  }
  ASSERT_FALSE(port.empty()) << Slurp(err);
  std::vector<std::string> args = {"--address", "127.0.0.1", "--port", port, "--id", "TAPE1"};
  args.insert(args.end(), kSaleCommands.begin(), kSaleCommands.end());
  const CliResult r = Run(args);
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(TapeWithoutTime(Slurp(tape)), expected);

  // The built-in register of --demo writes the same tape, appended after a cut.
  const fs::path demo_tape = dir / "demo tape.txt";
  args = {"--demo", "--tape", demo_tape.string()};
  args.insert(args.end(), kSaleCommands.begin(), kSaleCommands.end());
  EXPECT_EQ(Run(args).status, 0);
  EXPECT_EQ(TapeWithoutTime(Slurp(demo_tape)), expected);
  args = {"--demo", "--tape", demo_tape.string(), "send", "96", "406172;", "101", "406172;0;"};
  EXPECT_EQ(Run(args).status, 0);
  const std::string both = TapeWithoutTime(Slurp(demo_tape));
  EXPECT_EQ(both.substr(0, expected.size() + 4), expected + "\n✂");

  // --tape belongs to --demo.
  EXPECT_EQ(RunSim({"--tape", (dir / "x.txt").string(), "send", "0x80", "406172;"}).status, 2);
}

}  // namespace
}  // namespace tolvanet
