// The article file reader on arbitrary files, and the writing of its lines into a register that
// answers every command (tests/script/fake_register.h). The lines split off are exactly the
// text's lines; every non-empty line is either sent as "password;line", within the command's
// size and free of control bytes, or reported by its number, and nothing else is sent.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "link/commands.h"
#include "link/engine.h"
#include "link/frame.h"
#include "sales/article_file.h"
#include "script/script_source.h"
#include "tests/script/fake_register.h"

namespace {

using namespace tolvanet;

class QuietHost : public sales::ArticleHost {
 public:
  int last_done = -1;
  void Progress(int done, int total) override {
    FUZZ_CHECK(done == last_done + 1 || (done == 0 && last_done == -1));
    FUZZ_CHECK(done <= total);
    last_done = done;
  }
  void Notice(const std::string&) override {}
};

bool Blank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

bool HasControlByte(std::string_view line) {
  return std::any_of(line.begin(), line.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = sales::SplitArticleText(bytes);

  // The text as the register gets it (the script files' encoding rule), cut at its line ends.
  script::ScriptSource source;
  source.SetText(bytes);
  std::string_view text = source.text();
  for (const std::string& line : lines) {
    FUZZ_CHECK(line.find('\n') == std::string::npos);
    FUZZ_CHECK(text.substr(0, line.size()) == line);
    text.remove_prefix(line.size());
    if (text.substr(0, 2) == "\r\n") {
      text.remove_prefix(2);
    } else if (text == "\r") {
      text = {};  // a CR that ends the file goes with its last line
    } else if (!text.empty()) {
      FUZZ_CHECK(text.front() == '\n');
      text.remove_prefix(1);
    }
  }
  FUZZ_CHECK(text.empty());

  // The writing loop does the same for every line: the first lines show all it does, and an
  // input of thousands of lines costs no more than one of a few dozen.
  constexpr std::size_t kWrittenLines = 64;
  const std::vector<std::string> written(
      lines.begin(),
      lines.begin() + static_cast<std::ptrdiff_t>(std::min(lines.size(), kWrittenLines)));

  testing::FakeRegister device;
  Engine& engine = TheEngine();
  engine.SetTransport(&device);
  QuietHost host;
  const sales::ArticleWriteRun run = sales::WriteArticles("406172", written, host);
  engine.SetTransport(nullptr);
  FUZZ_CHECK(run.error.empty());
  const sales::ArticleWriteResult& r = run.result;
  FUZZ_CHECK(host.last_done == static_cast<int>(written.size()));
  FUZZ_CHECK(r.sent == static_cast<int>(device.sent.size()));
  FUZZ_CHECK(r.rejected == 0 && r.timeouts == 0 && !r.stopped);

  std::size_t next_sent = 0, next_long = 0, next_bad = 0;
  for (std::size_t i = 0; i < written.size(); ++i) {
    const std::string& line = written[i];
    const int number = static_cast<int>(i + 1);
    if (Blank(line))
      continue;
    if (next_bad < r.bad_bytes.size() && r.bad_bytes[next_bad] == number) {
      FUZZ_CHECK(HasControlByte(line));
      ++next_bad;
    } else if (next_long < r.too_long.size() && r.too_long[next_long] == number) {
      FUZZ_CHECK(line.size() + 7 > kMaxCommandText);
      ++next_long;
    } else {
      FUZZ_CHECK(next_sent < device.sent.size());
      const testing::SentCommand& sent = device.sent[next_sent++];
      FUZZ_CHECK(sent.code == cmd::kAddArticul);
      FUZZ_CHECK(sent.text == "406172;" + line);
      FUZZ_CHECK(sent.text.size() <= kMaxCommandText && !HasControlByte(sent.text));
    }
  }
  FUZZ_CHECK(next_sent == device.sent.size());
  FUZZ_CHECK(next_long == r.too_long.size() && next_bad == r.bad_bytes.size());
  FUZZ_CHECK(sales::SkippedLinesMessage(r).empty() == (r.too_long.empty() && r.bad_bytes.empty()));
  return 0;
}
