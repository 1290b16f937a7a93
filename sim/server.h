// The register simulator: a relay server with simulated registers behind it, for tests,
// demonstrations and users without hardware.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tolvanet::sim {

class Register;  // one simulated register (sim/register.h)

struct ServerOptions {
  std::string address = "127.0.0.1";
  std::uint16_t port = 34951;  // 0: any free port
  std::string state_file;      // empty: registers' memory is not kept across restarts
};

// Runs on a thread of its own, so that a program can embed it and still block on its link.
class Server {
 public:
  explicit Server(ServerOptions options = {});
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Adds a register answering for `id_dev` (call before or after Start).
  Register& AddRegister(const std::string& id_dev);
  Register* FindRegister(const std::string& id_dev);

  // Starts listening; false with error_text() when the address or port cannot be bound.
  bool Start();
  void Stop();
  bool running() const;
  // The port actually listened on (useful with port 0).
  std::uint16_t port() const;
  const std::string& error_text() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tolvanet::sim
