// Runs a fuzz target once on each file given, or on every file of each folder given, in name
// order. A folder that does not exist counts as empty. Used to replay kept inputs as a test
// without libFuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A heap copy of exactly the input's size, so that reads past its end are caught.
  std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(input.data(), input.size());
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg(argv[i]);
    std::vector<fs::path> files;
    if (fs::is_directory(arg)) {
      for (const auto& entry : fs::directory_iterator(arg)) {
        if (entry.is_regular_file())
          files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
    } else if (fs::exists(arg)) {
      files.push_back(arg);
    }
    for (const auto& f : files) {
      RunFile(f);
      ++count;
    }
  }
  std::printf("replayed %d inputs\n", count);
  return 0;
}
