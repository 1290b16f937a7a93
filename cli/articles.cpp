// articles: writes an article file into the register's article base, line by line.
#include <csignal>
#include <iostream>

#include "cli/cli.h"
#include "sales/article_file.h"

namespace tolvanet::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
  g_interrupted = 1;
}

// The terminal as the article window: progress and notices on standard error, Ctrl+C stops.
class TerminalArticleHost : public sales::ArticleHost {
 public:
  void Progress(int done, int total) override {
    std::cerr << "\r" << done << "/" << total << std::flush;
    if (done == total)
      std::cerr << "\n";
  }
  void Notice(const std::string& text) override { std::cerr << "\n" << text << "\n"; }
  bool StopRequested() override { return g_interrupted != 0; }
};

}  // namespace

int RunArticles(GlobalOptions& options, const std::string& file,
                const std::string& password_option) {
  const std::optional<std::string> password = PasswordOption("articles", password_option);
  if (!password)
    return kExitUsage;
  std::vector<std::string> lines;
  std::string error;
  if (!sales::LoadArticleFile(file, lines, error)) {
    std::cerr << error << "\n";
    return kExitUsage;
  }
  Session session;
  if (int rc = session.Open(options); rc != kExitOk)
    return rc;

  TerminalArticleHost host;
  g_interrupted = 0;
  auto previous = std::signal(SIGINT, OnInterrupt);
  const sales::ArticleWriteRun run = sales::WriteArticles(*password, lines, host);
  std::signal(SIGINT, previous);
  if (!run.error.empty()) {
    std::cerr << run.error << "\n";
    return kExitUsage;
  }
  const sales::ArticleWriteResult& r = run.result;
  if (const std::string skipped = sales::SkippedLinesMessage(r); !skipped.empty())
    std::cerr << skipped << "\n";
  if (r.stopped)
    std::cerr << "Запись остановлена.\n";
  std::cout << "sent " << r.sent << ", refused " << r.rejected << ", timeouts " << r.timeouts
            << ", skipped " << r.too_long.size() + r.bad_bytes.size() << "\n";
  const bool all_written =
      !r.stopped && r.rejected == 0 && r.timeouts == 0 && r.too_long.empty() && r.bad_bytes.empty();
  return all_written ? kExitOk : kExitFailed;
}

}  // namespace tolvanet::cli
