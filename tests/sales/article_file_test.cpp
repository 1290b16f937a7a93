// Article files: reading them (encodings, line ends) and writing their lines to the register.
#include "sales/article_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "link/codepage.h"
#include "link/engine.h"
#include "tests/script/fake_register.h"

namespace tolvanet::sales {
namespace {

using ::testing::ElementsAre;
using tolvanet::testing::FakeAnswer;
using tolvanet::testing::FakeRegister;
using tolvanet::testing::SentCommand;

std::string DataFile(const std::string& name) {
  return (std::filesystem::path(__FILE__).parent_path() / "data" / name).string();
}

TEST(ArticleFileTest, SplitsLinesOfEitherEndAndConvertsUtf8) {
  const std::string bread = ToCp1251("Хлеб");
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"CR LF", "1;A;\r\n2;B;\r\n", {"1;A;", "2;B;"}},
      {"LF, last line open", "1;A;\n2;B;", {"1;A;", "2;B;"}},
      {"empty line kept in place", "1;A;\n\n2;B;\n", {"1;A;", "", "2;B;"}},
      {"Windows-1251 unchanged", bread + ";\r\n", {bread + ";"}},
      {"UTF-8 converted", "Хлеб;\n", {bread + ";"}},
      {"empty file", "", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SplitArticleText(c.bytes), c.lines) << c.name;
}

TEST(ArticleFileTest, LoadsAWindows1251FileWithCrLf) {
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(LoadArticleFile(DataFile("cp1251_crlf.art"), lines, error)) << error;
  EXPECT_THAT(lines, ElementsAre(ToCp1251("123;Хлеб белый;4.50;1;2;"),
                                 ToCp1251("456;Молоко 2,5%;12.00;0;1;"), "",
                                 ToCp1251("789;Сок;30.25;1;2;")));
  EXPECT_FALSE(LoadArticleFile(DataFile("missing.art"), lines, error));
  EXPECT_THAT(error, ::testing::HasSubstr("missing.art"));
}

class RecordingHost : public ArticleHost {
 public:
  void Progress(int done, int total) override { progress.emplace_back(done, total); }
  void Notice(const std::string& text) override { notices.push_back(text); }
  bool StopRequested() override { return stop_after >= 0 && int(progress.size()) > stop_after; }

  std::vector<std::pair<int, int>> progress;
  std::vector<std::string> notices;
  int stop_after = -1;
};

class ArticleWriteTest : public ::testing::Test {
 protected:
  void SetUp() override { TheEngine().SetTransport(&reg); }
  void TearDown() override { TheEngine().SetTransport(nullptr); }
  FakeRegister reg;
  RecordingHost host;
};

TEST_F(ArticleWriteTest, WritesEveryLineAndSkipsEmptyAndTooLongOnes) {
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(LoadArticleFile(DataFile("long_line.art"), lines, error));
  lines.insert(lines.begin() + 1, "   ");
  const ArticleWriteRun run = WriteArticles("406172", lines, host);
  EXPECT_TRUE(run.error.empty());
  EXPECT_THAT(reg.sent, ElementsAre(SentCommand{36, "406172;" + ToCp1251("1;Чай;10.00;0;1;")},
                                    SentCommand{36, "406172;" + ToCp1251("3;Кофе;20.00;0;1;")}));
  EXPECT_EQ(run.result.sent, 2);
  EXPECT_THAT(run.result.too_long, ElementsAre(3));
  EXPECT_EQ(SkippedLinesMessage(run.result),
            "Строки слишком длинные для команды и не записаны: 3.");
  EXPECT_EQ(host.progress.back(), std::make_pair(4, 4));
}

TEST_F(ArticleWriteTest, ATimeOutOrAnErrorCodeDoesNotStopTheWriting) {
  reg.answers[36] = FakeAnswer{"0A05", ""};
  WriteArticles("406172", {"1;A;1.00;0;1;", "2;B;1.00;0;1;"}, host);
  reg.answers[36] = FakeAnswer{"0000", "", true};
  const ArticleWriteRun run = WriteArticles("406172", {"1;A;1.00;0;1;", "2;B;1.00;0;1;"}, host);
  EXPECT_EQ(reg.sent.size(), 4u);
  EXPECT_EQ(run.result.timeouts, 2);
  EXPECT_THAT(host.notices,
              ElementsAre(std::string(kArticleTimeoutNotice), std::string(kArticleTimeoutNotice)));
}

TEST_F(ArticleWriteTest, RefusedInputsAndStopSendNothingMore) {
  EXPECT_FALSE(WriteArticles("40;6172", {"1;A;1.00;0;1;"}, host).error.empty());
  EXPECT_THAT(WriteArticles("406172", {"1;A\t;1.00;0;1;"}, host).result.bad_bytes, ElementsAre(1));
  EXPECT_TRUE(reg.sent.empty());

  host.progress.clear();
  host.stop_after = 1;  // stop once one line is reported done
  const ArticleWriteRun run = WriteArticles("406172", {"1;A;", "2;B;", "3;C;"}, host);
  EXPECT_TRUE(run.result.stopped);
  EXPECT_EQ(reg.sent.size(), 1u);
}

}  // namespace
}  // namespace tolvanet::sales
