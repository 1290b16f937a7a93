// Running the built programs as their tests do: in a folder of the test's own, with that folder's
// xdg/ as XDG_CONFIG_HOME so that the user's configuration stays out, the output caught in
// out.txt and err.txt there.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tolvanet::testing {

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// `s` as one word of the shell.
inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s)
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// A fresh folder in the temporary directory, named after the running test; removed with it.
struct TestFolder {
  explicit TestFolder(const std::string& prefix)
      : path(std::filesystem::temp_directory_path() /
             (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TestFolder() { std::filesystem::remove_all(path); }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path path;
};

struct ProgramRun {
  int status = -1;  // the exit status; -1 when the program did not exit
  std::string out;
  std::string err;
  std::vector<std::string> OutLines() const {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    return lines;
  }
};

// Runs `program` with `args` in `dir`, with `env` (VAR=value words, or nothing) in front.
inline ProgramRun RunProgram(const std::filesystem::path& dir, const std::string& program,
                             const std::vector<std::string>& args, const std::string& env = "") {
  std::string command = "cd " + ShellQuote(dir.string()) +
                        " && env XDG_CONFIG_HOME=" + ShellQuote((dir / "xdg").string()) + " " +
                        env + " " + ShellQuote(program);
  for (const auto& a : args)
    command += " " + ShellQuote(a);
  command += " > out.txt 2> err.txt";
  ProgramRun r;
  const int rc = std::system(command.c_str());
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.out = Slurp(dir / "out.txt");
  r.err = Slurp(dir / "err.txt");
  return r;
}

}  // namespace tolvanet::testing
