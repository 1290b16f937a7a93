// A file of this process's own in the temporary folder, rewritten for every input, for code
// under test that reads its input from a path.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tolvanet::fuzz {

// The program's one file, removed again when the program ends.
inline const std::string& TempPath() {
  struct Owned {
    std::string path;
    ~Owned() {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  };
  static const Owned file{
      (std::filesystem::temp_directory_path() / ("tolvanet-fuzz-" + std::to_string(::getpid())))
          .string()};
  return file.path;
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tolvanet::fuzz
