#include "app/profile.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "link/codepage.h"

namespace tolvanet {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

struct Line {
  std::size_t begin = 0;  // first byte of the line
  std::size_t end = 0;    // one past its last byte, line end excluded
  std::size_t next = 0;   // first byte of the following line
  bool section = false;
  bool entry = false;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // entry value, trimmed
  std::size_t value_begin = 0;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i]))
      return false;
  }
  return true;
}

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<Line> SplitLines(std::string_view text, std::size_t start) {
  std::vector<Line> lines;
  std::size_t pos = start;
  while (pos < text.size()) {
    Line line;
    line.begin = pos;
    std::size_t nl = text.find('\n', pos);
    line.next = nl == std::string_view::npos ? text.size() : nl + 1;
    line.end = nl == std::string_view::npos ? text.size() : nl;
    // CR LF ends a line; a CR at the very end of the file without its LF does not.
    if (nl != std::string_view::npos && line.end > line.begin && text[line.end - 1] == '\r')
      --line.end;
    std::string_view body = text.substr(line.begin, line.end - line.begin);
    std::string_view trimmed = Trim(body);
    if (!trimmed.empty() && trimmed.front() == '[') {
      std::size_t close = trimmed.find(']');
      line.section = true;
      line.name = Trim(
          trimmed.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    } else if (!trimmed.empty() && trimmed.front() != ';') {
      std::size_t eq = body.find('=');
      if (eq != std::string_view::npos) {
        line.entry = true;
        line.name = Trim(body.substr(0, eq));
        line.value_begin = line.begin + eq + 1;
        line.value = Trim(body.substr(eq + 1));
      }
    }
    lines.push_back(line);
    pos = line.next;
  }
  return lines;
}

struct Parsed {
  std::string bytes;
  bool cp1251 = false;
  std::size_t start = 0;  // after a byte-order mark
  std::vector<Line> lines;
};

Parsed Parse(std::string bytes) {
  Parsed p;
  p.bytes = std::move(bytes);
  p.cp1251 = !IsValidUtf8(p.bytes);
  // A byte-order mark starts the text whatever the rest turns out to be: were it kept in a file
  // read as Windows-1251, a write that took out its only such bytes would make the first line
  // a section header of its own and change which section comes first.
  if (std::string_view(p.bytes).substr(0, kBom.size()) == kBom)
    p.start = kBom.size();
  p.lines = SplitLines(p.bytes, p.start);
  return p;
}

// Index of the section header line, or -1.
int FindSection(const Parsed& p, std::string_view section) {
  for (std::size_t i = 0; i < p.lines.size(); ++i) {
    if (p.lines[i].section && SameName(p.lines[i].name, section))
      return static_cast<int>(i);
  }
  return -1;
}

int FindKey(const Parsed& p, int section_line, std::string_view key) {
  for (std::size_t i = section_line + 1; i < p.lines.size() && !p.lines[i].section; ++i) {
    if (p.lines[i].entry && SameName(p.lines[i].name, key))
      return static_cast<int>(i);
  }
  return -1;
}

std::optional<std::string> Lookup(std::string_view bytes, std::string_view section,
                                  std::string_view key) {
  Parsed p = Parse(std::string(bytes));
  std::string sec(section), k(key);
  if (p.cp1251) {
    sec = ToCp1251(section);
    k = ToCp1251(key);
  }
  int s = FindSection(p, sec);
  if (s < 0)
    return std::nullopt;
  int e = FindKey(p, s, k);
  if (e < 0)
    return std::nullopt;
  std::string_view v = p.lines[e].value;
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  return p.cp1251 ? FromCp1251(v) : std::string(v);
}

// Cuts UTF-8 text to at most `count` characters.
std::string CutChars(std::string_view text, std::size_t count) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
      continue;
    if (chars == count)
      return std::string(text.substr(0, i));
    ++chars;
  }
  return std::string(text);
}

bool ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out)
      return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

int LeadingInt(std::string_view text) {
  text = Trim(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1)
      value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative)
    value = -value;
  if (value > INT_MAX)
    value = INT_MAX;
  return static_cast<int>(value);
}

std::string ProfileStringIn(std::string_view bytes, std::string_view section, std::string_view key,
                            std::string_view default_value, std::size_t size) {
  if (size == 0)
    return {};
  auto value = Lookup(bytes, section, key);
  return CutChars(value ? *value : std::string(default_value), size - 1);
}

int ProfileIntIn(std::string_view bytes, std::string_view section, std::string_view key,
                 int default_value) {
  auto value = Lookup(bytes, section, key);
  return value ? LeadingInt(*value) : default_value;
}

std::string WithProfileString(std::string_view bytes, std::string_view section,
                              std::string_view key, std::string_view value) {
  Parsed p = Parse(std::string(bytes));
  std::string sec(section), k(key), v(value);
  if (p.cp1251) {
    sec = ToCp1251(section);
    k = ToCp1251(key);
    v = ToCp1251(value);
  }
  const std::string eol =
      p.bytes.find('\n') != std::string::npos && p.bytes.find("\r\n") == std::string::npos ? "\n"
                                                                                           : "\r\n";
  std::string& b = p.bytes;
  int s = FindSection(p, sec);
  if (s < 0) {
    if (!b.empty() && b.back() != '\n')
      b += eol;
    b += "[" + sec + "]" + eol + k + "=" + v + eol;
    return std::move(b);
  }
  int e = FindKey(p, s, k);
  if (e >= 0) {
    const Line& line = p.lines[e];
    b.replace(line.value_begin, line.end - line.value_begin, v);
    return std::move(b);
  }
  // A new key goes after the section's last non-blank line.
  std::size_t last = s;
  for (std::size_t i = s + 1; i < p.lines.size() && !p.lines[i].section; ++i) {
    if (!Trim(std::string_view(b).substr(p.lines[i].begin, p.lines[i].end - p.lines[i].begin))
             .empty()) {
      last = i;
    }
  }
  const Line& after = p.lines[last];
  std::string insert = k + "=" + v + eol;
  if (after.next == after.end)
    insert = eol + insert;  // the last line had no line end
  b.insert(after.next, insert);
  return std::move(b);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, std::size_t size,
                                    const std::string& path) {
  if (size == 0)
    return {};
  return ProfileStringIn(ReadFile(path).value_or(std::string()), section, key, default_value, size);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int default_value,
                         const std::string& path) {
  return ProfileIntIn(ReadFile(path).value_or(std::string()), section, key, default_value);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
  return ReplaceFile(
      path, WithProfileString(ReadFile(path).value_or(std::string()), section, key, value));
}

}  // namespace tolvanet
