#include "script/interpreter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/codepage.h"
#include "link/engine.h"
#include "tests/script/fake_register.h"
#include "tests/script/script_host_recorder.h"

namespace tolvanet::script {
namespace {

using ::testing::ElementsAre;
using tolvanet::testing::FakeAnswer;
using tolvanet::testing::FakeRegister;
using tolvanet::testing::RecordingHost;
using tolvanet::testing::SentCommand;

std::string DataFile(const std::string& name) {
  return (std::filesystem::path(__FILE__).parent_path() / "data" / name).string();
}

constexpr char kEnd[] = "Конец файла!";

class InterpreterTest : public ::testing::Test {
 protected:
  InterpreterTest() : interpreter(engine, host) {
    engine.SetTransport(&reg);
    reg.answers[0x21] = FakeAnswer{"0000", "010125;1200;"};
    reg.answers[0x80] = FakeAnswer{"0000", "M1;V2;X3;"};
    reg.answers[0x55] = FakeAnswer{"0101", ""};
    reg.answers[0x56] = FakeAnswer{"0000", "", true};
    reg.answers[0x57] = FakeAnswer{"0000", "1;", false, true};
    interpreter.SetRandomSeed(7);
  }

  // Writes a script into a temporary file and chooses it.
  void UseText(const std::string& text) {
    auto path =
        std::filesystem::temp_directory_path() /
        ("tolvanet_script_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
    std::ofstream(path, std::ios::binary) << text;
    temp = path;
    interpreter.SetFile(path.string());
  }
  ~InterpreterTest() override {
    if (!temp.empty())
      std::filesystem::remove(temp);
  }

  Engine engine;
  FakeRegister reg;
  RecordingHost host;
  Interpreter interpreter;
  std::filesystem::path temp;
};

// --- Every statement and every message, one small script each. ---

struct ScriptCase {
  const char* file;
  RunOutcome outcome;
  std::vector<std::string> boxes;
  std::vector<std::string> lines;  // message-area lines other than the exchanges
  std::vector<SentCommand> sent;
  int line_count;
};

// Test names and failure reports show the fixture's file name only.
void PrintTo(const ScriptCase& c, std::ostream* os) {
  *os << c.file;
}

// A shown comment as the message area gets it (Windows-1251).
std::string Comment(const std::string& text) {
  return ToCp1251("Комментарий:: ") + text + "!!!";
}

const ScriptCase kCases[] = {
    {"commands_only.txt",
     RunOutcome::kEndOfFile,
     {kEnd},
     {Comment("Start")},
     {{0x21, "406172;"}, {0x2D, "406172;1;2;"}},
     0},
    {"set_values.txt",
     RunOutcome::kEndOfFile,
     {kEnd},
     {";my_b=", ";my_a=5", ";my_b=5", ";my_a=M1", ";%Ret1=V2", ";%Ret0=M1"},
     {{0x80, "406172;"}},
     0},
    {"if_else.txt",
     RunOutcome::kEndOfFile,
     {kEnd},
     {Comment("big"), Comment("else branch"), Comment("equal"), Comment("after")},
     {},
     0},
    {"while_loop.txt",
     RunOutcome::kEndOfFile,
     {kEnd},
     {Comment("inner"), ";i=3"},
     {{33, "406172;1;"}, {33, "406172;2;"}, {33, "406172;3;"}},
     0},
    {"oper.txt",
     RunOutcome::kEndOfFile,
     {kEnd},
     {";r=12", ";r=22", ";r=-85", ";r=-3", ";r=2", ";r=abcd", ";r=4.25", ";r=0.333333333333333",
      ";r=5", ";r=AAA", ";r=5", ";r=1", ";r=0", ";r=0"},
     {},
     0},
    {"comment_keywords.txt",
     RunOutcome::kEndOfFile,
     {kEnd},
     {Comment("reached"), ";%Ret0="},
     {},
     0},
    {"if_without_else.txt", RunOutcome::kEndOfFile, {kEnd}, {}, {}, 0},
    {"long_line.txt",
     RunOutcome::kEndOfFile,
     {kEnd},
     {Comment(std::string(100, 'b'))},
     {{0x21, "406172;"}},
     0},
    {"modes.txt",
     RunOutcome::kError,
     {"Ошибка выполнения команды"},
     {Comment("line 3")},
     {{0x21, "406172;"}, {0x2D, "406172;1;"}, {0x55, "406172;"}},
     6},
    {"f_decl_placement.txt",
     RunOutcome::kError,
     {"Ошибка - неверное расположение описания данных."},
     {},
     {},
     4},
    {"f_declarebeg_twice.txt",
     RunOutcome::kError,
     {"Ошибка - ошибка в описаниях. DeclareBeg уже был ранее."},
     {},
     {},
     2},
    {"f_new_outside.txt",
     RunOutcome::kError,
     {"Ошибка - ошибка в описаниях. Оператор New расположен вне секции описаний."},
     {},
     {{0x21, "406172;"}},
     2},
    {"f_while_outside.txt",
     RunOutcome::kError,
     {"Ошибка - ошибка в описаниях. Оператор New расположен вне секции описаний."},
     {},
     {},
     2},
    {"f_if_outside.txt",
     RunOutcome::kError,
     {"Ошибка - ошибка в If-Then. Оператор New расположен вне секции описаний."},
     {},
     {},
     1},
    {"f_declareend_place.txt",
     RunOutcome::kError,
     {"Ошибка - ошибка в описаниях. Ошибочное расположение DeclareEnd."},
     {},
     {},
     1},
    {"f_set_section.txt",
     RunOutcome::kError,
     {"Ошибка - ошибка в описаниях. Секция определений неверна."},
     {},
     {},
     3},
    {"f_set_syntax.txt", RunOutcome::kError, {"Ошибка - ошибка в операторе Set."}, {}, {}, 4},
    {"f_set_unknown.txt",
     RunOutcome::kError,
     {"Ошибка - присвоение несуществующей переменной."},
     {},
     {},
     4},
    {"f_print_state.txt", RunOutcome::kError, {"Ошибка - ошибка в описаниях."}, {}, {}, 2},
    {"f_if_operator.txt",
     RunOutcome::kError,
     {"Некорректная операция в операторе If - ошибка!"},
     {"%If (a=b)"},
     {},
     5},
    {"f_while_operator.txt",
     RunOutcome::kError,
     {"Некорректная операция в операторе While - ошибка!"},
     {"%While (a)"},
     {},
     4},
    {"f_bad_operand.txt", RunOutcome::kError, {"Ошибка переменной!"}, {"%If (a<>b)"}, {}, 5},
    {"f_runcommand_param.txt",
     RunOutcome::kError,
     {"Ошибка первого параметра!"},
     {"%RunCommand(33, \"406172\", a, what)"},
     {},
     4},
    {"f_oper_first.txt",
     RunOutcome::kError,
     {"Ошибка первого параметра!"},
     {"%Oper(x, 1, 0, r)"},
     {},
     4},
    {"f_oper_second.txt",
     RunOutcome::kError,
     {"Ошибка второго параметра!"},
     {"%Oper(1, 1.5, 0, r)"},
     {},
     4},
    {"f_oper_operation.txt",
     RunOutcome::kError,
     {"Ошибка операции!"},
     {"%Oper(1, 2, add, r)"},
     {},
     4},
    {"f_oper_string.txt",
     RunOutcome::kError,
     {"Ошибка операции!"},
     {"%Oper(\"1\", 2, 0, r)"},
     {},
     4},
    {"f_oper_result.txt",
     RunOutcome::kError,
     {"Ошибка результата операции!"},
     {"%Oper(1, 2, 0, s)"},
     {},
     4},
    {"f_timeout.txt",
     RunOutcome::kError,
     {"Ошибка выполнения команды. Таймаут"},
     {},
     {{0x21, "406172;"}, {0x56, "406172;"}},
     2},
    {"f_runcommand_timeout.txt",
     RunOutcome::kError,
     {"Ошибка выполнения команды. Таймаут"},
     {},
     {{0x56, "406172;"}},
     3},
    {"f_command_error.txt",
     RunOutcome::kError,
     {"Ошибка выполнения команды"},
     {},
     {{0x21, "406172;"}, {0x55, "406172;1;"}},
     3},
    {"f_checksum_full.txt",
     RunOutcome::kError,
     {"Неверная контрольная сумма"},
     {},
     {{0x57, "406172;"}},
     1},
    {"f_short_line.txt",
     RunOutcome::kError,
     {"Ошибка - строка команды короче 9 символов: \"21406172\"."},
     {},
     {},
     1},
    {"f_bad_code.txt", RunOutcome::kError, {"Неверный код команды!"}, {}, {}, 1},
    {"f_long_text.txt",
     RunOutcome::kError,
     {"Команда не отправлена: текст команды длиннее 219 байт (227)."},
     {},
     {},
     1},
    {"f_div_zero.txt",
     RunOutcome::kError,
     {"Ошибка - деление на ноль в операторе Oper."},
     {},
     {},
     4},
    {"f_mod_zero.txt",
     RunOutcome::kError,
     {"Ошибка - деление на ноль в операторе Oper."},
     {},
     {},
     4},
    {"f_real_div_zero.txt",
     RunOutcome::kError,
     {"Ошибка - деление на ноль в операторе Oper."},
     {},
     {},
     4},
    {"f_conversion.txt",
     RunOutcome::kError,
     {"Ошибка преобразования - \"12abc\" не является числом."},
     {},
     {},
     5},
    {"f_ret_range.txt",
     RunOutcome::kError,
     {"Ошибка - номер поля ответа вне 0..19: %Ret20."},
     {},
     {},
     3},
    {"f_then_without_if.txt", RunOutcome::kError, {"Ошибка - оператор Then без If."}, {}, {}, 3},
};

class ScriptFileTest : public InterpreterTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptFileTest, FullRun) {
  const ScriptCase& c = GetParam();
  interpreter.SetFile(DataFile(c.file));
  EXPECT_EQ(interpreter.Run(), c.outcome);
  EXPECT_EQ(host.boxes, c.boxes);
  EXPECT_EQ(host.lines, c.lines);
  EXPECT_EQ(reg.sent, c.sent);
  EXPECT_EQ(interpreter.line_count(), c.line_count);
  EXPECT_EQ(host.line_count, c.line_count);
  EXPECT_EQ(interpreter.error_message(), c.outcome == RunOutcome::kError ? c.boxes.back() : "");
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptFileTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           name = name.substr(0, name.find('.'));
                           for (char& ch : name) {
                             if (ch == '-')
                               ch = '_';
                           }
                           return name;
                         });

// --- What a run shows besides messages. ---

TEST_F(InterpreterTest, SuccessfulCommandLinesShowTheirExchangeAndFields) {
  interpreter.SetFile(DataFile("commands_only.txt"));
  interpreter.Run();
  ASSERT_EQ(host.exchange.size(), 4u);
  EXPECT_EQ(host.exchange[0], "PC: " + BuildRequestFrame(SequenceByte(1), 0x21, "406172;"));
  EXPECT_EQ(host.exchange[1].substr(0, 4), "FP: ");
  EXPECT_NE(host.exchange[1].find("010125;1200;"), std::string::npos);
  EXPECT_EQ(host.exchange[2], "PC: " + BuildRequestFrame(SequenceByte(2), 0x2D, "406172;1;2;"));
  EXPECT_EQ(host.error_field, "0000");
  EXPECT_EQ(host.status_field, "00 00 00 00 00 00 ");
  EXPECT_THAT(host.pauses, ElementsAre(250));
  EXPECT_EQ(host.code_field, "2D");
}

TEST_F(InterpreterTest, QuietRunLeavesExchangesAndShownCommentsOut) {
  host.quiet = true;
  interpreter.SetFile(DataFile("commands_only.txt"));
  EXPECT_EQ(interpreter.Run(), RunOutcome::kEndOfFile);
  EXPECT_TRUE(host.lines.empty());
  EXPECT_TRUE(host.exchange.empty());
  EXPECT_EQ(reg.sent.size(), 2u);
  EXPECT_EQ(host.error_field, "0000");
}

TEST_F(InterpreterTest, ErrorCodeAndStatusAreShownBeforeTheMessage) {
  reg.status = {0x81, 0x80, 0x95, 0x80, 0x80, 0x80};
  interpreter.SetFile(DataFile("f_command_error.txt"));
  interpreter.Run();
  EXPECT_EQ(host.error_field, "0101");
  EXPECT_EQ(host.status_field, "01 00 15 00 00 00 ");
}

TEST_F(InterpreterTest, VariablesWindowFollowsNewSetAndOper) {
  UseText("%DeclareBeg p_\n%New a\n%New b\n%DeclareEnd\n%Set p_a = \"4\"\n%Oper(p_a, 2, 2, p_b)\n");
  interpreter.Run();
  EXPECT_THAT(host.variable_events, ElementsAre("+1 p_a", "+2 p_b", "1 p_a=4", "2 p_b=8"));
  ASSERT_EQ(interpreter.variables().size(), 2u);
  EXPECT_EQ(interpreter.variables()[1].value, "8");
}

TEST_F(InterpreterTest, RandomOperationStaysWithinItsBounds) {
  std::string text = "%DeclareBeg\n%New r\n%DeclareEnd\n";
  for (int i = 0; i < 30; ++i)
    text += "%Oper(3, 6, 7, r)\n%Print r\n";
  UseText(text);
  interpreter.Run();
  ASSERT_EQ(host.lines.size(), 30u);
  for (const auto& line : host.lines) {
    int value = std::stoi(line.substr(3));
    EXPECT_GE(value, 3);
    EXPECT_LE(value, 6);
  }
}

TEST_F(InterpreterTest, StopRequestEndsTheRunQuietlyAfterTheCommandLine) {
  host.on_messages = [this] {
    if (reg.sent.size() == 1)
      interpreter.RequestStop();
  };
  interpreter.SetFile(DataFile("commands_only.txt"));
  EXPECT_EQ(interpreter.Run(), RunOutcome::kStopped);
  EXPECT_EQ(reg.sent.size(), 1u);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(interpreter.line_count(), 4);
}

TEST_F(InterpreterTest, StopRequestEndsALoopWithoutCommandLines) {
  int lines = 0;
  host.on_messages = [&] {
    if (++lines == 50)
      interpreter.RequestStop();
  };
  UseText("%DeclareBeg\n%DeclareEnd\n%While (1<2)\n%EndWhile\n");
  EXPECT_EQ(interpreter.Run(), RunOutcome::kStopped);
  EXPECT_EQ(interpreter.line_count(), 49);  // the 50th line was read, not executed
}

TEST_F(InterpreterTest, AStopBetweenLinesLeavesTheCountAtTheLastLineExecuted) {
  struct StopCase {
    const char* name;
    bool full_run;
    int start;                // the count "Продолжить" starts from
    int count;                // after the stop
    std::size_t sent_before;  // command lines sent before the stop
  };
  const StopCase cases[] = {
      {"during %Delay of a full run", true, 0, 2, 1},
      {"before the first line of Продолжить", false, 2, 2, 0},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.name);
    reg.sent.clear();
    host.pauses.clear();
    UseText("21406172;\n%Delay 500\n2D406172;1;\n2E406172;\n");
    // The stop button is pressed while the pause runs, or before anything of the run.
    host.on_messages = [&] {
      if (!c.full_run || !host.pauses.empty())
        interpreter.RequestStop();
    };
    interpreter.set_line_count(c.start);
    EXPECT_EQ(c.full_run ? interpreter.Run() : interpreter.Continue(), RunOutcome::kStopped);
    EXPECT_EQ(interpreter.line_count(), c.count);
    EXPECT_EQ(reg.sent.size(), c.sent_before);

    // "Продолжить" from there sends the line that was never sent.
    host.on_messages = nullptr;
    reg.sent.clear();
    EXPECT_EQ(interpreter.Continue(), RunOutcome::kEndOfFile);
    EXPECT_EQ(reg.sent, (std::vector<SentCommand>{{0x2D, "406172;1;"}, {0x2E, "406172;"}}));
  }
}

TEST_F(InterpreterTest, ALineOf298CharactersEndingInCrLfIsOneLine) {
  UseText("+" + std::string(297, 'c') + "\r\n21406172;\r\n");
  EXPECT_EQ(interpreter.Step(), RunOutcome::kStepDone);  // the shown comment
  EXPECT_EQ(interpreter.line_count(), 1);
  EXPECT_EQ(interpreter.Step(), RunOutcome::kStepDone);
  EXPECT_EQ(reg.sent, (std::vector<SentCommand>{{0x21, "406172;"}}));
  EXPECT_EQ(interpreter.line_count(), 2);
}

TEST_F(InterpreterTest, ARunStartedDuringARunIsRefused) {
  RunOutcome inner = RunOutcome::kEndOfFile;
  host.on_messages = [&] {
    host.on_messages = nullptr;
    inner = interpreter.Run();
  };
  interpreter.SetFile(DataFile("commands_only.txt"));
  EXPECT_EQ(interpreter.Run(), RunOutcome::kEndOfFile);
  EXPECT_EQ(inner, RunOutcome::kRefused);
  EXPECT_EQ(reg.sent.size(), 2u);
}

TEST_F(InterpreterTest, ScriptTextReachesTheRegisterAsWindows1251) {
  const std::string expected = "406172;\xcf\xf0\xe8\xe2\xe5\xf2";
  for (const char* file : {"cp1251.txt", "utf8.txt"}) {
    reg.sent.clear();
    interpreter.SetFile(DataFile(file));
    interpreter.Run();
    ASSERT_EQ(reg.sent.size(), 1u) << file;
    EXPECT_EQ(reg.sent[0].text, expected) << file;
  }
}

TEST_F(InterpreterTest, MissingOrUnreadableFileIsReported) {
  EXPECT_EQ(interpreter.Run(), RunOutcome::kError);
  EXPECT_EQ(interpreter.Step(), RunOutcome::kError);
  interpreter.SetFile(DataFile("no_such_script.txt"));
  EXPECT_EQ(interpreter.Continue(), RunOutcome::kError);
  EXPECT_THAT(host.boxes, ElementsAre("Файл скрипта не выбран.", "Файл скрипта не выбран.",
                                      "Не удалось открыть файл скрипта \"" +
                                          DataFile("no_such_script.txt") + "\"."));
  EXPECT_TRUE(reg.sent.empty());
}

TEST_F(InterpreterTest, BoundsEndTheRunWithAClearMessage) {
  struct Bound {
    std::string text;
    std::string message;
  };
  std::string variables = "%DeclareBeg\n";
  for (int i = 0; i <= 100; ++i)
    variables += "%New v" + std::to_string(i) + "\n";
  std::string arguments = "%DeclareBeg\n%DeclareEnd\n%RunCommand(33";
  for (int i = 0; i <= 20; ++i)
    arguments += ", 1";
  arguments += ")\n";
  std::string ifs = "%DeclareBeg\n%DeclareEnd\n";
  for (int i = 0; i <= 100; ++i)
    ifs += "%If (1<2)\n";
  std::string whiles = "%DeclareBeg\n%DeclareEnd\n";
  for (int i = 0; i <= 100; ++i)
    whiles += "%While (1<2)\n";
  const Bound bounds[] = {
      {variables, "Ошибка - больше 100 переменных."},
      {arguments, "Ошибка - больше 20 параметров в операторе RunCommand."},
      {ifs, "Ошибка - больше 100 операторов If."},
      {whiles, "Ошибка - больше 100 операторов While."},
      {"%DeclareBeg\n%New r\n%DeclareEnd\n%Oper(9223372036854775807, 1, 0, r)\n",
       "Ошибка - переполнение в операторе Oper."},
      {"%DeclareBeg\n%New r\n%DeclareEnd\n%Oper(65, 70000, 8, r)\n",
       "Ошибка - строка длиннее 65535 символов в операторе Oper."},
      {"%DeclareBeg\n%DeclareEnd\n%RunCommand(300, 1)\n", "Ошибка - код команды вне 0..255: 300."},
      {"%DeclareBeg\n%DeclareEnd\n%EndWhile\n", "Ошибка - оператор EndWhile без While."},
      {"%Delay 1s\n", "Ошибка преобразования - \"1s\" не является числом."},
  };
  for (const auto& b : bounds) {
    host.boxes.clear();
    UseText(b.text);
    EXPECT_EQ(interpreter.Run(), RunOutcome::kError) << b.message;
    EXPECT_THAT(host.boxes, ElementsAre(b.message));
  }
  EXPECT_TRUE(reg.sent.empty());
}

// --- "Продолжить" and "Шаг". ---

TEST_F(InterpreterTest, ContinueCarriesOnAfterTheLineThatFailed) {
  interpreter.SetFile(DataFile("modes.txt"));
  ASSERT_EQ(interpreter.Run(), RunOutcome::kError);
  ASSERT_EQ(interpreter.line_count(), 6);
  reg.sent.clear();
  host.boxes.clear();
  EXPECT_EQ(interpreter.Continue(), RunOutcome::kEndOfFile);
  EXPECT_EQ(reg.sent, (std::vector<SentCommand>{{0x2E, "406172;"}}));
  EXPECT_THAT(host.boxes, ElementsAre(kEnd));
  EXPECT_EQ(interpreter.line_count(), 0);
}

TEST_F(InterpreterTest, ContinueFromACountRunsCommandLinesAndComments) {
  interpreter.SetFile(DataFile("modes.txt"));
  interpreter.set_line_count(1);
  EXPECT_EQ(interpreter.Continue(), RunOutcome::kError);
  EXPECT_EQ(reg.sent,
            (std::vector<SentCommand>{{0x21, "406172;"}, {0x2D, "406172;1;"}, {0x55, "406172;"}}));
  EXPECT_THAT(host.lines, ElementsAre(Comment("line 3")));
  EXPECT_THAT(host.boxes, ElementsAre("Ошибка выполнения команды"));
  EXPECT_EQ(interpreter.line_count(), 6);
}

TEST_F(InterpreterTest, ContinueDoesNotKnowStatements) {
  interpreter.SetFile(DataFile("statements_in_continue.txt"));
  EXPECT_EQ(interpreter.Continue(), RunOutcome::kError);
  EXPECT_THAT(host.boxes, ElementsAre("Неверный код команды!"));
  EXPECT_EQ(reg.sent.size(), 1u);
  EXPECT_EQ(interpreter.line_count(), 2);
}

TEST_F(InterpreterTest, ContinueAndStepStopAtAChecksumError) {
  for (bool step : {false, true}) {
    host.boxes.clear();
    reg.sent.clear();
    interpreter.SetFile(DataFile("checksum.txt"));
    EXPECT_EQ(step ? interpreter.Step() : interpreter.Continue(), RunOutcome::kError);
    EXPECT_THAT(host.boxes, ElementsAre("Неверная контрольная сумма"));
    EXPECT_EQ(reg.sent.size(), 1u);
  }
}

TEST_F(InterpreterTest, StepExecutesOneLineAtATime) {
  interpreter.SetFile(DataFile("modes.txt"));
  struct Expected {
    RunOutcome outcome;
    std::size_t sent;
    int count;
  };
  const Expected steps[] = {
      {RunOutcome::kStepDone, 0, 1},   // ";line 1"
      {RunOutcome::kStepDone, 1, 2},   // 21
      {RunOutcome::kStepDone, 1, 3},   // "+line 3"
      {RunOutcome::kStepDone, 2, 5},   // the empty line is passed over, then 2D
      {RunOutcome::kError, 3, 6},      // 55 answers with an error code
      {RunOutcome::kStepDone, 4, 7},   // 2E
      {RunOutcome::kEndOfFile, 4, 0},  // end of file
  };
  for (const auto& s : steps) {
    EXPECT_EQ(interpreter.Step(), s.outcome) << s.count;
    EXPECT_EQ(reg.sent.size(), s.sent) << s.count;
    EXPECT_EQ(interpreter.line_count(), s.count);
  }
  EXPECT_THAT(host.lines, ElementsAre(Comment("line 3")));
  EXPECT_THAT(host.boxes, ElementsAre("Ошибка выполнения команды", kEnd));
}

// The window is repainted after each command line and when a run ends, whichever way it ends;
// a step repaints only when it executed a command line.
TEST_F(InterpreterTest, RepaintsFollowTheWayOfRunning) {
  enum class Way { kRun, kContinue, kStep };
  struct Case {
    const char* name;
    Way way;
    int start;  // the line count it starts from
    const char* text;
    RunOutcome outcome;
    int repaints;
  };
  const Case cases[] = {
      {"a run of one command line", Way::kRun, 0, "21406172;\n", RunOutcome::kEndOfFile, 2},
      {"a run that fails", Way::kRun, 0, "55406172;\n21406172;\n", RunOutcome::kError, 1},
      {"Продолжить, one command line", Way::kContinue, 0, "21406172;\n", RunOutcome::kEndOfFile, 2},
      {"Продолжить at the end", Way::kContinue, 1, "21406172;\n", RunOutcome::kEndOfFile, 1},
      {"a step over a comment", Way::kStep, 0, ";c\n21406172;\n", RunOutcome::kStepDone, 0},
      {"a step over a shown comment", Way::kStep, 0, "+c\n21406172;\n", RunOutcome::kStepDone, 0},
      {"a step of a command line", Way::kStep, 1, ";c\n21406172;\n", RunOutcome::kStepDone, 2},
      {"a step that fails", Way::kStep, 0, "55406172;\n", RunOutcome::kError, 0},
      {"a step at the end", Way::kStep, 1, "21406172;\n", RunOutcome::kEndOfFile, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseText(c.text);
    interpreter.set_line_count(c.start);
    host.repaints = 0;
    const RunOutcome outcome = c.way == Way::kRun        ? interpreter.Run()
                               : c.way == Way::kContinue ? interpreter.Continue()
                                                         : interpreter.Step();
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(host.repaints, c.repaints);
  }
}

TEST_F(InterpreterTest, ChoosingAFileClearsCountAndVariables) {
  interpreter.SetFile(DataFile("set_values.txt"));
  interpreter.Run();
  interpreter.set_line_count(5);
  interpreter.SetFile(DataFile("modes.txt"));
  EXPECT_EQ(interpreter.line_count(), 0);
  EXPECT_TRUE(interpreter.variables().empty());
}

}  // namespace
}  // namespace tolvanet::script
