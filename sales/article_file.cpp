#include "sales/article_file.h"

#include <fstream>
#include <sstream>

#include "app/app_state.h"
#include "link/commands.h"
#include "link/engine.h"
#include "link/frame.h"
#include "link/free_text.h"
#include "link/translate.h"
#include "script/script_source.h"

namespace tolvanet::sales {

namespace {

bool IsBlank(std::string_view line) {
  for (char c : line) {
    if (c != ' ' && c != '\t')
      return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitArticleText(std::string_view bytes) {
  // The same encoding rule as script files: Windows-1251, or valid UTF-8 converted.
  script::ScriptSource source;
  source.SetText(bytes);
  return TextLines(source.text());
}

bool LoadArticleFile(const std::string& path, std::vector<std::string>& lines, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = TrArgs(Tr("Не удалось открыть файл %1"), {path});
    return false;
  }
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) {
    error = TrArgs(Tr("Ошибка чтения файла %1"), {path});
    return false;
  }
  lines = SplitArticleText(ss.str());
  return true;
}

ArticleWriteRun WriteArticles(std::string_view password, const std::vector<std::string>& lines,
                              ArticleHost& host) {
  ArticleWriteRun run;
  run.error = CheckFreeText(password, Tr("Пароль"));
  if (!run.error.empty())
    return run;
  ArticleWriteResult& r = run.result;
  const int total = static_cast<int>(lines.size());
  host.Progress(0, total);
  for (int i = 0; i < total; ++i) {
    if (host.StopRequested()) {
      r.stopped = true;
      break;
    }
    const std::string& line = lines[static_cast<std::size_t>(i)];
    const std::string text = std::string(password) + ";" + line;
    if (IsBlank(line)) {
      // An empty line is no article: nothing to send.
    } else if (!IsFieldsText(line)) {
      r.bad_bytes.push_back(i + 1);
      host.Notice(
          TrArgs(Tr("Строка %1 содержит управляющий символ, пропущена"), {std::to_string(i + 1)}));
    } else if (text.size() > kMaxCommandText) {
      r.too_long.push_back(i + 1);
      host.Notice(TrArgs(Tr("Строка %1 слишком длинная, пропущена"), {std::to_string(i + 1)}));
    } else {
      ReplyRecord& reply = ExecuteCommand(cmd::kAddArticul, text);
      TheAppState().current_reply = &reply;
      ++r.sent;
      if (reply.NoAnswer()) {
        ++r.timeouts;
        host.Notice(TrText(kArticleTimeoutNotice));
      } else if (reply.error_code != "0000") {
        ++r.rejected;
      }
    }
    host.Progress(i + 1, total);
  }
  return run;
}

std::string SkippedLinesMessage(const ArticleWriteResult& result) {
  auto list = [](const std::vector<int>& numbers) {
    std::string s;
    for (int n : numbers)
      s += (s.empty() ? "" : ", ") + std::to_string(n);
    return s;
  };
  std::string message;
  if (!result.too_long.empty()) {
    message += TrArgs(Tr("Строки слишком длинные для команды и не записаны: %1."),
                      {list(result.too_long)});
  }
  if (!result.bad_bytes.empty()) {
    if (!message.empty())
      message += "\n";
    message +=
        TrArgs(Tr("Строки с управляющими символами не записаны: %1."), {list(result.bad_bytes)});
  }
  return message;
}

}  // namespace tolvanet::sales
