// A script file held in memory and read line by line as the runner reads it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvanet::script {

// The line buffer: kLineBuffer - 1 places for a line's characters and its line feed (the CR of
// a CR LF pair takes none); a longer line is read as several lines.
inline constexpr std::size_t kLineBuffer = 300;

class ScriptSource {
 public:
  // Reads the whole file. False when it cannot be opened or read.
  bool Load(const std::string& path);
  // Takes the text of a script. Scripts are Windows-1251 text; a text that is valid UTF-8
  // with characters beyond ASCII (or starts with the UTF-8 byte-order mark) is converted to
  // Windows-1251 first, so that a script written on this system sends the same bytes.
  void SetText(std::string_view bytes);

  // Byte offset of the next line to read.
  std::size_t position() const { return position_; }
  void Seek(std::size_t position) { position_ = position < text_.size() ? position : text_.size(); }
  bool AtEnd() const { return position_ >= text_.size(); }

  // Reads the next line with its line break, at most kLineBuffer - 1 characters counting the
  // line feed but not the CR before it. False at the end of the text.
  bool ReadLine(std::string& line);

  const std::string& text() const { return text_; }

 private:
  std::string text_;
  std::size_t position_ = 0;
};

// Removes trailing characters with codes below 32.
std::string_view StripLineEnd(std::string_view line);

// Strips the line end, then blanks and control characters at both ends.
std::string_view PrepareLine(std::string_view line);

}  // namespace tolvanet::script
