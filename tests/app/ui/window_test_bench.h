// What every window test stands on: a scripted platform, a configuration file of its own in a
// temporary directory (also the current directory), the built-in simulator with one register
// "TEST1" on a free loopback port, short link limits, and the program's windows.
#pragma once

#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/config.h"
#include "app/ui/windows.h"
#include "link/engine.h"
#include "link/relay_link.h"
#include "link/translate.h"
#include "sim/register.h"
#include "sim/server.h"
#include "tests/app/ui/scripted_platform.h"

namespace tolvanet::testing {

class WindowTestBench {
 public:
  // Call from init(); false when the simulator could not start. Without `create_config` the
  // configuration file is left missing, as on a first start.
  bool SetUp(bool create_config = true) {
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path().toStdString());
    platform = ScriptedPlatform();
    SetPlatform(&platform);
    TheAppState() = AppState();
    TheAppState().config_path = Path("fpinit.ini");
    std::filesystem::remove(Ini());
    if (create_config)
      CreateDefaultConfig(Ini());

    sim::ServerOptions options;
    options.port = 0;
    server = std::make_unique<sim::Server>(options);
    reg = &server->AddRegister("TEST1");
    if (!server->Start())
      return false;

    LinkTimings& t = TheLink().timings();
    t.port = server->port();
    t.stream_timeout = std::chrono::milliseconds(2000);
    t.wait_step = std::chrono::milliseconds(100);
    t.exchange_attempts = 1;
    t.exchange_steps = 5;
    t.register_attempts = 1;
    t.register_steps = 5;

    windows = std::make_unique<ui::Windows>();
    return true;
  }

  // Call from cleanup(). The original texts come back after StartIn chose a language.
  void TearDown() {
    TheLink().CloseLink();
    windows.reset();
    server.reset();
    SetPlatform(nullptr);
    std::filesystem::current_path(old_cwd_);
    if (language_chosen_) {
      UseLanguage(kOriginalLanguage, TOLVANET_LOCALE_DIR);
      language_chosen_ = false;
    }
  }

  // The windows built anew in `language` (they take their texts when they are made), and
  // connected; false when the language or the simulator cannot be had.
  bool StartIn(const char* language) {
    TearDown();
    language_chosen_ = true;
    if (!UseLanguage(language, TOLVANET_LOCALE_DIR))
      return false;
    return SetUp() && ConnectAndClear();
  }

  // Connects through the main window as an operator would; true when the link is up.
  bool Connect(const QString& id = "TEST1") {
    windows->Form1->Edit1->setText("127.0.0.1");
    windows->Form1->Edit2->setText(id);
    windows->Form1->Button3Click();
    return TheLink().IsActive();
  }

  // Connects and forgets what connecting sent and showed.
  bool ConnectAndClear() {
    if (!Connect())
      return false;
    reg->ClearRequests();
    platform.messages.clear();
    return true;
  }

  std::string Ini() const { return TheAppState().config_path; }
  std::string Path(const std::string& name) const {
    return (std::filesystem::path(dir_.path().toStdString()) / name).string();
  }
  // The codes the register received, oldest first.
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const auto& r : reg->requests())
      codes.push_back(r.code);
    return codes;
  }

  // The codes and texts the register received, oldest first.
  std::vector<std::pair<int, std::string>> Sent() const {
    std::vector<std::pair<int, std::string>> sent;
    for (const auto& r : reg->requests())
      sent.emplace_back(r.code, r.text);
    return sent;
  }

  ScriptedPlatform platform;
  std::unique_ptr<sim::Server> server;
  sim::Register* reg = nullptr;
  std::unique_ptr<ui::Windows> windows;

 private:
  QTemporaryDir dir_;
  std::filesystem::path old_cwd_;
  bool language_chosen_ = false;
};

}  // namespace tolvanet::testing
