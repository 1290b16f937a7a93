#include "transfer/logo.h"

#include <algorithm>

#include "app/dialog_pattern.h"
#include "link/commands.h"
#include "link/engine.h"
#include "link/hex.h"
#include "link/scoped_flag.h"
#include "link/translate.h"
#include "transfer/transfer.h"

namespace tolvanet::transfer {

namespace {

constexpr const char* kTimeout = TrNoop("Ошибка! Таймаут устройства!");
constexpr const char* kChunkFailed = TrNoop("Ошибка записи логотипа");
constexpr const char* kLimitsFailed = TrNoop("Ошибка чтения размеров логотипа");
constexpr const char* kLimitsUnknown =
    TrNoop("Размеры логотипа регистратора неизвестны - программирование невозможно.");
constexpr const char* kNoPicture = TrNoop("Рисунок не загружен.");
constexpr const char* kStopped = TrNoop(
    "Программирование логотипа остановлено - логотип в регистраторе не "
    "завершён.");
constexpr const char* kSuccess = TrNoop("Успешно!");

// A number of decimal digits only, within reach of an int; 0 otherwise.
std::int64_t Positive(const std::string& field) {
  const std::optional<std::int64_t> value = DecimalDigits(field);
  return value && *value <= (1 << 30) ? *value : 0;
}

// The message of a failed logo command, empty when it succeeded. A damaged answer is told
// under the same text, so that the operator learns which step it spoiled.
std::string LogoFailure(int code, const ReplyRecord& reply, const char* failed,
                        int builder_result = 0) {
  const std::string text = TrText(failed);
  ReplyCheck check = ReplyCheck::Fixed(text).Timeout(Tr(kTimeout));
  check.heading = text + ":\n  ";
  return JudgeCommand(code, builder_result, reply, check).message;
}

std::string SizeError(const char* axis, int most) {
  return TrArgs(Tr("Размер для загрузки (по %1) должен быть от 1 до %2!"),
                {axis, std::to_string(most)});
}

}  // namespace

std::string LogoBitStream(const Picture& picture, int width, int height) {
  const std::size_t row_bytes = (static_cast<std::size_t>(std::max(width, 0)) + 7) / 8;
  std::string stream(row_bytes * static_cast<std::size_t>(std::max(height, 0)), '\0');
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // Outside the picture there is no colour, and what is not white is printed.
      const bool inside = x < picture.width && y < picture.height && picture.Valid();
      if (inside && (picture.At(x, y) & 0xFFFFFF) == kWhite)
        continue;
      stream[static_cast<std::size_t>(y) * row_bytes + static_cast<std::size_t>(x) / 8] |=
          static_cast<char>(0x80 >> (x % 8));
    }
  }
  return stream;
}

std::vector<std::string> LogoChunks(const std::string& stream) {
  std::vector<std::string> chunks;
  for (std::size_t at = 0; at < stream.size(); at += kLogoChunkBytes) {
    std::string chunk = stream.substr(at, kLogoChunkBytes);
    chunk.resize(kLogoChunkBytes, '\0');
    chunks.push_back(HexEncode(chunk));
  }
  return chunks;
}

LogoLimits LogoLimitsFrom(const ReplyRecord& diagnostic) {
  const std::int64_t width = Positive(diagnostic.Field(7));
  const std::int64_t memory = Positive(diagnostic.Field(6));
  if (width == 0 || memory == 0)
    return {};
  LogoLimits limits;
  limits.max_width = static_cast<int>(width);
  limits.max_height = static_cast<int>(std::min<std::int64_t>(memory * 8 / width, 1 << 30));
  limits.memory_bytes = memory;
  return limits;
}

int LogoLimits::MaxHeightFor(int width) const {
  if (width < 1 || width > max_width || memory_bytes <= 0)
    return 0;
  const std::int64_t row_bytes = (std::int64_t{width} + 7) / 8;
  return static_cast<int>(std::min<std::int64_t>(memory_bytes / row_bytes, 1 << 30));
}

std::optional<LogoLimits> Transfer::ReadLogoLimits(const std::string& password) {
  if (running_) {
    Busy();
    return std::nullopt;
  }
  if (std::string error = PasswordError(password); !error.empty()) {
    host_.ShowMessage(error);
    return std::nullopt;
  }
  int result = 0;
  const ReplyRecord& reply = GetDiagnosticInfo(password, result);
  host_.ReplyReceived(reply);
  if (std::string failure = LogoFailure(cmd::kGetDiagnosticInfo, reply, kLimitsFailed);
      !failure.empty()) {
    host_.ShowMessage(failure);
    return std::nullopt;
  }
  return LogoLimitsFrom(reply);
}

TransferResult Transfer::ProgramLogo(const std::string& password, const Picture& picture, int width,
                                     int height, const LogoLimits& limits) {
  if (running_)
    return Busy();
  ScopedFlag run(running_);
  stop_ = false;
  return ProgramLogoRun(password, picture, width, height, limits);
}

TransferResult Transfer::ProgramLogoRun(const std::string& password, const Picture& picture,
                                        int width, int height, const LogoLimits& limits) {
  TransferProgress p;
  if (std::string error = PasswordError(password); !error.empty())
    return Finish(Outcome::kRefused, p, error);
  if (!limits.known())
    return Finish(Outcome::kRefused, p, kLimitsUnknown);
  if (!picture.Valid())
    return Finish(Outcome::kRefused, p, kNoPicture);
  if (const int most = std::min(limits.max_width, picture.width); width < 1 || width > most)
    return Finish(Outcome::kRefused, p, SizeError("X", most));
  // A narrower logo may have more rows than the largest width allows, as long as the memory
  // holds them.
  if (const int most = std::min(limits.MaxHeightFor(width), picture.height);
      height < 1 || height > most)
    return Finish(Outcome::kRefused, p, SizeError("Y", most));

  const std::vector<std::string> chunks = LogoChunks(LogoBitStream(picture, width, height));
  p.total = static_cast<std::int64_t>(chunks.size());
  Progress(p);
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    int result = 0;
    const ReplyRecord& reply = SetUserLogo(password, static_cast<int>(i), chunks[i], result);
    if (result >= 0)
      host_.ReplyReceived(reply);
    if (std::string failure = LogoFailure(cmd::kSetUserLogo, reply, kChunkFailed, result);
        !failure.empty())
      return Finish(Outcome::kFailed, p, failure);
    ++p.done;
    ++p.blocks;
    Progress(p);
    if (StopRequested())
      return Finish(Outcome::kStopped, p, kStopped);
  }
  const ReplyRecord& params =
      ExecuteCommand(cmd::kSetLogoParams,
                     password + ";" + std::to_string(width) + ";" + std::to_string(height) + ";");
  host_.ReplyReceived(params);
  if (std::string failure = LogoFailure(cmd::kSetLogoParams, params, kChunkFailed);
      !failure.empty())
    return Finish(Outcome::kFailed, p, failure);
  return Finish(Outcome::kDone, p, kSuccess);
}

}  // namespace tolvanet::transfer
