// Reading a script line by line through the 300-byte line buffer.
#include "script/script_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvanet::script {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  ScriptSource source;
  source.SetText(text);
  std::vector<std::string> lines;
  for (std::string line; source.ReadLine(line);)
    lines.push_back(line);
  return lines;
}

TEST(ScriptSourceTest, TheBufferCountsCharactersAndTheLineFeedButNotTheCr) {
  const std::string x298(298, 'x'), x299(299, 'x');
  struct LineCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  };
  const std::vector<LineCase> cases = {
      {"298 and CR LF: one line", x298 + "\r\nA\r\n", {x298 + "\r\n", "A\r\n"}},
      {"298 and LF: one line", x298 + "\nA\n", {x298 + "\n", "A\n"}},
      {"299 and CR LF: the line end comes on its own", x299 + "\r\n", {x299, "\r\n"}},
      {"299 and LF", x299 + "\n", {x299, "\n"}},
      {"300 characters: two lines", x299 + "y\n", {x299, "y\n"}},
      {"a lone CR takes a place", x298 + "\rA\n", {x298 + "\r", "A\n"}},
      {"CR LF at the very end of the buffer", x298 + "\r\n", {x298 + "\r\n"}},
      {"no line end at the end", "A\r\nB", {"A\r\n", "B"}},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Lines(c.text), c.lines);
  }
}

}  // namespace
}  // namespace tolvanet::script
