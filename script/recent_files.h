// The script runner's list of recent files, kept in the configuration file.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tolvanet::script {

inline constexpr int kRecentFiles = 5;

// Section "Files", keys "File1".."File5", each read with room for 499 characters.
std::array<std::string, kRecentFiles> LoadRecentFiles(const std::string& config_path);

// What the drop-down list shows: the non-empty entries in order, and the one selected.
struct RecentList {
  std::vector<std::string> shown;
  int selected = -1;
};

// The non-empty remembered names, most recent first, nothing selected.
RecentList ShownRecentFiles(const std::string& config_path);

// A newly chosen file. A name already in the list (exact comparison) is selected where it
// is, and the list is not reordered. Otherwise it becomes File1, the former first four move
// down one place (empty ones written as empty), and it is selected.
RecentList RememberRecentFile(const std::string& config_path, const std::string& name);

}  // namespace tolvanet::script
