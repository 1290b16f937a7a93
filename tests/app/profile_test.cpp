#include "app/profile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/config.h"

namespace tolvanet {
namespace {

namespace fs = std::filesystem;

std::string DataFile(const std::string& name) {
  return (fs::path(__FILE__).parent_path() / "data" / name).string();
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class ProfileFileTest : public ::testing::Test {
 protected:
  ProfileFileTest() {
    dir = fs::temp_directory_path() /
          ("tolvanet_profile_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
  }
  ~ProfileFileTest() override { fs::remove_all(dir); }
  std::string Copy(const std::string& name) {
    fs::path to = dir / name;
    fs::copy_file(DataFile(name), to, fs::copy_options::overwrite_existing);
    return to.string();
  }
  fs::path dir;
};

struct TextCase {
  const char* file;
  const char* section;
  const char* key;
  const char* fallback;
  std::size_t size;
  std::string expected;
};

TEST(ProfileTest, ReadsTextsTheWayTheWindowsProgramWroteThem) {
  const TextCase cases[] = {
      {"windows.ini", "Communication", "Address", "", 30, "relay-1.example-fiscal-networ"},
      {"windows.ini", "Communication", "Address", "", 300, "relay-1.example-fiscal-network.ua"},
      {"windows.ini", "COMMUNICATION", "iddev", "", 10, "ab12"},
      {"windows.ini", "LogFile", "Log", "", 10, "1"},              // blanks around key and value
      {"windows.ini", "Priority", "ElJournal", "", 20, "Журнал"},  // Windows-1251 value
      {"windows.ini", "Priority", "Level", "", 3, "me"},
      {"windows.ini", "Files", "File1", "", 500, "C:\\Скрипты\\test.txt"},  // quotes dropped
      {"windows.ini", "Files", "File2", "", 500, std::string(499, 'x')},
      {"windows.ini", "Files", "File3", "", 500, ""},
      {"windows.ini", "LogFile", "LogName", "Tolvan.log", 300, "Tolvan.log"},
      {"windows.ini", "Nowhere", "Level", "medium", 20, "medium"},
      {"windows.ini", "Priority", "Level", "whatever", 0, ""},
      {"windows.ini", "Nowhere", "Level", "a long default", 5, "a lo"},
      {"utf8.ini", "Communication", "Address", "", 30, "10.0.0.7"},
      {"utf8.ini", "Priority", "ElJournal", "", 20, "Журнал"},
      {"utf8.ini", "Priority", "ElJournal", "", 4, "Жур"},  // cut by characters
      {"missing.ini", "Communication", "Address", "none", 30, "none"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetPrivateProfileString(c.section, c.key, c.fallback, c.size, DataFile(c.file)),
              c.expected)
        << c.file << " [" << c.section << "] " << c.key << " size " << c.size;
    // The same file's bytes held in memory (a missing file: no bytes) read the same.
    EXPECT_EQ(ProfileStringIn(Slurp(DataFile(c.file)), c.section, c.key, c.fallback, c.size),
              c.expected)
        << "in memory: " << c.file << " [" << c.section << "] " << c.key << " size " << c.size;
  }
}

// A file that starts with a byte-order mark and holds a Windows-1251 byte further on: the mark is
// skipped all the same, before and after a write that takes that byte out.
TEST(ProfileTest, ByteOrderMarkIsSkippedInEitherEncoding) {
  const std::string file = "\xEF\xBB\xBF[Main]\r\nPort=1\r\n[Other]\r\nKey=\xC0\r\n";
  EXPECT_EQ(ProfileStringIn(file, "Main", "Port", "none", 10), "1");
  EXPECT_EQ(ProfileStringIn(file, "Other", "Key", "none", 10), "А");
  const std::string after = WithProfileString(file, "Other", "Key", "2");
  EXPECT_EQ(ProfileStringIn(after, "Other", "Key", "none", 10), "2");
  EXPECT_EQ(ProfileStringIn(after, "Main", "Port", "none", 10), "1");
}

TEST(ProfileTest, IntegersAreTheLeadingNumber) {
  const std::string file = DataFile("windows.ini");
  EXPECT_EQ(GetPrivateProfileInt("LogFile", "Log", 7, file), 1);
  EXPECT_EQ(GetPrivateProfileInt("Fiscal Printer", "ExtendedTax", 7, file), -12);
  EXPECT_EQ(GetPrivateProfileInt("Priority", "Level", 7, file), 0);  // present, not a number
  EXPECT_EQ(GetPrivateProfileInt("Priority", "Missing", 7, file), 7);
  EXPECT_EQ(ProfileIntIn(Slurp(file), "Fiscal Printer", "ExtendedTax", 7), -12);
  EXPECT_EQ(ProfileIntIn("", "Fiscal Printer", "ExtendedTax", 7), 7);
  EXPECT_EQ(LeadingInt("1x"), 1);
  EXPECT_EQ(LeadingInt(" 42 "), 42);
  EXPECT_EQ(LeadingInt("x1"), 0);
  EXPECT_EQ(LeadingInt("99999999999999999999"), INT_MAX);
  EXPECT_EQ(LeadingInt("-99999999999999999999"), INT_MIN);
}

TEST_F(ProfileFileTest, WritingAKeyKeepsTheRestOfTheFile) {
  const std::string path = Copy("windows.ini");
  const std::string before = Slurp(path);

  ASSERT_TRUE(WritePrivateProfileString("communication", "ADDRESS", "10.1.1.1", path));
  std::string expected = before;
  const std::string old_line = "Address=relay-1.example-fiscal-network.ua";
  expected.replace(expected.find(old_line), old_line.size(), "Address=10.1.1.1");
  EXPECT_EQ(Slurp(path), expected);

  // A new key goes after the section's last line, with the file's CR LF.
  ASSERT_TRUE(WritePrivateProfileString("LogFile", "LogName", "a.log", path));
  expected.insert(expected.find("  log = 1 \r\n") + 12, "LogName=a.log\r\n");
  EXPECT_EQ(Slurp(path), expected);

  // A Windows-1251 file keeps its character set.
  ASSERT_TRUE(WritePrivateProfileString("Priority", "ElJournal", "Чек", path));
  expected.replace(expected.find("ElJournal=") + 10, 6, "\xd7\xe5\xea");
  EXPECT_EQ(Slurp(path), expected);
  EXPECT_EQ(GetPrivateProfileString("Priority", "ElJournal", "", 20, path), "Чек");

  // A new section goes at the end.
  ASSERT_TRUE(WritePrivateProfileString("New Section", "Key", "", path));
  EXPECT_EQ(Slurp(path), expected + "[New Section]\r\nKey=\r\n");
}

TEST_F(ProfileFileTest, WritingIntoAUtf8FileWithoutFinalLineEnd) {
  const std::string path = (dir / "lf.ini").string();
  std::ofstream(path, std::ios::binary) << "[Priority]\nLevel=high";
  ASSERT_TRUE(WritePrivateProfileString("Priority", "ElJournal", "Журнал", path));
  EXPECT_EQ(Slurp(path), "[Priority]\nLevel=high\nElJournal=Журнал\n");
}

TEST_F(ProfileFileTest, ALastLineEndingInALoneCarriageReturnKeepsItsValue) {
  const std::string path = (dir / "cr.ini").string();
  std::ofstream(path, std::ios::binary) << "[Priority]\r\nLevel=high\r";
  ASSERT_TRUE(WritePrivateProfileString("Priority", "ElJournal", "x", path));
  EXPECT_EQ(GetPrivateProfileString("Priority", "Level", "", 20, path), "high");
  EXPECT_EQ(GetPrivateProfileString("Priority", "ElJournal", "", 20, path), "x");
}

TEST_F(ProfileFileTest, WritingCreatesAMissingFile) {
  const std::string path = (dir / "new.ini").string();
  ASSERT_TRUE(WritePrivateProfileString("Communication", "Address", "host", path));
  EXPECT_EQ(Slurp(path), "[Communication]\r\nAddress=host\r\n");
  EXPECT_EQ(WithProfileString("", "Communication", "Address", "host"), Slurp(path));
  EXPECT_FALSE(WritePrivateProfileString("A", "B", "C", (dir / "no" / "such.ini").string()));
}

TEST_F(ProfileFileTest, CreatedConfigurationHasExactlyItsDefaultKeys) {
  const std::string path = ConfigPath(dir.string());
  EXPECT_EQ(path, (dir / "fpinit.ini").string());
  ASSERT_TRUE(CreateDefaultConfig(path));
  EXPECT_EQ(Slurp(path),
            "[CountryMode]\r\nCountry code=0\r\n[Fiscal Printer]\r\nExtendedTax=1\r\n"
            "[LogFile]\r\nLog=0\r\nLogName=tolvan.log\r\n");
  const ConnectionSettings c = LoadConnectionSettings(path);
  EXPECT_EQ(c.LogFileName(), "");  // logging stays off
  EXPECT_EQ(c.level, "medium");
  EXPECT_EQ(CountryCode(path), 0);
}

TEST_F(ProfileFileTest, StartupAndConnectionSettings) {
  const std::string path = Copy("windows.ini");
  StartupSettings s = LoadStartupSettings(path);
  EXPECT_EQ(s.address, "relay-1.example-fiscal-networ");
  EXPECT_EQ(s.id_dev, "AB12");
  EXPECT_EQ(s.use_id_def, 1);
  EXPECT_EQ(s.IdDevField(), "AB12");

  ConnectionSettings c = LoadConnectionSettings(path);
  EXPECT_EQ(c.LogFileName(), "Tolvan.log");  // Log 1 without LogName
  EXPECT_EQ(c.el_journal, "Журнал");
  EXPECT_FALSE(c.HighLevel());

  ASSERT_TRUE(SaveConnectionSettings(path, "", "CD34"));
  WritePrivateProfileString("Communication", "UseIDdef", "0", path);
  s = LoadStartupSettings(path);
  EXPECT_EQ(s.address, "");
  EXPECT_EQ(s.id_dev, "CD34");
  EXPECT_EQ(s.IdDevField(), "");
}

TEST_F(ProfileFileTest, FiscalParameterDialogChoice) {
  struct Choice {
    const char* extended_tax;  // nullptr: key missing
    const char* level;
    FiscalParameterDialog dialog;
  };
  const Choice choices[] = {
      {"0", "medium", FiscalParameterDialog::kStandard},
      {nullptr, "medium", FiscalParameterDialog::kStandard},
      {"1", "medium", FiscalParameterDialog::kExtended},
      {"2", "medium", FiscalParameterDialog::kIniError},
      {"2", "high", FiscalParameterDialog::kExtended},
      {"0", "HIGH", FiscalParameterDialog::kStandard},  // "high" is compared exactly
  };
  const std::string path = (dir / "fpinit.ini").string();
  for (const auto& c : choices) {
    fs::remove(path);
    if (c.extended_tax)
      WritePrivateProfileString("Fiscal Printer", "ExtendedTax", c.extended_tax, path);
    WritePrivateProfileString("Priority", "Level", c.level, path);
    EXPECT_EQ(ChooseFiscalParameterDialog(path), c.dialog)
        << (c.extended_tax ? c.extended_tax : "-") << " " << c.level;
  }
}

}  // namespace
}  // namespace tolvanet
