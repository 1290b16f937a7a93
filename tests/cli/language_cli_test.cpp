// The command-line tools in each interface language: the language is taken from --lang, the
// configuration file or the locale variables; what reaches the register never changes with it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/register.h"
#include "sim/server.h"
#include "tests/cli/program_run.h"
#include "tests/cli/sim_fixture.h"

namespace tolvanet {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct Output {
  int status = -1;
  std::string out;  // standard output and standard error, in that order
};

class LanguageCliTest : public ::testing::Test {
 protected:
  LanguageCliTest() { fs::create_directories(dir / "xdg"); }

  // Runs `program` in the test's folder with `env` (VAR=value words) in front.
  Output Run(const std::string& program, const std::string& env,
             const std::vector<std::string>& args) {
    const testing::ProgramRun r = testing::RunProgram(dir, program, args, env);
    return {r.status, r.out + r.err};
  }
  void WriteConfig(const std::string& text) { std::ofstream(dir / "fpinit.ini") << text; }

  testing::TestFolder folder{"tolvanet_lang_cli_"};
  const fs::path& dir = folder.path;
};

// What each language shows for a few texts of each kind.
struct Shown {
  const char* help_line;      // tolvanet-cli --help
  const char* sim_help_line;  // tolvanet-sim --help
  const char* cli_line;       // a line of send's human output
  const char* description;    // a command description where send shows it
  const char* device_error;   // a device error message
};
const std::map<std::string, Shown> kShown = {
    {"ru",
     {"Identify the register and show its six status bytes bit by bit.",
      "Print every request and its answer", "Код ошибки: 0006",
      "Команда 21h: Чтение даты и времени", "Неверный пароль доступа!"}},
    {"uk",
     {"Визначити реєстратор і показати його шість байтів статусу побітово.",
      "Виводити кожен запит і відповідь на нього", "Код помилки: 0006",
      "Команда 21h: Читання дати й часу", "Невірний пароль доступу!"}},
    {"en",
     {"Identify the register and show its six status bytes bit by bit.",
      "Print every request and its answer", "Error code: 0006", "Command 21h: Read date and time",
      "Wrong access password!"}},
};

TEST_F(LanguageCliTest, EachWayOfChoosingTheLanguageShowsItsTexts) {
  sim::Server server(testing::LoopbackOptions());
  sim::Register& reg = server.AddRegister("LNG1");
  ASSERT_TRUE(server.Start()) << server.error_text();
  const std::vector<std::string> address = {
      "--address", "127.0.0.1", "--port", std::to_string(server.port()), "--id", "LNG1"};
  struct Way {
    const char* name;
    std::string env;
    std::vector<std::string> args;
    std::string config;
  };
  for (const auto& [language, shown] : kShown) {
    const std::string locale = language == "ru" ? "C.UTF-8" : language + "_XX.UTF-8";
    const Way ways[] = {
        {"--lang", "", {"--lang", language}, ""},
        {"LANG", "LC_ALL= LANG=" + locale, {}, ""},
        {"LANGUAGE", "LC_ALL= LANG=de_DE.UTF-8 LANGUAGE=fr:" + language, {}, ""},
        {"fpinit.ini", "LC_ALL=C.UTF-8", {}, "[Interface]\nLanguage=" + language + "\n"},
        // The option wins over the configuration, which wins over the variables.
        {"--lang over all",
         "LC_ALL= LANG=en_US.UTF-8",
         {"--lang", language},
         "[Interface]\nLanguage=uk\n"},
    };
    for (const Way& way : ways) {
      SCOPED_TRACE(language + " by " + way.name);
      fs::remove(dir / "fpinit.ini");
      if (!way.config.empty())
        WriteConfig(way.config);
      auto with = [&way](std::vector<std::string> args) {
        args.insert(args.begin(), way.args.begin(), way.args.end());
        return args;
      };
      EXPECT_THAT(Run(TOLVANET_CLI_BINARY, way.env, with({"--help"})).out,
                  HasSubstr(shown.help_line));
      // The simulator reads a configuration only when one is named.
      std::vector<std::string> sim_help = {"--help"};
      if (!way.config.empty())
        sim_help = {"--config", (dir / "fpinit.ini").string(), "--help"};
      EXPECT_THAT(Run(TOLVANET_SIM_BINARY, way.env, with(sim_help)).out,
                  HasSubstr(shown.sim_help_line));
      reg.SetNextError(0x0600);  // a wrong password
      std::vector<std::string> send = address;
      send.insert(send.end(), {"send", "33", "406172;"});
      const Output r = Run(TOLVANET_CLI_BINARY, way.env, with(send));
      EXPECT_THAT(r.out, HasSubstr(shown.cli_line));
      EXPECT_THAT(r.out, HasSubstr(shown.description));
      EXPECT_THAT(r.out, HasSubstr(shown.device_error));
    }
  }
}

// The register line and the service-mode mark are shown in the language; status --json keeps
// the original texts, like its other values; a refused option names its place in the language.
TEST_F(LanguageCliTest, StatusLineIsTranslatedOnTheTerminalButNotInJson) {
  sim::Server server(testing::LoopbackOptions());
  sim::Register& reg = server.AddRegister("LNG2");
  ASSERT_TRUE(server.Start()) << server.error_text();
  reg.ForceStatusBits(0, 0x01);
  const std::vector<std::string> address = {
      "--address", "127.0.0.1", "--port", std::to_string(server.port()), "--id", "LNG2"};
  const std::string original = "   Модель:SIM-100,    Версия:3.01,     Симулятор. Сервис.реж.";
  struct Case {
    const char* language;
    std::string line;
    const char* bad_password;  // `report x --password` with a character Windows-1251 lacks
  };
  const Case cases[] = {
      {"ru", original, "report: в пароле есть символы, которых нет в Windows-1251.\n"},
      {"uk", "   Модель:SIM-100,    Версія:3.01,     Симулятор. Серв. реж.",
       "report: у паролі є символи, яких немає в Windows-1251.\n"},
      {"en", "   Model:SIM-100,    Version:3.01,     Симулятор. Service mode",
       "report: in the password there are characters that Windows-1251 lacks.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    std::vector<std::string> args = {"--lang", c.language};
    args.insert(args.end(), address.begin(), address.end());
    args.push_back("status");
    Output r = Run(TOLVANET_CLI_BINARY, "", args);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), c.line);

    args.insert(args.end() - 1, "--json");
    r = Run(TOLVANET_CLI_BINARY, "", args);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_THAT(r.out, HasSubstr("{\"line\":\"" + original + "\""));

    std::vector<std::string> report = {"--lang", c.language};
    report.insert(report.end(), address.begin(), address.end());
    report.insert(report.end(), {"report", "x", "--password", "\u4E2D"});
    r = Run(TOLVANET_CLI_BINARY, "", report);
    EXPECT_THAT(r.out, HasSubstr(c.bad_password));
  }
}

TEST_F(LanguageCliTest, TheCLocaleGivesTheOriginalTextsWhateverLanguageSays) {
  const Output r = Run(TOLVANET_CLI_BINARY, "LC_ALL=C LANGUAGE=uk", {"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.out, HasSubstr("Language: ru ("));
  EXPECT_THAT(Run(TOLVANET_CLI_BINARY, "LC_ALL=C LANGUAGE=uk", {"--help"}).out,
              HasSubstr("Identify the register and show its six status bytes bit by bit."));
}

TEST_F(LanguageCliTest, AnUnknownLanguageIsNamedAndTheOriginalTextsAreUsed) {
  const Output r = Run(TOLVANET_CLI_BINARY, "", {"--lang", "de", "--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.out, HasSubstr("\"de\""));
  EXPECT_THAT(r.out, HasSubstr("Language: ru ("));
}

TEST_F(LanguageCliTest, VersionNamesTheLanguageInUse) {
  for (const char* language : {"uk", "en", "ru"}) {
    const Output r = Run(TOLVANET_SIM_BINARY, "", {"--lang", language, "--version"});
    EXPECT_THAT(r.out, HasSubstr(std::string("Language: ") + language + " (")) << language;
  }
}

// A receipt, a report and a fiscalization through the CLI put the same bytes on the wire and
// the same lines into the session log in every language.
TEST_F(LanguageCliTest, TheLanguageChangesNoByteOnTheWireNorInTheSessionLog) {
  std::map<std::string, std::vector<std::string>> wire;
  std::map<std::string, std::string> logs;
  for (const char* language : {"ru", "uk", "en"}) {
    sim::Server server(testing::LoopbackOptions());
    sim::Register& reg = server.AddRegister("LNG1");
    ASSERT_TRUE(server.Start()) << server.error_text();
    const std::vector<std::string> common = {"--lang",    language,
                                             "--address", "127.0.0.1",
                                             "--port",    std::to_string(server.port()),
                                             "--id",      "LNG1",
                                             "--log",     (dir / language).string() + ".log"};
    const std::vector<std::vector<std::string>> steps = {
        {"send", "36", "406172;123;Хліб;4.50;1;2;", "99", "406172;1;1;0;", "100",
         "406172;123;2.000;4.50;", "101", "406172;0;"},
        {"send", "33", "406172;", "0x80", "406172;"},
        {"report", "x"},
        {"fiscalize", "--serial", "SM000012345", "--inspector", "123456", "--yes"},
    };
    for (const auto& step : steps) {
      std::vector<std::string> args = common;
      args.insert(args.end(), step.begin(), step.end());
      Run(TOLVANET_CLI_BINARY, "", args);
    }
    for (const auto& r : reg.requests())
      wire[language].push_back(std::to_string(r.code) + ":" + r.text);
    logs[language] = testing::Slurp(dir / (std::string(language) + ".log"));
    // The session log's time stamps differ from run to run; its lines otherwise do not.
    std::string& log = logs[language];
    for (char& c : log)
      if (c >= '0' && c <= '9')
        c = '#';
  }
  ASSERT_GE(wire["ru"].size(), 8u) << ::testing::PrintToString(wire["ru"]);
  EXPECT_EQ(wire["uk"], wire["ru"]);
  EXPECT_EQ(wire["en"], wire["ru"]);
  EXPECT_FALSE(logs["ru"].empty());
  EXPECT_EQ(logs["uk"], logs["ru"]);
  EXPECT_EQ(logs["en"], logs["ru"]);
}

}  // namespace
}  // namespace tolvanet
