// A multi-line box split into the lines that go into commands, one line per command.
#include "link/free_text.h"

#include <gtest/gtest.h>

namespace tolvanet {
namespace {

TEST(TextLines, AFinalLineEndMakesNoLine) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\n\n", {"a", ""}},
      {"\n", {""}},
      {"a\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"\na", {"", "a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextLines(c.text), c.lines);
  }
}

}  // namespace
}  // namespace tolvanet
