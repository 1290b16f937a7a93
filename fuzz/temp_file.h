// A file of this process's own in the temporary folder, rewritten for every input, for code
// under test that reads its input from a path.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tolvanet::fuzz {

inline const std::string& TempPath(std::string_view name) {
  static const std::string path =
      (std::filesystem::temp_directory_path() /
       ("tolvanet-fuzz-" + std::to_string(::getpid()) + "-" + std::string(name)))
          .string();
  return path;
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tolvanet::fuzz
