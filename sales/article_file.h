// Article files and writing an article list into the register's article base.
//
// An article file is plain text, one article per line, each line already in the field layout
// of AddArticul (code;name;price;tax group;department;). The register keeps Windows-1251 text;
// a file saved as UTF-8 on this system is converted the way script files are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/translate.h"

namespace tolvanet::sales {

// The status bar notice of a time-out while writing (with its trailing blank).
inline constexpr std::string_view kArticleTimeoutNotice = TrNoop("Ошибка! Таймаут устройства! ");
inline constexpr std::string_view kArticlesDone = TrNoop("Завершено");

// Splits the bytes of an article file into its lines (Windows-1251): LF or CR LF ends a line,
// a last line without a line end counts, a line end at the very end adds no empty line.
std::vector<std::string> SplitArticleText(std::string_view bytes);

// Reads an article file. False (with `error` set, UTF-8) when it cannot be read.
bool LoadArticleFile(const std::string& path, std::vector<std::string>& lines, std::string& error);

// What the writing loop needs from the window or the terminal tool that runs it.
class ArticleHost {
 public:
  virtual ~ArticleHost() = default;
  // `done` of `total` lines handled; the host repaints here and lets stop buttons work.
  virtual void Progress(int done, int total) = 0;
  // A notice for the status bar (UTF-8).
  virtual void Notice(const std::string& text) = 0;
  // True when the operator asked to stop; the loop ends before the next line.
  virtual bool StopRequested() { return false; }
};

struct ArticleWriteResult {
  int sent = 0;                // lines that went to the register
  int rejected = 0;            // sent lines the register answered with an error code
  int timeouts = 0;            // sent lines without an answer
  std::vector<int> too_long;   // line numbers (from 1) not sent: the command would not fit
  std::vector<int> bad_bytes;  // line numbers (from 1) not sent: control bytes in the line
  bool stopped = false;
};

// Writes every non-empty line with AddArticul ("password;line"), in order, each reply becoming
// the current reply. Neither a time-out nor an error code stops the writing. Empty (or blank)
// lines are skipped. A line that cannot go out as a command is skipped and reported by its line
// number. The password is checked first: with ";" or control bytes nothing is sent and the
// result's `error` explains.
struct ArticleWriteRun {
  ArticleWriteResult result;
  std::string error;  // the input refused before anything was sent (UTF-8)
};
ArticleWriteRun WriteArticles(std::string_view password, const std::vector<std::string>& lines,
                              ArticleHost& host);

// The message about lines that were not sent (UTF-8), empty when every line could go out.
std::string SkippedLinesMessage(const ArticleWriteResult& result);

}  // namespace tolvanet::sales
