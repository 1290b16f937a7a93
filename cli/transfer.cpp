// firmware, flash dump|restore|erase and logo: the transfer loops with the terminal as their
// window. A progress bar goes to standard error when it is a terminal; Ctrl+C is "Стоп".
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "cli/cli.h"
#include "cli/json.h"
#include "transfer/transfer.h"

namespace tolvanet::cli {

namespace {

using transfer::Outcome;
using transfer::TransferProgress;
using transfer::TransferResult;

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
  g_interrupted = 1;
}

// "12 345" for 12345.
std::string Grouped(std::int64_t n) {
  std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0)
      out += ' ';
    out += digits[i];
  }
  return out;
}

std::string Duration(double seconds) {
  const long s = seconds < 0 ? 0 : static_cast<long>(seconds + 0.5);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
  return buf;
}

class TerminalHost : public transfer::TransferHost {
 public:
  TerminalHost(const char* unit, bool assume_yes)
      : unit_(unit), assume_yes_(assume_yes), bar_(isatty(STDERR_FILENO) == 1) {}
  void set_transfer(transfer::Transfer* t) { transfer_ = t; }

  void ShowMessage(const std::string& text) override {
    EndBar();
    std::cerr << text << "\n" << std::flush;
  }
  // The command line is the answer: the user named the operation (and --yes for an erase).
  bool Confirm(const std::string&) override { return assume_yes_; }
  void ProcessPendingMessages() override {
    if (g_interrupted && transfer_)
      transfer_->RequestStop();
  }
  void ProgressChanged(const TransferProgress& p) override {
    last_ = p;
    if (!bar_)
      return;
    const auto now = Clock::now();
    // A few redraws a second are enough; the last one always shows.
    if (drawn_ && p.done < p.total && now - last_draw_ < std::chrono::milliseconds(100))
      return;
    last_draw_ = now;
    drawn_ = true;
    const double seconds = Seconds();
    const double rate = seconds > 0 ? static_cast<double>(p.done) / seconds : 0;
    const std::int64_t total = std::max<std::int64_t>(p.total, 1);
    const int width = 30;
    const int filled = static_cast<int>(std::min<std::int64_t>(p.done, total) * width / total);
    std::string line = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(width - filled), '.') + "] " +
                       Grouped(p.done) + " / " + Grouped(p.total) + " " + unit_;
    line += ", " + Grouped(static_cast<std::int64_t>(rate)) + " " + unit_ + "/с";
    if (rate > 0 && p.total > p.done)
      line += ", осталось " + Duration(static_cast<double>(p.total - p.done) / rate);
    std::cerr << line << "\033[K" << std::flush;
  }

  double Seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }
  const TransferProgress& last() const { return last_; }
  void EndBar() {
    if (drawn_)
      std::cerr << "\n";
    drawn_ = false;
  }

 private:
  using Clock = std::chrono::steady_clock;
  const char* unit_;
  bool assume_yes_;
  bool bar_;
  bool drawn_ = false;
  Clock::time_point start_ = Clock::now();
  Clock::time_point last_draw_;
  TransferProgress last_;
  transfer::Transfer* transfer_ = nullptr;
};

// Runs `loop` with Ctrl+C as its stop button, then reports.
template <typename Loop>
int RunLoop(const GlobalOptions& options, TerminalHost& host, std::int64_t bytes_per_unit,
            Loop loop) {
  transfer::Transfer transfer(host);
  host.set_transfer(&transfer);
  g_interrupted = 0;
  auto previous = std::signal(SIGINT, OnInterrupt);
  const TransferResult r = loop(transfer);
  std::signal(SIGINT, previous);
  host.EndBar();
  if (r.outcome == Outcome::kStopped) {
    std::cerr << "Остановлено после " << r.progress.blocks << " блоков ("
              << Grouped(r.progress.done) << (bytes_per_unit == 1 ? " байт" : " фрагментов") << ")";
    if (r.progress.address > 0)
      std::cerr << ", следующий адрес " << r.progress.address;
    std::cerr << ".\n";
  }
  if (options.json) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", host.Seconds());
    std::cout << "{\"outcome\":\"" << transfer::OutcomeName(r.outcome)
              << "\",\"bytes\":" << r.progress.done * bytes_per_unit
              << ",\"blocks\":" << r.progress.blocks << ",\"repeats\":" << r.progress.repeats
              << ",\"seconds\":" << seconds << ",\"message\":" << JsonString(r.message) << "}\n"
              << std::flush;
  }
  switch (r.outcome) {
    case Outcome::kDone:
      return kExitOk;
    case Outcome::kRefused:
    case Outcome::kCancelled:
      return kExitUsage;
    default:
      return kExitFailed;
  }
}

// A decimal-digits option value, or a message and nothing.
std::optional<std::int64_t> Number(const char* name, const std::string& text) {
  auto value = transfer::DecimalDigits(text);
  if (!value)
    std::cerr << "Ошибка! Только десятичные цифры: " << name << " \"" << text << "\".\n";
  return value;
}

}  // namespace

int RunFirmware(GlobalOptions& options, const TransferOptions& t) {
  const std::optional<std::string> password = PasswordOption("firmware", t.password);
  if (!password)
    return kExitUsage;
  Session session;
  if (int rc = session.Open(options); rc != kExitOk)
    return rc;
  TerminalHost host("байт", true);
  return RunLoop(options, host, 1,
                 [&](transfer::Transfer& tr) { return tr.ReadFirmware(*password, t.file); });
}

int RunFlash(GlobalOptions& options, const TransferOptions& t) {
  if (t.action == "erase" && !t.yes) {
    std::cerr << "flash erase обнуляет всю фискальную память регистратора; подтвердите ключом "
                 "--yes.\n";
    return kExitUsage;
  }
  const std::optional<std::string> password = PasswordOption("flash", t.password);
  if (!password)
    return kExitUsage;
  transfer::FlashRange range;
  range.password = *password;
  range.path = t.file;
  if (t.action != "erase") {
    const auto start = Number("--start", t.start);
    const auto count = Number("--count", t.count);
    if (!start || !count)
      return kExitUsage;
    range.start = *start;
    range.count = *count;
  }
  Session session;
  if (int rc = session.Open(options); rc != kExitOk)
    return rc;
  TerminalHost host("байт", true);
  return RunLoop(options, host, 1, [&](transfer::Transfer& tr) {
    if (t.action == "dump")
      return tr.DumpFlash(range, t.repeats);
    if (t.action == "restore")
      return tr.RestoreFlash(range);
    return tr.EraseFlash(*password);
  });
}

int RunLogo(GlobalOptions& options, const TransferOptions& t) {
  const std::optional<std::string> password = PasswordOption("logo", t.password);
  if (!password)
    return kExitUsage;
  std::string error;
  const auto picture = transfer::ReadBmp(t.file, &error);
  if (!picture) {
    std::cerr << error << "\n";
    return kExitUsage;
  }
  Session session;
  if (int rc = session.Open(options); rc != kExitOk)
    return rc;
  TerminalHost host("фрагм.", true);
  transfer::Transfer probe(host);
  const auto limits = probe.ReadLogoLimits(*password);
  if (!limits)
    return kExitFailed;
  const int width = t.width.value_or(std::min(picture->width, limits->max_width));
  const int height = t.height.value_or(std::min(picture->height, limits->max_height));
  std::cerr << "Рисунок " << picture->width << " x " << picture->height << ", наибольший логотип "
            << limits->max_width << " x " << limits->max_height << ", загружается " << width
            << " x " << height << ".\n";
  return RunLoop(options, host, static_cast<std::int64_t>(transfer::kLogoChunkBytes),
                 [&](transfer::Transfer& tr) {
                   return tr.ProgramLogo(*password, *picture, width, height, *limits);
                 });
}

}  // namespace tolvanet::cli
