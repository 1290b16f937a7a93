// The receipt tape as a text file.
#include "sim/tape_file.h"

#include <cerrno>
#include <cstring>

#include "sim/tape.h"

namespace tolvanet::sim {

TapeFile::~TapeFile() {
  if (owned_ && file_)
    std::fclose(file_);
}

bool TapeFile::Open(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (path == "-") {
    file_ = stdout;
    owned_ = false;
    return true;
  }
  file_ = std::fopen(path.c_str(), "ab");
  if (!file_) {
    error_ = path + ": " + std::strerror(errno);
    return false;
  }
  owned_ = true;
  // Appending to a tape that already holds documents: the first new one is cut off from them.
  has_content_ = std::ftell(file_) > 0;
  return true;
}

void TapeFile::Write(const std::string& id_dev, const PrintedDocument& doc) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!file_)
    return;
  std::string text;
  if (has_content_)
    text += "\n" + CutLine(last_width_ > 0 ? last_width_ : doc.tape_width) + "\n";
  if (name_registers_)
    text += "ID_DEV " + ShownText(id_dev) + "\n";
  for (const std::string& line : doc.tape)
    text += line + "\n";
  std::fwrite(text.data(), 1, text.size(), file_);
  std::fflush(file_);
  has_content_ = true;
  last_width_ = doc.tape_width;
}

void TapeFile::Attach(Register& reg) {
  reg.SetPrintSink([this, &reg](const PrintedDocument& doc) { Write(reg.id_dev(), doc); });
}

}  // namespace tolvanet::sim
