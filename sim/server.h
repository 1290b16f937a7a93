// The register simulator: a relay server with simulated registers behind it, for tests,
// demonstrations and users without hardware.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tolvanet::sim {

class Register;  // one simulated register (sim/register.h)

struct ServerOptions {
  std::string address = "127.0.0.1";
  std::uint16_t port = 34951;  // 0: any free port
  std::string state_file;      // empty: registers' memory is not kept across restarts
  // Where the server reports connections and trouble (called on the server's thread).
  std::function<void(const std::string& line)> log;
  bool log_requests = false;  // also report every request and its answer
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
  // The ID_DEV of every register, in the order they were added.
  std::vector<std::string> register_ids() const;

  // Starts listening; false with error_text() when the address or port cannot be bound or the
  // state file cannot be read. Registers kept in the state file come back with their memory
  // (those added before Start take it over; the others are added).
  bool Start();
  // Closes every connection and saves the state file.
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
