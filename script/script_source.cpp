#include "script/script_source.h"

#include <fstream>
#include <sstream>

#include "link/codepage.h"

namespace tolvanet::script {

namespace {
constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsLowOrBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
}  // namespace

bool ScriptSource::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad())
    return false;
  SetText(ss.str());
  return true;
}

void ScriptSource::SetText(std::string_view bytes) {
  position_ = 0;
  const bool bom = bytes.substr(0, kBom.size()) == kBom;
  if (bom)
    bytes.remove_prefix(kBom.size());
  bool ascii = true;
  for (unsigned char c : bytes) {
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (bom || (!ascii && IsValidUtf8(bytes))) {
    text_ = ToCp1251(bytes);
  } else {
    text_.assign(bytes);
  }
}

bool ScriptSource::ReadLine(std::string& line) {
  line.clear();
  if (AtEnd())
    return false;
  // The buffer holds the line's characters and its line feed; the CR of a CR LF pair does not
  // take a place in it (a text-mode read never delivers it).
  const std::size_t limit = kLineBuffer - 1;
  std::size_t end = position_;
  std::size_t counted = 0;
  while (end < text_.size() && counted < limit) {
    const char c = text_[end++];
    if (c == '\r' && end < text_.size() && text_[end] == '\n')
      continue;
    ++counted;
    if (c == '\n')
      break;
  }
  line.assign(text_, position_, end - position_);
  position_ = end;
  return true;
}

std::string_view StripLineEnd(std::string_view line) {
  while (!line.empty() && static_cast<unsigned char>(line.back()) < 32)
    line.remove_suffix(1);
  return line;
}

std::string_view PrepareLine(std::string_view line) {
  line = StripLineEnd(line);
  while (!line.empty() && IsLowOrBlank(line.front()))
    line.remove_prefix(1);
  while (!line.empty() && IsLowOrBlank(line.back()))
    line.remove_suffix(1);
  return line;
}

}  // namespace tolvanet::script
