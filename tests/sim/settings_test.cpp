// What the fiscal-parameter, network and modem windows need of the simulated register: the
// modem status bits, the restart after RestartDevice and Fiscalize, and remote access.
#include <cstdio>

#include "sim/state_file.h"
#include "sim_fixture.h"

namespace tolvanet::sim::testing {
namespace {

class SettingsSimTest : public SimTest {};

TEST_F(SettingsSimTest, ModemStatusBitsFollowTheirState) {
  struct Case {
    bool sam, card, blocked, cable;
    std::string byte;
  };
  // A fresh register has its ID_DEV (0x08) and the cable (0x40).
  const std::vector<Case> cases = {
      {false, false, false, true, "48"},
      {true, false, true, false, "0D"},
      {false, true, false, true, "4A"},
      {true, true, true, true, "4F"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.byte);
    reg_->ChangeState([&](RegisterState& s) {
      s.modem_sam_fault = c.sam;
      s.modem_card_fault = c.card;
      s.modem_blocked_72h = c.blocked;
      s.ethernet_cable = c.cable;
    });
    EXPECT_EQ(Run(234, "406172;0;").Field(0), c.byte);
  }
  // The bits are kept in the state file.
  std::vector<RegisterState> back;
  std::string error;
  ASSERT_TRUE(ParseStates(SerializeStates({reg_->State()}), back, error)) << error;
  EXPECT_TRUE(back[0].modem_sam_fault && back[0].modem_card_fault && back[0].modem_blocked_72h);
}

TEST_F(SettingsSimTest, ARestartKeepsTheRegisterSilentForItsBusyPeriod) {
  // The client gives up after about 2 s; the restart takes 300 ms.
  reg_->ChangeFaults([](Faults& f) { f.restart_busy_ms = 300; });
  ASSERT_EQ(Code(243, "406172;"), "0000");
  EXPECT_EQ(Code(128, "406172;"), "timeout");
  EXPECT_EQ(Code(128, "406172;"), "0000");
  EXPECT_EQ(reg_->requests().size(), 3u);

  // Fiscalize restarts it as well; with busy_error set, it refuses instead of keeping silent,
  // and runs nothing meanwhile.
  reg_->ChangeFaults([](Faults& f) {
    f.restart_busy_ms = 60000;
    f.busy_error = 0x0100;
  });
  ASSERT_EQ(Code(64, "406172;SM000012345;123456;"), "0000");
  EXPECT_EQ(Code(128, "406172;"), "0001");
  EXPECT_EQ(Code(65, "406172;XX0000000;"), "0001");
  EXPECT_EQ(reg_->State().serial_number, "SM000012345");
  EXPECT_TRUE(reg_->State().fiscalized);
}

TEST_F(SettingsSimTest, RemoteAccessOffRefusesNewConnections) {
  ASSERT_EQ(Code(136, "406172;20;0;"), "0000");
  EXPECT_EQ(Code(128, "406172;"), "0000");  // the connection in use stays
  Client other(server_->port());
  EXPECT_FALSE(IsReadyAnswer(other.Connect()));
  reg_->SetRemoteAccess(true);
  Client again(server_->port());
  EXPECT_TRUE(IsReadyAnswer(again.Connect()));
}

TEST(SettingsSimRestart, RemoteAccessComesBackWhenTheSimulatorStarts) {
  const std::string path = ::testing::TempDir() + "tolvanet_sim_remote_access.txt";
  std::remove(path.c_str());
  ServerOptions o;
  o.port = 0;
  o.state_file = path;
  {
    Server server(o);
    server.AddRegister("1").SetRemoteAccess(false);
    ASSERT_TRUE(server.Start()) << server.error_text();
    server.Stop();
  }
  Server server(o);
  ASSERT_TRUE(server.Start()) << server.error_text();
  Client c(server.port());
  EXPECT_TRUE(IsReadyAnswer(c.Connect()));
  server.Stop();
  std::remove(path.c_str());
}

}  // namespace
}  // namespace tolvanet::sim::testing
