// (a) and (c): the real link (RelayLink + Engine) against the simulator on loopback, one
// connection, one transaction after the other.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/allocations.h"
#include "bench/exchange.h"
#include "bench/raw_socket.h"
#include "link/engine.h"
#include "link/hex.h"
#include "link/relay_link.h"
#include "sim/register.h"
#include "sim/server.h"
#include "transfer/transfer.h"

namespace tolvanet::bench {
namespace {

constexpr std::size_t kFlashSize = 1 << 20;
constexpr std::size_t kFlashBlock = 50;

sim::ServerOptions Options() {
  sim::ServerOptions options;
  options.port = 0;  // any free loopback port
  return options;
}

// A simulator on a free loopback port with one register, and a registered client of it.
struct Bench {
  sim::Server server{Options()};
  sim::Register& reg = server.AddRegister("BENCH");
  std::unique_ptr<RelayLink> link;
  Engine engine;
  std::string error;

  Bench() {
    if (!server.Start()) {
      error = "simulator: " + server.error_text();
      return;
    }
    LinkTimings timings;
    timings.port = server.port();
    link = std::make_unique<RelayLink>(timings);
    link->SetHost("127.0.0.1");
    link->SetIdDev("BENCH");
    if (!link->OpenLink()) {
      error = "connect: " + link->error_text();
      return;
    }
    if (!IsReadyAnswer(link->RegisterDevice().answer)) {
      error = "the register did not answer Ready";
      return;
    }
    engine.SetTransport(link.get());
  }
};

void BM_LinkGetDateTime(benchmark::State& state) {
  Bench b;
  if (!b.error.empty()) {
    state.SkipWithError(b.error.c_str());
    return;
  }
  // The raw round trip is only comparable while both move the same bytes.
  const ReplyRecord& first = b.engine.ExecuteCommand(cmd::kGetDateTime, kGetDateTimeText);
  if (!first.Succeeded() || first.raw_answer.size() != GetDateTimeAnswer().size() ||
      first.sent_frame.size() + 1 != GetDateTimeWire().size()) {
    state.SkipWithError("the simulator's GetDateTime exchange differs from the raw one");
    return;
  }
  std::int64_t failed = 0;
  for (auto _ : state) {
    if (!b.engine.ExecuteCommand(cmd::kGetDateTime, kGetDateTimeText).Succeeded())
      ++failed;
  }
  CountAllocations(state, [&] { b.engine.ExecuteCommand(cmd::kGetDateTime, kGetDateTimeText); });
  if (failed > 0)
    state.SkipWithError("some transactions failed");
  b.reg.ClearRequests();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LinkGetDateTime)->UseRealTime()->MinTime(0.5);

// The minimal client against the simulator: what the simulator's side costs on its own.
void BM_RawClientAgainstSimulator(benchmark::State& state) {
  Bench b;
  if (!b.error.empty()) {
    state.SkipWithError(b.error.c_str());
    return;
  }
  const int fd = ConnectLoopback(b.server.port());
  char ready[6];
  if (fd < 0 || !WriteAll(fd, RegistrationMessage("BENCH")) ||
      !ReadExactly(fd, ready, sizeof ready)) {
    state.SkipWithError("cannot register with the simulator");
    return;
  }
  // Every sequence byte once, so that no request reads as a repeat of the one before.
  std::vector<std::string> wires;
  for (int counter = 1; counter <= 95; ++counter) {
    wires.push_back(BuildRequestFrame(SequenceByte(counter), cmd::kGetDateTime, kGetDateTimeText) +
                    '\0');
  }
  std::string reply(GetDateTimeAnswer().size(), '\0');
  std::size_t next = 0;
  for (auto _ : state) {
    if (!WriteAll(fd, wires[next]) || !ReadExactly(fd, reply.data(), reply.size())) {
      state.SkipWithError("the exchange broke");
      break;
    }
    next = (next + 1) % wires.size();
  }
  ::close(fd);
  b.reg.ClearRequests();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawClientAgainstSimulator)->UseRealTime()->MinTime(0.5);

// Fills the register's fiscal memory with a pattern of every byte value and returns it.
std::string FillFlash(Bench& b) {
  std::string pattern(kFlashSize, '\0');
  for (std::size_t i = 0; i < kFlashSize; ++i)
    pattern[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
  b.reg.ChangeState([](sim::RegisterState& s) { s.flash = sim::FlashMemory(kFlashSize); });
  b.reg.FillFlash(0, pattern);
  return pattern;
}

// (c) A 1 MiB flash dump in 50-byte blocks; one iteration reads the whole memory.
void BM_LinkReadFlash1MiB(benchmark::State& state) {
  Bench b;
  if (!b.error.empty()) {
    state.SkipWithError(b.error.c_str());
    return;
  }
  const std::string pattern = FillFlash(b);

  std::string dump;
  dump.reserve(kFlashSize);
  const std::string prefix = std::string(kPassword) + ";";
  for (auto _ : state) {
    dump.clear();
    for (std::size_t address = 0; address < kFlashSize; address += kFlashBlock) {
      const ReplyRecord& r =
          b.engine.ExecuteCommand(cmd::kReadFlash, prefix + std::to_string(address) + ";");
      if (!r.Succeeded() || r.field_count < 2)
        break;
      const auto bytes = HexDecode(r.Field(1));
      if (!bytes)
        break;
      dump += *bytes;
    }
    b.reg.ClearRequests();
  }
  if (dump != pattern)
    state.SkipWithError("the dump differs from the flash memory");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kFlashSize));
  state.counters["transactions_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations() * (kFlashSize / kFlashBlock)),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LinkReadFlash1MiB)->UseRealTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// (c') The same dump through the transfer loop, the dump file written block by block, as the
// fiscal memory window and `tolvanet-cli flash dump` run it. Compare with (c).
class QuietHost : public transfer::TransferHost {
 public:
  void ShowMessage(const std::string& text) override { last = text; }
  bool Confirm(const std::string&) override { return true; }
  std::string last;
};

void BM_TransferDumpFlash1MiB(benchmark::State& state) {
  Bench b;
  if (!b.error.empty()) {
    state.SkipWithError(b.error.c_str());
    return;
  }
  const std::string pattern = FillFlash(b);

  const std::string path =
      (std::filesystem::temp_directory_path() / "tolvanet_bench_dump.bin").string();
  TheEngine().SetTransport(b.link.get());
  QuietHost host;
  transfer::Transfer loop(host);
  bool done = true;
  for (auto _ : state) {
    const auto r = loop.DumpFlash(
        transfer::FlashRange{kPassword, 0, static_cast<std::int64_t>(kFlashSize), path}, 2);
    done = done && r.outcome == transfer::Outcome::kDone;
    b.reg.ClearRequests();
  }
  TheEngine().SetTransport(nullptr);
  std::string dump;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    dump.resize(kFlashSize + 1);
    dump.resize(std::fread(dump.data(), 1, dump.size(), f));
    std::fclose(f);
  }
  std::filesystem::remove(path);
  if (!done || dump != pattern)
    state.SkipWithError(("the dump differs from the flash memory: " + host.last).c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kFlashSize));
  state.counters["transactions_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations() * (kFlashSize / kFlashBlock)),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TransferDumpFlash1MiB)->UseRealTime()->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvanet::bench
