// (b) What this machine allows: the same request and answer bytes as GetDateTime through the
// link, moved by a minimal blocking TCP client and server over loopback, one connection,
// strictly one exchange after the other, TCP_NODELAY on both ends. Beside it the link's
// client (RelayLink + Engine) against that same minimal server, which shows what the client
// side costs on its own.
#include <benchmark/benchmark.h>

#include "bench/allocations.h"
#include "bench/exchange.h"
#include "bench/raw_socket.h"
#include "link/engine.h"
#include "link/relay_link.h"

namespace tolvanet::bench {
namespace {

void BM_RawTcpPingPong(benchmark::State& state) {
  const std::string request = GetDateTimeWire();
  const std::string answer = GetDateTimeAnswer();
  PingPongServer server(request.size(), answer);
  const int fd = ConnectLoopback(server.port());
  if (fd < 0) {
    state.SkipWithError("cannot connect to the ping-pong server");
    return;
  }
  std::string reply(answer.size(), '\0');
  for (auto _ : state) {
    if (!WriteAll(fd, request) || !ReadExactly(fd, reply.data(), reply.size())) {
      state.SkipWithError("the exchange broke");
      break;
    }
  }
  ::close(fd);
  state.SetItemsProcessed(state.iterations());
  state.counters["request_bytes"] = static_cast<double>(request.size());
  state.counters["answer_bytes"] = static_cast<double>(answer.size());
}
BENCHMARK(BM_RawTcpPingPong)->UseRealTime()->MinTime(0.5);

void BM_LinkClientAgainstRawServer(benchmark::State& state) {
  PingPongServer server(GetDateTimeWire().size(), GetDateTimeAnswer(), /*relay=*/true);
  LinkTimings timings;
  timings.port = server.port();
  RelayLink link(timings);
  link.SetHost("127.0.0.1");
  link.SetIdDev("BENCH");
  Engine engine;
  engine.SetTransport(&link);
  if (!link.OpenLink() || !IsReadyAnswer(link.RegisterDevice().answer)) {
    state.SkipWithError("cannot reach the ping-pong server");
    return;
  }
  std::int64_t failed = 0;
  for (auto _ : state) {
    if (!engine.ExecuteCommand(cmd::kGetDateTime, kGetDateTimeText).Succeeded())
      ++failed;
  }
  CountAllocations(state, [&] { engine.ExecuteCommand(cmd::kGetDateTime, kGetDateTimeText); });
  link.CloseLink();
  if (failed > 0)
    state.SkipWithError("some transactions failed");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LinkClientAgainstRawServer)->UseRealTime()->MinTime(0.5);

}  // namespace
}  // namespace tolvanet::bench
