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
