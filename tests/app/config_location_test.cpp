// Where the programs find fpinit.ini, and a configuration created where no folder was yet.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/config.h"
#include "app/profile.h"

namespace tolvanet {
namespace {

namespace fs = std::filesystem;

class ConfigLocationTest : public ::testing::Test {
 protected:
  ConfigLocationTest() {
    dir = fs::temp_directory_path() /
          ("tolvanet_config_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir / "with");
    fs::create_directories(dir / "without");
    std::ofstream(dir / "with" / "fpinit.ini") << "[LogFile]\nLog=0\n";
    fs::create_directories(dir / "folder" / "fpinit.ini");  // a folder of that name is no file
  }
  ~ConfigLocationTest() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(ConfigLocationTest, ChosenFileThenCurrentDirectoryThenXdgConfigHome) {
  struct Case {
    const char* what;
    const char* chosen;
    const char* current;  // below the test folder
    const char* xdg;
    const char* home;
    std::string expected;  // "@" stands for the test folder
  };
  const Case cases[] = {
      {"--config wins over a file here", "/etc/tv/my.ini", "with", "/x", "/h", "/etc/tv/my.ini"},
      {"--config relative to here", "sub/../my.ini", "without", "", "/h", "@/without/my.ini"},
      {"file here, XDG set", "", "with", "/x", "/h", "@/with/fpinit.ini"},
      {"file here, XDG unset", "", "with", "", "/h", "@/with/fpinit.ini"},
      {"no file here, XDG set", "", "without", "/x/cfg/", "/h", "/x/cfg/tolvanet/fpinit.ini"},
      {"no file here, XDG unset", "", "without", "", "/home/u",
       "/home/u/.config/tolvanet/fpinit.ini"},
      {"no file here, XDG relative", "", "without", "cfg", "/h", "/h/.config/tolvanet/fpinit.ini"},
      {"a folder named fpinit.ini", "", "folder", "/x", "/h", "/x/tolvanet/fpinit.ini"},
      {"no file here, no home", "", "without", "", "", "@/without/fpinit.ini"},
  };
  for (const Case& c : cases) {
    const ConfigEnvironment env{(dir / c.current).string(), c.xdg, c.home};
    std::string expected = c.expected;
    if (expected[0] == '@')
      expected = dir.string() + expected.substr(1);
    EXPECT_EQ(LocateConfig(c.chosen, env), expected) << c.what;
  }
}

TEST_F(ConfigLocationTest, CreatedWithItsFoldersAndTheLogBesideIt) {
  const std::string path =
      LocateConfig("", {(dir / "without").string(), (dir / "xdg").string(), ""});
  ASSERT_TRUE(CreateDefaultConfig(path));
  EXPECT_EQ(GetPrivateProfileString("LogFile", "LogName", "", 300, path), "tolvan.log");
  EXPECT_EQ(fs::path(SessionLogDirectory(path)), dir / "xdg" / "tolvanet");
}

}  // namespace
}  // namespace tolvanet
