#include "transfer/transfer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/dialog_pattern.h"
#include "link/commands.h"
#include "link/engine.h"
#include "link/free_text.h"
#include "link/hex.h"
#include "link/scoped_flag.h"
#include "link/translate.h"

namespace tolvanet::transfer {

namespace {

// Firmware read.
constexpr const char* kSetDataSourceHeading = TrNoop("SetDataSource ошибка:\n  ");
constexpr const char* kReadDataHeading = TrNoop("ReadDataFromBuf ошибка:\n  ");
constexpr const char* kNoData = TrNoop("Нет данных!");
constexpr const char* kBadSize =
    TrNoop("Регистратор сообщил неверный размер данных - чтение не начато!");
constexpr const char* kFirmwareStopped = TrNoop("Чтение остановлено по запросу пользователя!");
constexpr const char* kSequenceError =
    TrNoop("Ошибка последовательного номера пакета - чтение остановлено!");
constexpr const char* kMalformedPacket =
    TrNoop("Пакет данных повреждён (обрывается на символе \"\\\") - чтение остановлено!");
constexpr const char* kFirmwareDone = TrNoop("Чтение внутреннего ПО - успешно!");

// Flash dump, restore and erase.
constexpr const char* kDumpQuestion = TrNoop("Данные будут записаны в выбранный файл. Продолжать?");
constexpr const char* kDumpCancelled = TrNoop("Чтение данных из флеш-памяти отменено!");
constexpr const char* kDumpTimeout =
    TrNoop("Ошибка! Таймаут устройства! Чтение данных остановлено.");
constexpr const char* kDumpBlockFailed =
    TrNoop("Ошибка чтения данных из флеш-памяти. \nЧтение данных остановлено. ErrCode=");
constexpr const char* kDumpBadData =
    TrNoop("Информация переданная регистратором неверна. Чтение данных остановлено.");
constexpr const char* kDumpStopped = TrNoop("Чтение данных остановлено пользователем.");
constexpr const char* kDumpDone = TrNoop("Успешно. Чтение данных завершено.");
constexpr const char* kRestoreQuestion =
    TrNoop("Данные будут записаны в флеш-память регистратора. Продолжать?");
constexpr const char* kRestoreCancelled = TrNoop("Запись данных в флеш-память отменена!");
constexpr const char* kEndOfFile =
    TrNoop("Ошибка! Незапланированный конец файла!\n   Чтение прервано");
constexpr const char* kRestoreHeading = TrNoop("Ошибка записи в флеш-память:\n  ");
constexpr const char* kRestoreStopped = TrNoop("Запись данных остановлено пользователем.");
constexpr const char* kRestoreDone = TrNoop("Успешно. Запись данных завершена.");
constexpr const char* kEraseQuestion =
    TrNoop("Вся фискальная (флеш) память регистратора будет обнулена. Продолжать?");
constexpr const char* kEraseCancelled = TrNoop("Обнуление флеш-памяти отменено!");
constexpr const char* kEraseHeading = TrNoop("Ошибка обнуления флеш-памяти:\n  ");
constexpr const char* kSuccess = TrNoop("Успешно!");

// Every transfer.
constexpr const char* kBusy = TrNoop("Уже выполняется другая операция - дождитесь её окончания.");
// The message of a failed reply under `heading`, a time-out and a damaged answer included;
// empty when the command succeeded.
std::string Failure(int code, const ReplyRecord& reply, const std::string& heading) {
  return JudgeCommand(code, 0, reply,
                      ReplyCheck::Heading(TrText(heading))
                          .Timeout(TrText(heading) + std::string(kTimeoutMessage)))
      .message;
}

// `what` is a marked text ending before the path.
std::string FileError(const char* what, const std::string& path, int error) {
  return TrText(what) + path + " (" + std::strerror(error) + ")";
}

// A dump file: created replacing any file of that name, every write checked, closed at every
// end of the transfer.
class OutputFile {
 public:
  ~OutputFile() {
    if (f_)
      std::fclose(f_);
  }
  bool Create(const std::string& path) {
    path_ = path;
    f_ = std::fopen(path.c_str(), "wb");
    if (!f_) {
      error_ = FileError(TrNoop("Не удалось создать файл "), path, errno);
      return false;
    }
    std::setvbuf(f_, nullptr, _IOFBF, kBuffer);
    return true;
  }
  // A full disk shows at the block that met it: where the file system can reserve space,
  // room for the bytes is reserved before they are taken (ahead, kReserveStep at a time, so a
  // block costs no system call) and they reach the system when the buffer fills; elsewhere
  // they reach it before the next block is requested.
  bool Write(std::string_view bytes) {
    if (bytes.empty())
      return true;
    if (!Reserve(bytes.size()) || std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size() ||
        (!reserving_ && std::fflush(f_) != 0)) {
      error_ = FileError(TrNoop("Ошибка записи в файл "), path_, errno);
      return false;
    }
    written_ += static_cast<off_t>(bytes.size());
    return true;
  }
  bool Close() {
    std::FILE* f = f_;
    f_ = nullptr;
    if (!f)
      return true;
    const bool flushed = std::fflush(f) == 0;
    const int error = errno;
    // Reserved room the dump did not need goes back to the file system.
    if (flushed && reserved_ > written_)
      (void)::ftruncate(fileno(f), written_);
    if (std::fclose(f) != 0 || !flushed) {
      error_ = FileError(TrNoop("Ошибка записи в файл "), path_, flushed ? errno : error);
      return false;
    }
    return true;
  }
  const std::string& error() const { return error_; }

 private:
  static constexpr std::size_t kBuffer = 64 * 1024;
  static constexpr off_t kReserveStep = 1024 * 1024;

  // False when the disk has no room for `n` more bytes (errno says why).
  bool Reserve(std::size_t n) {
    const off_t end = written_ + static_cast<off_t>(n);
    if (!reserving_ || end <= reserved_)
      return true;
    const int fd = fileno(f_);
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, reserved_, kReserveStep) == 0) {
      reserved_ += kReserveStep;
      return true;
    }
    if (errno == ENOSPC) {
      // No room for a whole step: perhaps for this block.
      if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, written_, static_cast<off_t>(n)) == 0) {
        reserved_ = end;
        return true;
      }
      errno = ENOSPC;
      return false;
    }
    // The file system (or device) reserves nothing: every block is flushed instead.
    reserving_ = false;
    return std::fflush(f_) == 0;
  }

  std::FILE* f_ = nullptr;
  std::string path_;
  std::string error_;
  bool reserving_ = true;
  off_t written_ = 0;   // bytes taken
  off_t reserved_ = 0;  // room reserved from the start of the file
};

class InputFile {
 public:
  ~InputFile() {
    if (f_)
      std::fclose(f_);
  }
  bool Open(const std::string& path) {
    path_ = path;
    f_ = std::fopen(path.c_str(), "rb");
    if (!f_)
      error_ = FileError(TrNoop("Не удалось открыть файл "), path, errno);
    return f_ != nullptr;
  }
  // The size of the file; negative when it cannot be told.
  std::int64_t Size() {
    if (std::fseek(f_, 0, SEEK_END) != 0)
      return -1;
    const long size = std::ftell(f_);
    std::rewind(f_);
    return size;
  }
  // Exactly `n` bytes, or nothing when the file ends (or fails) first.
  std::optional<std::string> Read(std::size_t n) {
    std::string bytes(n, '\0');
    if (std::fread(bytes.data(), 1, n, f_) != n)
      return std::nullopt;
    return bytes;
  }
  const std::string& error() const { return error_; }

 private:
  std::FILE* f_ = nullptr;
  std::string path_;
  std::string error_;
};

// The range a dump or restore may touch; empty when it is acceptable.
std::string RangeError(const FlashRange& range) {
  if (range.start < 0 || range.start >= kFlashAddressEnd) {
    return TrArgs(Tr("Адрес начала данных должен быть от 0 до %1!"),
                  {std::to_string(kFlashAddressEnd - 1)});
  }
  if (range.count < 0 || range.count > kFlashAddressEnd - range.start) {
    return TrArgs(
        Tr("Количество байтов должно быть от 0 до %1 (адрес начала плюс количество не "
           "выходят за %2)!"),
        {std::to_string(kFlashAddressEnd - range.start), std::to_string(kFlashAddressEnd)});
  }
  return {};
}

}  // namespace

std::string PasswordError(std::string_view password) {
  return CheckFreeText(password, Tr("Пароль"));
}

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::kDone:
      return "done";
    case Outcome::kStopped:
      return "stopped";
    case Outcome::kFailed:
      return "failed";
    case Outcome::kCancelled:
      return "cancelled";
    case Outcome::kRefused:
      return "refused";
  }
  return "failed";
}

std::optional<std::int64_t> DecimalDigits(std::string_view text) {
  if (text.empty() || text.size() > 18)
    return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<std::string> DecodePacket(std::string_view text) {
  // A backslash pairs with the character after it, so a run of them ends lone when it is odd.
  std::size_t run = 0;
  while (run < text.size() && text[text.size() - 1 - run] == '\\')
    ++run;
  if (run % 2 == 1)
    return std::nullopt;
  return Unescape(text);
}

std::optional<std::string> DecodeUpperHex(std::string_view text, std::string* valid) {
  std::string bytes;
  bytes.reserve(text.size() / 2);
  auto digit = [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') ? HexDigitValue(c) : -1;
  };
  std::size_t i = 0;
  for (; i + 1 < text.size(); i += 2) {
    const int high = digit(text[i]);
    const int low = digit(text[i + 1]);
    if (high < 0 || low < 0)
      break;
    bytes += static_cast<char>(high * 16 + low);
  }
  const bool whole = i == text.size();
  if (valid)
    *valid = bytes;
  if (!whole)
    return std::nullopt;
  return bytes;
}

TransferResult Transfer::Finish(Outcome outcome, const TransferProgress& progress,
                                const std::string& message) {
  // The fixed texts arrive in the original; composed ones are already in the interface's language.
  const std::string shown = TrText(message);
  if (!shown.empty())
    host_.ShowMessage(shown);
  return TransferResult{outcome, progress, shown};
}

TransferResult Transfer::Busy() {
  return Finish(Outcome::kRefused, {}, kBusy);
}

bool Transfer::StopRequested() {
  host_.ProcessPendingMessages();
  return stop_;
}

// ---- Firmware read ----

TransferResult Transfer::ReadFirmware(const std::string& password, const std::string& path) {
  if (running_)
    return Busy();
  ScopedFlag run(running_);
  stop_ = false;
  return ReadFirmwareRun(password, path);
}

TransferResult Transfer::ReadFirmwareRun(const std::string& password, const std::string& path) {
  TransferProgress p;
  if (std::string error = PasswordError(password); !error.empty())
    return Finish(Outcome::kRefused, p, error);
  const ReplyRecord& select = SetDataSource(password);
  host_.ReplyReceived(select);
  if (std::string failure = Failure(cmd::kSetDataSource, select, kSetDataSourceHeading);
      !failure.empty())
    return Finish(Outcome::kFailed, p, failure);
  const std::optional<std::int64_t> size = DecimalDigits(select.Field(0));
  if (!size)
    return Finish(Outcome::kFailed, p, kBadSize);
  p.total = *size;
  Progress(p);
  if (*size == 0)
    return Finish(Outcome::kDone, p, kNoData);

  OutputFile file;
  if (!file.Create(path))
    return Finish(Outcome::kFailed, p, file.error());
  // Ends the transfer: the file is closed, and a failure to close it outranks `message`.
  auto end = [&](Outcome outcome, const std::string& message) {
    if (!file.Close())
      return Finish(Outcome::kFailed, p, file.error());
    return Finish(outcome, p, message);
  };

  for (std::int64_t expected = 0;; ++expected) {
    if (StopRequested())
      return end(Outcome::kStopped, kFirmwareStopped);
    const ReplyRecord& packet = ReadDataFromBuf(password);
    host_.ReplyReceived(packet);
    if (std::string failure = Failure(cmd::kReadDataFromBuf, packet, kReadDataHeading);
        !failure.empty())
      return end(Outcome::kFailed, failure);
    if (DecimalDigits(packet.Field(0)) != expected)
      return end(Outcome::kFailed, kSequenceError);
    if (packet.Field(1).empty())
      break;
    // The empty packet alone ends the data, however much more than announced comes before
    // it; Stop (Ctrl+C) ends a device that never sends one.
    const std::optional<std::string> bytes = DecodePacket(packet.Field(1));
    if (!bytes)
      return end(Outcome::kFailed, kMalformedPacket);
    if (!file.Write(*bytes))
      return Finish(Outcome::kFailed, p, file.error());
    p.done += static_cast<std::int64_t>(bytes->size());
    ++p.blocks;
    Progress(p);
  }
  return end(Outcome::kDone, kFirmwareDone);
}

// ---- Fiscal (flash) memory ----

TransferResult Transfer::DumpFlash(const FlashRange& range, int repeats) {
  if (running_)
    return Busy();
  ScopedFlag run(running_);
  stop_ = false;
  return DumpFlashRun(range, repeats);
}

TransferResult Transfer::DumpFlashRun(const FlashRange& range, int repeats) {
  TransferProgress p;
  p.address = range.start;
  p.total = range.count;
  if (std::string error = PasswordError(range.password); !error.empty())
    return Finish(Outcome::kRefused, p, error);
  if (std::string error = RangeError(range); !error.empty())
    return Finish(Outcome::kRefused, p, error);
  if (repeats > kMaxRepeats) {
    return Finish(Outcome::kRefused, p,
                  TrArgs(Tr("Количество повторов при ошибке должно быть от 0 до %1!"),
                         {std::to_string(kMaxRepeats)}));
  }
  repeats = std::max(repeats, 0);  // every block gets at least one request
  if (!host_.Confirm(Tr(kDumpQuestion)))
    return Finish(Outcome::kCancelled, p, kDumpCancelled);

  OutputFile file;
  if (!file.Create(range.path))
    return Finish(Outcome::kFailed, p, file.error());
  auto end = [&](Outcome outcome, const std::string& message) {
    if (!file.Close())
      return Finish(Outcome::kFailed, p, file.error());
    return Finish(outcome, p, message);
  };
  Progress(p);

  const std::int64_t stop_at = range.start + range.count;
  const std::string prefix = range.password + ";";
  std::int64_t remaining = range.count;
  int block_repeats = 0;
  const ReplyCheck check = ReplyCheck::Silent().Timeout(Tr(kDumpTimeout));
  while (p.address < stop_at) {
    const ReplyRecord& reply =
        ExecuteCommand(cmd::kReadFlash, prefix + std::to_string(p.address) + ";");
    host_.ReplyReceived(reply);
    const CommandEnd judged = JudgeCommand(cmd::kReadFlash, 0, reply, check);
    if (judged.outcome == CommandOutcome::kTimeout ||
        judged.outcome == CommandOutcome::kLinkRefused) {
      return end(Outcome::kFailed, judged.message);  // never repeated
    }
    if (!judged.ok()) {  // an error code or a damaged answer: the block is asked again
      if (block_repeats >= repeats) {
        std::string message = TrText(kDumpBlockFailed) + reply.error_code;
        if (judged.outcome == CommandOutcome::kDamaged)
          message += "\n" + Failure(cmd::kReadFlash, reply, "");
        return end(Outcome::kFailed, message);
      }
      ++block_repeats;
      ++p.repeats;
      Progress(p);
      if (StopRequested())
        return end(Outcome::kStopped, kDumpStopped);
      continue;
    }
    block_repeats = 0;

    const std::string& hex = reply.Field(1);
    const std::optional<std::int64_t> announced = DecimalDigits(reply.Field(0));
    if (!announced)
      return end(Outcome::kFailed, kDumpBadData);
    const std::int64_t n = std::min(*announced, remaining);
    // A text shorter than the count reads as a bad pair where it ends.
    const std::string_view pairs = std::string_view(hex).substr(0, 2 * n);
    std::string valid;
    const auto bytes = DecodeUpperHex(pairs, &valid);
    if (!file.Write(valid))
      return Finish(Outcome::kFailed, p, file.error());
    p.done += static_cast<std::int64_t>(valid.size());
    if (!bytes || pairs.size() < static_cast<std::size_t>(2 * n))
      return end(Outcome::kFailed, kDumpBadData);
    ++p.blocks;
    if (*announced < kFlashBlock) {  // the memory ends here
      Progress(p);
      break;
    }
    remaining -= n;
    p.address += *announced;
    Progress(p);
    if (StopRequested())
      return end(Outcome::kStopped, kDumpStopped);
  }
  return end(Outcome::kDone, kDumpDone);
}

TransferResult Transfer::RestoreFlash(const FlashRange& range) {
  if (running_)
    return Busy();
  ScopedFlag run(running_);
  stop_ = false;
  return RestoreFlashRun(range);
}

TransferResult Transfer::RestoreFlashRun(const FlashRange& range) {
  TransferProgress p;
  p.address = range.start;
  p.total = range.count;
  if (std::string error = PasswordError(range.password); !error.empty())
    return Finish(Outcome::kRefused, p, error);
  if (std::string error = RangeError(range); !error.empty())
    return Finish(Outcome::kRefused, p, error);
  InputFile file;
  if (!file.Open(range.path))
    return Finish(Outcome::kRefused, p, file.error());
  // Half a memory is never written: a short file is refused before the first block.
  if (file.Size() < range.count)
    return Finish(Outcome::kRefused, p, kEndOfFile);
  if (!host_.Confirm(Tr(kRestoreQuestion)))
    return Finish(Outcome::kCancelled, p, kRestoreCancelled);
  Progress(p);

  const std::int64_t stop_at = range.start + range.count;
  while (p.address < stop_at) {
    const std::int64_t n = std::min(kFlashBlock, stop_at - p.address);
    // The file may have shrunk since it was measured.
    const std::optional<std::string> bytes = file.Read(static_cast<std::size_t>(n));
    if (!bytes)
      return Finish(Outcome::kFailed, p, kEndOfFile);
    const ReplyRecord& reply =
        ExecuteCommand(cmd::kWriteFlash, range.password + ";" + std::to_string(p.address) + ";" +
                                             std::to_string(n) + ";" + HexEncode(*bytes) + ";");
    host_.ReplyReceived(reply);
    if (std::string failure = Failure(cmd::kWriteFlash, reply, kRestoreHeading); !failure.empty())
      return Finish(Outcome::kFailed, p, failure);
    p.address += n;
    p.done += n;
    ++p.blocks;
    Progress(p);
    if (StopRequested())
      return Finish(Outcome::kStopped, p, kRestoreStopped);
  }
  return Finish(Outcome::kDone, p, kRestoreDone);
}

TransferResult Transfer::EraseFlash(const std::string& password) {
  if (running_)
    return Busy();
  ScopedFlag run(running_);
  stop_ = false;
  if (std::string error = PasswordError(password); !error.empty())
    return Finish(Outcome::kRefused, {}, error);
  if (!host_.Confirm(Tr(kEraseQuestion)))
    return Finish(Outcome::kCancelled, {}, kEraseCancelled);
  const ReplyRecord& reply = ExecuteCommand(cmd::kClearFlash, password + ";");
  host_.ReplyReceived(reply);
  if (std::string failure = Failure(cmd::kClearFlash, reply, kEraseHeading); !failure.empty())
    return Finish(Outcome::kFailed, {}, failure);
  return Finish(Outcome::kDone, {}, kSuccess);
}

}  // namespace tolvanet::transfer
