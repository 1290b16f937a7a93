#include "link/session_log.h"

#include <cstdio>
#include <filesystem>

#include "link/codepage.h"

namespace tolvanet {

namespace {

std::tm LocalNow() {
  std::time_t t = std::time(nullptr);
  std::tm out{};
  localtime_r(&t, &out);
  return out;
}

}  // namespace

void SessionLog::SetLogFileName(std::string name) {
  name_ = std::move(name);
}

std::string SessionLog::FormatEntry(const std::tm& t, std::string_view heading,
                                    std::string_view body, bool end_of_session) {
  char line[400];
  if (end_of_session) {
    static const std::string end_of_session = ToCp1251("Конец Сеанса");
    std::snprintf(line, sizeof line, ";%s   %2d-%02d-%4d %2d:%02d:%02d \n", end_of_session.c_str(),
                  t.tm_mday, t.tm_mon + 1, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return line;
  }
  std::snprintf(line, sizeof line, ";%2d-%02d-%4d %2d:%02d:%02d  ", t.tm_mday, t.tm_mon + 1,
                t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
  std::string out = line;
  out += heading;
  out += '\n';
  out += body;
  out += '\n';
  return out;
}

void SessionLog::LogEntry(std::string_view heading, std::string_view body) {
  Append(heading, body, body.empty());
}

void SessionLog::LogRecord(std::string_view heading, std::string_view body) {
  Append(heading, body, false);
}

void SessionLog::Append(std::string_view heading, std::string_view body, bool end_of_session) {
  if (name_.empty())
    return;
  if (path_.empty()) {
    std::filesystem::path p(name_);
    if (p.is_relative()) {
      std::error_code ec;
      p = (directory_.empty() ? std::filesystem::current_path(ec)
                              : std::filesystem::path(directory_)) /
          p;
    }
    path_ = p.string();
  }
  const std::string entry =
      FormatEntry(clock_ ? clock_() : LocalNow(), heading, body, end_of_session);
  std::FILE* f = std::fopen(path_.c_str(), "ab");
  if (f == nullptr)
    return;  // the entry is lost; the exchange goes on
  std::fwrite(entry.data(), 1, entry.size(), f);
  std::fclose(f);
}

}  // namespace tolvanet
