#include "script/recent_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/profile.h"

namespace tolvanet::script {
namespace {

using ::testing::ElementsAre;

class RecentFilesTest : public ::testing::Test {
 protected:
  RecentFilesTest()
      : path((std::filesystem::temp_directory_path() / "tolvanet_recent_files.ini").string()) {
    std::filesystem::remove(path);
  }
  ~RecentFilesTest() override { std::filesystem::remove(path); }
  std::string path;
};

TEST_F(RecentFilesTest, NewNamesGoFirstAndKnownNamesAreSelectedInPlace) {
  WritePrivateProfileString("Files", "File1", "/s/a.txt", path);
  WritePrivateProfileString("Files", "File3", "/s/c.txt", path);

  RecentList list = RememberRecentFile(path, "/s/new.txt");
  EXPECT_THAT(list.shown, ElementsAre("/s/new.txt", "/s/a.txt", "/s/c.txt"));
  EXPECT_EQ(list.selected, 0);
  EXPECT_THAT(LoadRecentFiles(path), ElementsAre("/s/new.txt", "/s/a.txt", "", "/s/c.txt", ""));

  list = RememberRecentFile(path, "/s/c.txt");  // known: selected, not reordered
  EXPECT_THAT(list.shown, ElementsAre("/s/new.txt", "/s/a.txt", "/s/c.txt"));
  EXPECT_EQ(list.selected, 2);
  EXPECT_THAT(LoadRecentFiles(path), ElementsAre("/s/new.txt", "/s/a.txt", "", "/s/c.txt", ""));

  for (const char* name : {"/1", "/2", "/3"})
    RememberRecentFile(path, name);
  EXPECT_THAT(LoadRecentFiles(path), ElementsAre("/3", "/2", "/1", "/s/new.txt", "/s/a.txt"));
  EXPECT_EQ(ShownRecentFiles(path).shown.size(), 5u);
}

}  // namespace
}  // namespace tolvanet::script
