// The receipt tape written to a text file as the register prints: each finished document is
// appended and flushed at once, so a killed program loses at most the document in progress.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

#include "sim/register.h"

namespace tolvanet::sim {

class TapeFile {
 public:
  TapeFile() = default;
  ~TapeFile();
  TapeFile(const TapeFile&) = delete;
  TapeFile& operator=(const TapeFile&) = delete;

  // Opens `path` for appending ("-": the standard output); false with error_text() when it
  // cannot be opened.
  bool Open(const std::string& path);
  const std::string& error_text() const { return error_; }

  // With several registers each document is headed by the ID_DEV of the one that printed it.
  void SetNameRegisters(bool on) { name_registers_ = on; }

  // Appends one document (UTF-8): after the one before it, a blank line and a cut line.
  void Write(const std::string& id_dev, const PrintedDocument& doc);

  // Writes what `reg` prints from now on.
  void Attach(Register& reg);

 private:
  std::mutex mutex_;
  std::FILE* file_ = nullptr;
  bool owned_ = false;
  bool name_registers_ = false;
  bool has_content_ = false;  // a document is on the tape already: the next one is cut off
  int last_width_ = 0;
  std::string error_;
};

}  // namespace tolvanet::sim
