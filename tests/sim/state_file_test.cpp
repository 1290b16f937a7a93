// The state file keeps the registers' memory across restarts of the simulator.
#include <cstdio>
#include <fstream>

#include "link/codepage.h"
#include "sim/state_file.h"
#include "sim_fixture.h"

namespace tolvanet::sim::testing {
namespace {

class StateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "tolvanet_sim_state_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    std::remove(path_.c_str());
  }
  void TearDown() override { std::remove(path_.c_str()); }
  ServerOptions Options() const {
    ServerOptions o;
    o.port = 0;
    o.state_file = path_;
    return o;
  }
  std::string path_;
};

TEST_F(StateFileTest, MemorySurvivesARestart) {
  {
    Server server(Options());
    server.AddRegister("1");
    ASSERT_TRUE(server.Start()) << server.error_text();
    Client c(server.port());
    ASSERT_TRUE(IsReadyAnswer(c.Connect()));
    ASSERT_TRUE(c.Run(36, ToCp1251("406172;123;Хліб з маком;4.50;1;2;")).Succeeded());
    ASSERT_TRUE(c.Run(34, ToCp1251("406172;2;  % рядок;1;")).Succeeded());
    ASSERT_TRUE(c.Run(242, "406172;10;3;0A0B0C;").Succeeded());
    ASSERT_TRUE(c.Run(99, "406172;1;1;0;").Succeeded());
    ASSERT_TRUE(c.Run(100, "406172;123;1.000;4.50;").Succeeded());
    ASSERT_TRUE(c.Run(75, "406172;42;").Succeeded());
    server.Stop();
  }
  Server server(Options());
  ASSERT_TRUE(server.Start()) << server.error_text();
  EXPECT_EQ(server.register_ids(), std::vector<std::string>{"42"});
  Client c(server.port(), "42");
  ASSERT_TRUE(IsReadyAnswer(c.Connect()));
  EXPECT_EQ(FromCp1251(c.Run(35, "406172;2;").answer_copy), "  % рядок;1;");
  EXPECT_EQ(c.Run(241, "406172;10;").Field(1).substr(0, 8), "0A0B0CFF");
  // The open receipt is still open, with its sale.
  EXPECT_EQ(c.Run(109, "406172;0;").Field(0), "4.50");
  EXPECT_EQ(c.engine.reply().status_bytes[2], 0x02);
  EXPECT_EQ(server.FindRegister("42")->State().articles.at(123).name, ToCp1251("Хліб з маком"));
}

TEST_F(StateFileTest, SerializedStateReadsBackTheSame) {
  Register r("5");
  r.OpenReceipt(DocKind::kReturn, 3);
  r.ChangeState([](RegisterState& s) {
    s.journal.push_back(Document{7, DocKind::kCashInOut, 1234567, -500, true});
    s.z_reports.push_back(ZReport{1, 99, 100, 5, 2});
    s.forced_status = {0, 0x04, 0, 0x01, 0, 0x20};
    s.payment_types.resize(3);
    s.receipt.card_transactions = {"410000000001", "T 1"};
  });
  std::vector<RegisterState> back;
  std::string error;
  const std::string text = SerializeStates({r.State()});
  ASSERT_TRUE(ParseStates(text, back, error)) << error;
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(SerializeStates(back), text);
  EXPECT_EQ(back[0].receipt.card_transactions, (std::vector<std::string>{"410000000001", "T 1"}));
}

// The memory is written as the 64-byte chunks that hold anything but blank bytes, whatever the
// size of the memory and wherever those bytes are; it reads back the same.
TEST_F(StateFileTest, MemoryKeepsTheChunksThatHoldData) {
  struct Case {
    std::size_t size;
    std::vector<std::size_t> used;    // bytes set to 0x5A
    std::vector<std::size_t> chunks;  // where the written chunks start
  };
  const std::size_t run = 64 * 1024;  // blank memory is passed over this much at a time
  const Case cases[] = {
      {65536, {}, {}},
      {65536, {0, 63, 64, 65535}, {0, 64, 65472}},
      {100, {99}, {64}},
      {2 * run + 10, {run - 1, run, 2 * run + 9}, {run - 64, run, 2 * run}},
      {3 * run, {2 * run + 100}, {2 * run + 64}},
  };
  for (const Case& c : cases) {
    Register r("5");
    r.ChangeState([&c](RegisterState& s) {
      s.flash = FlashMemory(c.size);
      for (std::size_t at : c.used)
        s.flash.Write(at, "\x5A");
    });
    const std::string text = SerializeStates({r.State()});
    std::vector<std::size_t> chunks;
    for (std::size_t at = text.find("\nflash "); at != std::string::npos;
         at = text.find("\nflash ", at + 1))
      chunks.push_back(std::stoul(text.substr(at + 7)));
    EXPECT_EQ(chunks, c.chunks) << c.size;
    std::vector<RegisterState> back;
    std::string error;
    ASSERT_TRUE(ParseStates(text, back, error)) << error;
    EXPECT_TRUE(back.at(0).flash == r.State().flash) << c.size;
  }
}

// A text is one token: blanks, "%" and control bytes go as "%XX", an empty text as a lone "%".
TEST_F(StateFileTest, TextsTravelAsOneTokenEach) {
  const std::pair<std::string, std::string> texts[] = {
      {"", "%"},          {"plain", "plain"}, {" lead and trail ", "%20lead%20and%20trail%20"},
      {"100%", "100%25"}, {"%%", "%25%25"},   {std::string("\x01\x7F\xC0", 3), "%01%7F\xC0"},
  };
  for (const auto& [text, token] : texts) {
    Register r("5");
    const std::string model = text;  // clang 14 cannot capture a structured binding
    r.ChangeState([&model](RegisterState& s) { s.model = model; });
    const std::string file = SerializeStates({r.State()});
    EXPECT_NE(file.find("\nmodel " + token + "\n"), std::string::npos) << token;
    std::vector<RegisterState> back;
    std::string error;
    ASSERT_TRUE(ParseStates(file, back, error)) << error;
    EXPECT_EQ(back.at(0).model, text) << token;
  }
  // Escapes cut short or with other than two hexadecimal digits name their line.
  for (const char* bad : {"%4", "a%", "%G1", "%%41", "x%4"}) {
    std::vector<RegisterState> back;
    std::string error;
    const std::string file =
        "tolvanet-sim state 1\nregister 1\nmodel " + std::string(bad) + "\npayment 1 Cash\nend\n";
    EXPECT_FALSE(ParseStates(file, back, error)) << bad;
    EXPECT_EQ(error.rfind("line 3", 0), 0u) << bad << ": " << error;
  }
}

TEST_F(StateFileTest, ADamagedFileStopsTheStartWithItsLine) {
  {
    std::ofstream out(path_);
    out << "tolvanet-sim state 1\nregister 1\nmodel X\ncash many\nend\n";
  }
  Server server(Options());
  EXPECT_FALSE(server.Start());
  EXPECT_NE(server.error_text().find("line 4"), std::string::npos) << server.error_text();

  std::vector<RegisterState> states;
  std::string error;
  EXPECT_FALSE(ParseStates("something else\n", states, error));
  EXPECT_FALSE(ParseStates("tolvanet-sim state 1\nregister 1\nmodel X\n", states, error));
  EXPECT_NE(error.find("ends inside"), std::string::npos);
}

}  // namespace
}  // namespace tolvanet::sim::testing
