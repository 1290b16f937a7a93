// The relay link: a TCP client to the relay server that registers one register by ID_DEV
// and then carries its frames.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "link/transport.h"

namespace tolvanet {

inline constexpr std::uint16_t kRelayPort = 34951;

// Waiting limits of the link. The defaults are the register's; tests and tools shorten them.
struct LinkTimings {
  std::uint16_t port = kRelayPort;
  std::chrono::milliseconds stream_timeout{60000};  // connecting and writing
  std::chrono::milliseconds wait_step{2000};
  int exchange_attempts = 2;
  int exchange_steps = 60;
  int register_attempts = 4;
  int register_steps = 60;
  std::chrono::milliseconds idle_interval{50};  // how often the idle hook runs while waiting
};

enum class SocketEvent { kLookup, kConnecting, kConnected, kDisconnected, kError };

// The 9-byte registration message: the ID_DEV text cut or padded with zero bytes to 9 bytes.
std::string RegistrationMessage(std::string_view id_dev);

// The relay's reply taken up to its first zero byte must be exactly "Ready".
bool IsReadyAnswer(std::string_view answer);

struct Registration {
  std::string answer;    // the relay's reply, as read
  bool aborted = false;  // the operator stopped it; the socket has been closed
};

class RelayLink : public Transport {
 public:
  explicit RelayLink(LinkTimings timings = {});
  ~RelayLink() override;
  RelayLink(const RelayLink&) = delete;
  RelayLink& operator=(const RelayLink&) = delete;

  LinkTimings& timings() { return timings_; }
  void SetHost(std::string host) { host_ = std::move(host); }
  const std::string& host() const { return host_; }
  void SetIdDev(std::string id_dev) { id_dev_ = std::move(id_dev); }
  const std::string& id_dev() const { return id_dev_; }

  // Runs at least every idle_interval while the link waits (connecting, writing, reading).
  void SetIdleHook(std::function<void()> hook) { idle_ = std::move(hook); }
  // Socket events for the host's indicators; the text says what happened.
  void SetEventHandler(std::function<void(SocketEvent, const std::string&)> handler) {
    events_ = std::move(handler);
  }

  // Closes an open connection, then connects to host:port. False when it cannot connect;
  // error_text() then says why.
  bool OpenLink();
  // Sends the registration and waits for the relay's reply. `abort_requested` is asked before
  // every wait step; when it says yes the socket is closed and the result is marked aborted.
  Registration RegisterDevice(const std::function<bool()>& abort_requested = {});
  // Closes the connection (nothing happens when it is closed already).
  void CloseLink();
  // After a socket failure: connect again and re-register; the reply is not examined.
  void Reconnect();

  bool IsActive() const override;
  bool Connecting() const override { return connecting_; }
  Result Exchange(std::string_view wire, const Consumer& consume) override;

  const std::string& error_text() const { return error_text_; }

 private:
  struct Impl;
  void Event(SocketEvent e, const std::string& text);
  bool Connect();
  bool WriteAll(std::string_view bytes);
  // Receives one block of at most 500 bytes into `buf` (`got` bytes), waiting until
  // `deadline` (`left` from now) with the idle hook between waits of at most idle_interval.
  // Returns 1 with data, 0 on time-out, -1 on socket failure (the peer closing included), -2
  // when the link was closed (by the idle hook) while waiting.
  int ReadSome(std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds left,
               char* buf, std::size_t& got);
  std::string WaitRegistrationAnswer(const std::function<bool()>& abort_requested, bool* aborted);

  LinkTimings timings_;
  std::string host_;
  std::string id_dev_;
  std::function<void()> idle_;
  std::function<void(SocketEvent, const std::string&)> events_;
  std::string error_text_;
  bool connecting_ = false;
  std::unique_ptr<Impl> impl_;
};

// The process-wide link, attached to the process-wide engine on first use.
RelayLink& TheLink();
bool OpenLink();
Registration RegisterDevice(const std::function<bool()>& abort_requested = {});
void CloseLink();

}  // namespace tolvanet
