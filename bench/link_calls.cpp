// Runs N GetDateTime transactions (N from the command line) against the minimal server, through
// the link ("link") or the minimal client ("raw"), and nothing else. scripts/bench counts the
// system calls of the main thread with strace for N and 2N: the difference divided by N is what
// one transaction costs, without the program's start and the connection. The server answers
// from a thread of its own, which strace does not follow.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/exchange.h"
#include "bench/raw_socket.h"
#include "link/engine.h"
#include "link/relay_link.h"

int main(int argc, char** argv) {
  using namespace tolvanet;
  using namespace tolvanet::bench;
  const bool raw = argc > 1 && std::strcmp(argv[1], "raw") == 0;
  const long n = argc > 2 ? std::atol(argv[2]) : 1000;
  PingPongServer server(GetDateTimeWire().size(), GetDateTimeAnswer(), /*relay=*/!raw);
  long ok = 0;
  if (raw) {
    const int fd = ConnectLoopback(server.port());
    const std::string request = GetDateTimeWire();
    std::string reply(GetDateTimeAnswer().size(), '\0');
    for (long i = 0; fd >= 0 && i < n; ++i) {
      if (WriteAll(fd, request) && ReadExactly(fd, reply.data(), reply.size()))
        ++ok;
    }
    if (fd >= 0)
      ::close(fd);
  } else {
    LinkTimings timings;
    timings.port = server.port();
    RelayLink link(timings);
    link.SetHost("127.0.0.1");
    link.SetIdDev("BENCH");
    Engine engine;
    engine.SetTransport(&link);
    if (link.OpenLink() && IsReadyAnswer(link.RegisterDevice().answer)) {
      for (long i = 0; i < n; ++i)
        ok += engine.ExecuteCommand(cmd::kGetDateTime, kGetDateTimeText).Succeeded() ? 1 : 0;
    }
    link.CloseLink();
  }
  std::printf("%ld of %ld transactions succeeded\n", ok, n);
  return ok == n ? 0 : 1;
}
