// The session log: a text file in which every request and answer is recorded.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace tolvanet {

class SessionLog {
 public:
  // An empty name switches logging off. The path is built from the name at the first entry
  // and kept for the rest of the run.
  void SetLogFileName(std::string name);
  const std::string& file_name() const { return name_; }
  // False when logging is off: the engine then does not even format its entries.
  bool enabled() const { return !name_.empty(); }
  // The folder a relative name is taken in when the path is built; empty for the current
  // directory.
  void SetLogDirectory(std::string directory) { directory_ = std::move(directory); }
  // The full path, once the first entry has built it.
  const std::string& path() const { return path_; }

  // Appends one entry. A non-empty body gives the two-line entry; an empty body the
  // end-of-session line. A file that cannot be opened loses the entry, nothing more.
  void LogEntry(std::string_view heading, std::string_view body);

  // Appends a two-line entry even when the body is empty (an answer that never came is not
  // the end of the session).
  void LogRecord(std::string_view heading, std::string_view body);

  // The clock used for time stamps (local time); tests replace it.
  void SetClock(std::function<std::tm()> clock) { clock_ = std::move(clock); }

  // The text of one entry as it goes into the file (Windows-1251 bytes).
  static std::string FormatEntry(const std::tm& t, std::string_view heading, std::string_view body,
                                 bool end_of_session);

 private:
  void Append(std::string_view heading, std::string_view body, bool end_of_session);

  std::string name_;
  std::string directory_;
  std::string path_;
  std::function<std::tm()> clock_;
};

}  // namespace tolvanet
