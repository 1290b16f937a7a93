// tolvanet-cli's transfers end to end: the built program against a simulated register, started
// as a child process so that a test can press Ctrl+C.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "link/commands.h"
#include "sim/register.h"
#include "sim/server.h"
#include "tests/cli/program_run.h"
#include "tests/cli/sim_fixture.h"
#include "tests/transfer/bmp_fixtures.h"
#include "transfer/logo.h"

namespace tolvanet {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

struct Child {
  int status = -1;
  std::string out, err;
};

using testing::Slurp;

class TransferCliTest : public ::testing::Test {
 protected:
  TransferCliTest() : server(testing::LoopbackOptions()) {
    reg = &server.AddRegister("CLI1");
    reg->ChangeFaults([](sim::Faults& f) { f.syn_interval_ms = 1; });
    EXPECT_TRUE(server.Start()) << server.error_text();
  }
  ~TransferCliTest() override { server.Stop(); }

  // Runs the program in the test's directory against the simulator; `while_running` is called
  // every few milliseconds with the child's process id until it ends.
  Child Run(std::vector<std::string> args,
            const std::function<void(pid_t)>& while_running = nullptr) {
    std::vector<std::string> all = {
        TOLVANET_CLI_BINARY,           "--address", "127.0.0.1", "--port",
        std::to_string(server.port()), "--id",      "CLI1"};
    all.insert(all.end(), args.begin(), args.end());
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(dir.c_str()) != 0)
        _exit(127);
      const int out = open("out.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = open("err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, STDOUT_FILENO);
      dup2(err, STDERR_FILENO);
      std::vector<char*> argv;
      for (auto& a : all)
        argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    Child c;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (while_running)
        while_running(pid);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    c.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    c.out = Slurp(dir / "out.txt");
    c.err = Slurp(dir / "err.txt");
    return c;
  }
  std::size_t Requests(int code) const {
    std::size_t n = 0;
    for (const auto& r : reg->requests())
      n += r.code == code;
    return n;
  }
  std::vector<std::string> Texts(int code) const {
    std::vector<std::string> texts;
    for (const auto& r : reg->requests()) {
      if (r.code == code)
        texts.push_back(r.text);
    }
    return texts;
  }
  std::string Flash(std::size_t n) const {
    const auto flash = reg->State().flash.Bytes();
    return std::string(flash.begin(), flash.begin() + static_cast<std::ptrdiff_t>(n));
  }

  sim::Server server;
  sim::Register* reg = nullptr;
  testing::TestFolder folder{"tolvanet_cli_transfer_"};
  const fs::path& dir = folder.path;
};

std::string Pattern(std::size_t n) {
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i < n; ++i)
    bytes[i] = static_cast<char>(i * 7 + 3);
  return bytes;
}

TEST_F(TransferCliTest, FlashDumpWithJsonSummary) {
  reg->FillFlash(0, Pattern(300));
  const Child c = Run({"--json", "flash", "dump", "--start", "0", "--count", "120", "d.bin"});
  ASSERT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(Slurp(dir / "d.bin"), Pattern(120));
  EXPECT_THAT(c.out, HasSubstr("\"outcome\":\"done\",\"bytes\":120,\"blocks\":3,\"repeats\":0,"));
  EXPECT_THAT(c.err, HasSubstr("Успешно. Чтение данных завершено."));
  EXPECT_THAT(c.err, Not(HasSubstr("\r")));  // no progress bar off a terminal
}

TEST_F(TransferCliTest, FirmwareAndRestore) {
  Child c = Run({"firmware", "fw.hex"});
  ASSERT_EQ(c.status, 0) << c.err;
  const auto image = reg->FirmwareImage();
  EXPECT_EQ(Slurp(dir / "fw.hex"), std::string(image.begin(), image.end()));

  std::ofstream(dir / "r.bin", std::ios::binary) << Pattern(75);
  c = Run({"flash", "restore", "--start", "0", "--count", "75", "r.bin"});
  ASSERT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(Flash(75), Pattern(75));
}

TEST_F(TransferCliTest, EraseNeedsYes) {
  reg->FillFlash(0, Pattern(10));
  Child c = Run({"flash", "erase"});
  EXPECT_EQ(c.status, 2);
  EXPECT_THAT(c.err, HasSubstr("--yes"));
  EXPECT_EQ(Requests(cmd::kClearFlash), 0u);
  EXPECT_EQ(Flash(10), Pattern(10));

  c = Run({"flash", "erase", "--yes"});
  EXPECT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(Flash(10), std::string(10, '\xFF'));
}

TEST_F(TransferCliTest, BadNumbersSendNothing) {
  for (const char* start : {"-1", "1e3", "0x10", " 5", "99999999999"}) {
    const Child c = Run({"flash", "dump", "--start", start, "--count", "10", "d.bin"});
    EXPECT_EQ(c.status, 2) << start;
  }
  EXPECT_TRUE(reg->requests().empty());
}

TEST_F(TransferCliTest, CtrlCStopsBetweenBlocks) {
  reg->FillFlash(0, Pattern(65536));
  reg->ChangeFaults([](sim::Faults& f) { f.answer_delay_ms = 5; });
  bool sent = false;
  const Child c =
      Run({"--json", "flash", "dump", "--start", "0", "--count", "65536", "d.bin"}, [&](pid_t pid) {
        if (!sent && Requests(cmd::kReadFlash) >= 3) {
          kill(pid, SIGINT);
          sent = true;
        }
      });
  EXPECT_EQ(c.status, 1) << c.err;
  EXPECT_THAT(c.err, HasSubstr("Чтение данных остановлено пользователем."));
  EXPECT_THAT(c.err, HasSubstr("следующий адрес"));
  EXPECT_THAT(c.out, HasSubstr("\"outcome\":\"stopped\""));
  const std::string dump = Slurp(dir / "d.bin");
  EXPECT_GE(dump.size(), 100u);
  EXPECT_LT(dump.size(), 65536u);
  EXPECT_EQ(dump.size() % 50, 0u);
  EXPECT_EQ(dump, Pattern(dump.size()));
}

// A password that would shift the fields of a command (or break its frame, or has no
// Windows-1251 form) is refused before anything is sent.
TEST_F(TransferCliTest, UnfitPasswordSendsNothing) {
  std::ofstream(dir / "r.bin", std::ios::binary) << Pattern(100);
  std::ofstream(dir / "565.bmp", std::ios::binary) << testing::Masks565Bmp();
  reg->FillFlash(0, Pattern(200));
  const std::vector<std::vector<std::string>> commands = {
      {"firmware", "fw.hex"},
      {"flash", "dump", "--start", "0", "--count", "100", "d.bin"},
      {"flash", "restore", "--start", "0", "--count", "100", "r.bin"},
      {"flash", "erase", "--yes"},
      {"logo", "565.bmp"},
  };
  const std::vector<std::string> passwords = {"1;999",
                                              "40\x01"
                                              "6172",
                                              "406172\x7F", "密码"};
  for (const auto& command : commands) {
    for (const std::string& password : passwords) {
      SCOPED_TRACE(command[0] + " " + command[1] + " --password " + password);
      std::vector<std::string> args = command;
      args.insert(args.end(), {"--password", password});
      const Child c = Run(args);
      EXPECT_EQ(c.status, 2) << c.err;
      EXPECT_THAT(c.err, HasSubstr(password == "密码" ? "Windows-1251" : "Пароль"));
      EXPECT_TRUE(reg->requests().empty());
    }
  }
  EXPECT_FALSE(fs::exists(dir / "fw.hex"));
  EXPECT_FALSE(fs::exists(dir / "d.bin"));
  EXPECT_EQ(Flash(200), Pattern(200));
}

TEST_F(TransferCliTest, PasswordTravelsAsWindows1251) {
  const Child c = Run({"flash", "erase", "--yes", "--password", "пароль"});
  EXPECT_EQ(c.status, 1) << c.err;  // not one of the register's passwords
  EXPECT_EQ(Texts(cmd::kClearFlash), std::vector<std::string>{"\xEF\xE0\xF0\xEE\xEB\xFC;"});
}

// The same files as the logo window gets: refused for the same reason, or the same chunk.
TEST_F(TransferCliTest, LogoFilesReadAsInTheWindow) {
  std::ofstream(dir / "rle.bmp", std::ios::binary) << testing::RunLengthBmp();
  std::ofstream(dir / "565.bmp", std::ios::binary) << testing::Masks565Bmp();
  std::string reason;
  ASSERT_FALSE(transfer::ReadBmp((dir / "rle.bmp").string(), &reason));
  Child c = Run({"logo", "rle.bmp"});
  EXPECT_EQ(c.status, 2);
  EXPECT_THAT(c.err, HasSubstr(reason));
  EXPECT_TRUE(reg->requests().empty());

  c = Run({"logo", "565.bmp"});
  ASSERT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(Texts(cmd::kSetUserLogo),
            std::vector<std::string>{"406172;0;" + testing::Masks565Chunk() + ";"});
}

TEST_F(TransferCliTest, NarrowerLogoMayBeTaller) {
  // 192 x 200 black, 24 bits: the 4800-byte memory holds it, though 384 x 100 is the largest.
  std::ofstream(dir / "tall.bmp", std::ios::binary)
      << testing::BmpFile(192, 200, 24, 0, "", std::string(576 * 200, '\0'));
  const Child c = Run({"logo", "--width", "192", "--height", "200", "tall.bmp"});
  ASSERT_EQ(c.status, 0) << c.err;
  EXPECT_THAT(c.err, HasSubstr("наибольший логотип 384 x 100"));
  EXPECT_EQ(Texts(cmd::kSetUserLogo).size(), 200u);
  EXPECT_EQ(Texts(cmd::kSetLogoParams), std::vector<std::string>{"406172;192;200;"});
}

}  // namespace
}  // namespace tolvanet
