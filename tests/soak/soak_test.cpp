// The link under random faults: thousands of transactions through the simulator over loopback,
// each with one fault drawn at random, and every reply classified as the fault demands:
// success (with the SYN bytes counted), NAK, checksum error or no answer, never two of them.
// The run stops by itself after kMaxTransactions or kMaxRunTime, whichever comes first; the
// link's own limits bound every wait. Memory must stay flat after the warm-up.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "link/commands.h"
#include "link/engine.h"
#include "link/relay_link.h"
#include "sim/register.h"
#include "sim/server.h"

namespace tolvanet {
namespace {

constexpr int kMaxTransactions = 20000;
constexpr auto kMaxRunTime = std::chrono::seconds(60);
constexpr int kWarmUp = 2000;
constexpr int kRareEvery = 997;  // one silent register and one dropped connection per this many
constexpr long kRssMarginBytes = 8L << 20;

enum class Fault { kNone, kSyn, kSplit, kNak, kChecksum, kNoAnswer, kDrop };

const char* Name(Fault f) {
  switch (f) {
    case Fault::kNone:
      return "none";
    case Fault::kSyn:
      return "SYN";
    case Fault::kSplit:
      return "split";
    case Fault::kNak:
      return "NAK";
    case Fault::kChecksum:
      return "checksum";
    case Fault::kNoAnswer:
      return "no answer";
    case Fault::kDrop:
      return "drop";
  }
  return "?";
}

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

bool UnderAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return true;
#endif
#endif
  return false;
}

// What the reply must read for a fault; empty when it does.
std::string Misclassified(Fault fault, const ReplyRecord& r, long syn_sent, long syn_seen,
                          bool link_active) {
  using namespace status_bits;
  constexpr std::uint32_t kLinkBits = kNoAnswer | kNak | kChecksumError;
  char buf[160];
  auto wrong = [&](const char* want) {
    std::snprintf(buf, sizeof buf, "fault %s: want %s, got flags %08X error \"%s\" SYN %ld",
                  Name(fault), want, static_cast<unsigned>(r.status_flags), r.error_code.c_str(),
                  syn_seen);
    return std::string(buf);
  };
  switch (fault) {
    case Fault::kNone:
    case Fault::kSplit:
    case Fault::kSyn:
      if ((r.status_flags & kLinkBits) != 0 || r.error_code != "0000" || r.checksum_error != 0)
        return wrong("success");
      if (syn_seen != syn_sent)
        return wrong("every SYN counted");
      return {};
    case Fault::kNak:
      return r.status_flags == kNak ? std::string() : wrong("NAK only");
    case Fault::kChecksum:
      return r.status_flags == kChecksumError && r.checksum_error == 1 ? std::string()
                                                                       : wrong("checksum only");
    case Fault::kNoAnswer:
      return r.status_flags == kNoAnswer ? std::string() : wrong("no answer only");
    case Fault::kDrop:
      if (r.status_flags != kNoAnswer)
        return wrong("no answer only");
      return link_active ? std::string() : wrong("the link connected again");
  }
  return "unknown fault";
}

TEST(Soak, EveryReplyIsClassifiedByItsFaultAndMemoryStaysFlat) {
  sim::ServerOptions options;
  options.port = 0;
  sim::Server server(options);
  sim::Register& reg = server.AddRegister("SOAK");
  ASSERT_TRUE(server.Start()) << server.error_text();

  LinkTimings timings;
  timings.port = server.port();
  timings.stream_timeout = std::chrono::milliseconds(5000);
  timings.wait_step = std::chrono::milliseconds(20);
  timings.exchange_attempts = 1;
  timings.exchange_steps = 25;  // a silent register is given up after 500 ms
  timings.register_attempts = 1;
  timings.register_steps = 100;
  timings.idle_interval = std::chrono::milliseconds(10);
  RelayLink link(timings);
  link.SetHost("127.0.0.1");
  link.SetIdDev("SOAK");
  Engine engine;
  engine.SetTransport(&link);
  ASSERT_TRUE(link.OpenLink()) << link.error_text();
  ASSERT_TRUE(IsReadyAnswer(link.RegisterDevice().answer));

  // A new seed every run; TOLVANET_SOAK_SEED repeats the run it names.
  const char* seed_text = std::getenv("TOLVANET_SOAK_SEED");
  const std::uint32_t seed = seed_text != nullptr
                                 ? static_cast<std::uint32_t>(std::strtoul(seed_text, nullptr, 10))
                                 : std::random_device{}();
  std::printf("soak seed %u (TOLVANET_SOAK_SEED)\n", seed);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<int> syn_count(1, 6);
  std::uniform_int_distribution<int> piece(4, 24);

  const std::string report_text = "406172;0;";  // PrintInfoReport: a command that prints
  std::map<std::string, int> done;
  std::vector<std::string> failures;
  long rss_after_warm_up = 0;
  const auto stop_at = std::chrono::steady_clock::now() + kMaxRunTime;
  int n = 0;
  for (; n < kMaxTransactions && std::chrono::steady_clock::now() < stop_at; ++n) {
    Fault fault = Fault::kNone;
    if (n % kRareEvery == kRareEvery - 1) {
      fault = (n / kRareEvery) % 2 == 0 ? Fault::kNoAnswer : Fault::kDrop;
    } else {
      const int p = percent(random);
      fault = p < 60   ? Fault::kNone
              : p < 75 ? Fault::kSyn
              : p < 80 ? Fault::kSplit
              : p < 90 ? Fault::kNak
                       : Fault::kChecksum;
    }
    sim::Faults f;
    f.syn_interval_ms = 0;
    f.syn_count = fault == Fault::kSyn ? syn_count(random) : 0;
    f.split_answer_bytes = fault == Fault::kSplit ? piece(random) : 0;
    f.nak = fault == Fault::kNak;
    f.corrupt_checksum = fault == Fault::kChecksum;
    f.no_answer = fault == Fault::kNoAnswer;
    f.drop_connection = fault == Fault::kDrop;
    reg.SetFaults(f);

    const ReplyRecord& r = fault == Fault::kSyn
                               ? engine.ExecuteCommand(cmd::kPrintInfoReport, report_text)
                               : engine.ExecuteCommand(cmd::kGetDateTime, "406172;");
    const std::string wrong =
        Misclassified(fault, r, f.syn_count, engine.parser().syn_count(), link.IsActive());
    if (!wrong.empty() && failures.size() < 10)
      failures.push_back("transaction " + std::to_string(n) + ": " + wrong);
    if (!wrong.empty() && !link.IsActive())
      break;  // nothing more can be learnt without a link
    ++done[Name(fault)];

    if (n % 1000 == 999)
      reg.ClearRequests();  // the register's own request log is not the link's memory
    if (n + 1 == kWarmUp)
      rss_after_warm_up = ResidentBytes();
  }
  const long rss_at_end = ResidentBytes();

  std::printf("soak: %d transactions;", n);
  for (const auto& [name, count] : done)
    std::printf(" %s %d;", name.c_str(), count);
  std::printf(" resident after warm-up %ld KiB, at the end %ld KiB\n", rss_after_warm_up >> 10,
              rss_at_end >> 10);
  for (const auto& f : failures)
    ADD_FAILURE() << f;
  // Memory is judged only on a run long enough after its warm-up (a very slow machine may
  // reach the time cap first).
  if (n >= 2 * kWarmUp && !UnderAddressSanitizer()) {
    // AddressSanitizer holds freed memory back on purpose; it checks for leaks itself.
    EXPECT_LT(rss_at_end - rss_after_warm_up, kRssMarginBytes);
  }
}

}  // namespace
}  // namespace tolvanet
