#include "script/recent_files.h"

#include "app/profile.h"

namespace tolvanet::script {

namespace {
std::string Key(int i) {
  return "File" + std::to_string(i + 1);
}
}  // namespace

std::array<std::string, kRecentFiles> LoadRecentFiles(const std::string& config_path) {
  std::array<std::string, kRecentFiles> files;
  for (int i = 0; i < kRecentFiles; ++i) {
    files[i] = GetPrivateProfileString("Files", Key(i), "", 500, config_path);
  }
  return files;
}

RecentList ShownRecentFiles(const std::string& config_path) {
  RecentList list;
  for (const auto& f : LoadRecentFiles(config_path)) {
    if (!f.empty())
      list.shown.push_back(f);
  }
  return list;
}

RecentList RememberRecentFile(const std::string& config_path, const std::string& name) {
  const auto former = LoadRecentFiles(config_path);
  for (const auto& f : former) {
    if (f == name) {
      RecentList list = ShownRecentFiles(config_path);
      for (std::size_t i = 0; i < list.shown.size(); ++i) {
        if (list.shown[i] == name)
          list.selected = static_cast<int>(i);
      }
      return list;
    }
  }
  RecentList list;
  list.shown.push_back(name);
  list.selected = 0;
  WritePrivateProfileString("Files", Key(0), name, config_path);
  for (int i = 1; i < kRecentFiles; ++i) {
    WritePrivateProfileString("Files", Key(i), former[i - 1], config_path);
    if (!former[i - 1].empty())
      list.shown.push_back(former[i - 1]);
  }
  return list;
}

}  // namespace tolvanet::script
