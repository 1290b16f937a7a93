// The script runner against the simulated register over a loopback relay connection.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/codepage.h"
#include "link/engine.h"
#include "link/relay_link.h"
#include "script/interpreter.h"
#include "sim/register.h"
#include "sim/server.h"
#include "tests/cli/sim_fixture.h"
#include "tests/script/script_host_recorder.h"

namespace tolvanet::script {
namespace {

using ::testing::ElementsAre;

using testing::DataFile;
using testing::LoopbackOptions;

class InterpreterSimTest : public ::testing::Test {
 protected:
  InterpreterSimTest() : server(LoopbackOptions()), interpreter(engine, host) {
    reg = &server.AddRegister("SCRIPT1");
    EXPECT_TRUE(server.Start()) << server.error_text();
    link.timings().port = server.port();
    link.SetHost("127.0.0.1");
    link.SetIdDev("SCRIPT1");
    EXPECT_TRUE(link.OpenLink()) << link.error_text();
    EXPECT_TRUE(IsReadyAnswer(link.RegisterDevice().answer));
    engine.SetTransport(&link);
  }
  ~InterpreterSimTest() override {
    link.CloseLink();
    server.Stop();
  }

  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const auto& r : reg->requests())
      codes.push_back(r.code);
    return codes;
  }

  sim::Server server;
  sim::Register* reg = nullptr;
  RelayLink link;
  Engine engine;
  testing::RecordingHost host;
  Interpreter interpreter;
};

TEST_F(InterpreterSimTest, StatementsReadTheRegistersAnswers) {
  interpreter.SetFile(DataFile("statements.txt"));
  EXPECT_EQ(interpreter.Run(), RunOutcome::kEndOfFile);
  EXPECT_THAT(host.lines, ElementsAre(ToCp1251("Комментарий:: begin!!!"), ";sim_model=SIM-100",
                                      ";%Ret5=SCRIPT1"));
  EXPECT_THAT(Codes(), ElementsAre(0x80, 0x80, 33, 0x21));
  EXPECT_THAT(host.boxes, ElementsAre("Конец файла!"));
  EXPECT_EQ(host.error_field, "0000");
  // Each request carries the next sequence byte.
  auto requests = reg->requests();
  for (std::size_t i = 1; i < requests.size(); ++i) {
    EXPECT_EQ(requests[i].sequence, requests[i - 1].sequence + 1);
  }
}

TEST_F(InterpreterSimTest, RegisterFailuresEndTheRun) {
  struct Failure {
    const char* what;
    std::function<void()> arrange;
    std::string message;
  };
  const Failure failures[] = {
      {"error code", [this] { reg->SetNextError(0x0201); }, "Ошибка выполнения команды"},
      {"checksum", [this] { reg->ChangeFaults([](sim::Faults& f) { f.corrupt_checksum = true; }); },
       "Неверная контрольная сумма"},
      // The relay drops the connection instead of answering: no answer, without waiting.
      {"no answer", [this] { reg->ChangeFaults([](sim::Faults& f) { f.drop_connection = true; }); },
       "Ошибка выполнения команды. Таймаут"},
  };
  for (const auto& f : failures) {
    reg->SetFaults({});
    host.boxes.clear();
    f.arrange();
    interpreter.SetFile(DataFile("three_commands.txt"));
    EXPECT_EQ(interpreter.Run(), RunOutcome::kError) << f.what;
    EXPECT_THAT(host.boxes, ElementsAre(f.message)) << f.what;
    EXPECT_EQ(interpreter.line_count(), 1) << f.what;
  }
}

TEST_F(InterpreterSimTest, StepsWalkThroughTheFile) {
  interpreter.SetFile(DataFile("three_commands.txt"));
  interpreter.set_line_count(1);
  EXPECT_EQ(interpreter.Step(), RunOutcome::kStepDone);
  EXPECT_EQ(interpreter.Continue(), RunOutcome::kEndOfFile);
  EXPECT_THAT(Codes(), ElementsAre(0x80, 0x21));
  EXPECT_EQ(interpreter.line_count(), 0);
}

}  // namespace
}  // namespace tolvanet::script
