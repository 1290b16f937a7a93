// A simulator on a free loopback port with one register, and the core's client attached to it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "link/engine.h"
#include "link/relay_link.h"
#include "sim/register.h"
#include "sim/server.h"

namespace tolvanet::sim::testing {

// Short waiting limits: a missing answer is given up after about `steps` x 50 ms.
inline LinkTimings ShortTimings(std::uint16_t port, int steps = 40) {
  LinkTimings t;
  t.port = port;
  t.stream_timeout = std::chrono::milliseconds(2000);
  t.wait_step = std::chrono::milliseconds(50);
  t.exchange_attempts = 1;
  t.exchange_steps = steps;
  t.register_attempts = 1;
  t.register_steps = steps;
  t.idle_interval = std::chrono::milliseconds(10);
  return t;
}

// A client of the simulator: link plus engine.
struct Client {
  explicit Client(std::uint16_t port, std::string id_dev = "1", int steps = 40)
      : link(ShortTimings(port, steps)) {
    link.SetHost("127.0.0.1");
    link.SetIdDev(std::move(id_dev));
    engine.SetTransport(&link);
  }
  // Connects and registers; the relay's answer.
  std::string Connect() {
    if (!link.OpenLink())
      return "connect failed: " + link.error_text();
    return link.RegisterDevice().answer;
  }
  ReplyRecord& Run(int code, std::string_view text) { return engine.ExecuteCommand(code, text); }

  RelayLink link;
  Engine engine;
};

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ServerOptions options;
    options.port = 0;
    server_ = std::make_unique<Server>(options);
    reg_ = &server_->AddRegister("1");
    reg_->ChangeFaults([](Faults& f) { f.syn_interval_ms = 1; });
    ASSERT_TRUE(server_->Start()) << server_->error_text();
    client_ = std::make_unique<Client>(server_->port());
    ASSERT_TRUE(IsReadyAnswer(client_->Connect()));
  }

  ReplyRecord& Run(int code, std::string_view text) { return client_->Run(code, text); }
  // The error code of a command (or "timeout").
  std::string Code(int code, std::string_view text) {
    ReplyRecord& r = Run(code, text);
    return r.NoAnswer() ? std::string("timeout") : r.error_code;
  }
  std::uint8_t Status(int byte) { return client_->engine.reply().status_bytes[byte]; }

  std::unique_ptr<Server> server_;
  Register* reg_ = nullptr;
  std::unique_ptr<Client> client_;
};

}  // namespace tolvanet::sim::testing
