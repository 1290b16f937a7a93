// The transfer loops against the simulated register over loopback TCP: a simulator with one
// register, the process-wide engine attached to it, a host that records what the loops show,
// and a scratch directory for the files they write.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "link/engine.h"
#include "link/relay_link.h"
#include "sim/register.h"
#include "sim/server.h"
#include "tests/sim/sim_fixture.h"
#include "transfer/transfer.h"

namespace tolvanet::transfer::testing {

// The window or terminal, as the tests see it.
struct RecordingHost : TransferHost {
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  bool answer = true;
  std::vector<TransferProgress> progress;
  int replies = 0;
  int pumps = 0;
  std::function<void()> on_pump;
  std::function<void(const ReplyRecord&)> on_reply;

  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool Confirm(const std::string& text) override {
    questions.push_back(text);
    return answer;
  }
  void ProcessPendingMessages() override {
    ++pumps;
    if (on_pump)
      on_pump();
  }
  void ProgressChanged(const TransferProgress& p) override { progress.push_back(p); }
  void ReplyReceived(const ReplyRecord& reply) override {
    ++replies;
    if (on_reply)
      on_reply(reply);
  }
};

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::ServerOptions options;
    options.port = 0;
    server_ = std::make_unique<sim::Server>(options);
    reg_ = &server_->AddRegister("T1");
    reg_->ChangeFaults([](sim::Faults& f) { f.syn_interval_ms = 1; });
    ASSERT_TRUE(server_->Start()) << server_->error_text();
    link_ = std::make_unique<RelayLink>(sim::testing::ShortTimings(server_->port()));
    link_->SetHost("127.0.0.1");
    link_->SetIdDev("T1");
    ASSERT_TRUE(link_->OpenLink()) << link_->error_text();
    ASSERT_TRUE(IsReadyAnswer(link_->RegisterDevice().answer));
    TheEngine().SetTransport(link_.get());

    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("tolvanet_transfer_" + std::string(info->test_suite_name()) + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    TheEngine().SetTransport(nullptr);
    link_->CloseLink();
    server_->Stop();
    std::filesystem::remove_all(dir_);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // The requests of one command code, oldest first.
  std::vector<std::string> Texts(int code) const {
    std::vector<std::string> texts;
    for (const auto& r : reg_->requests()) {
      if (r.code == code)
        texts.push_back(r.text);
    }
    return texts;
  }
  // Passes the register's answers to `code` through `rewrite` (a renumbered packet, lower-case
  // hexadecimal); `rewrite` gets the answer's fields, each followed by ";".
  void Rewrite(int code, std::function<void(std::string& data)> rewrite) {
    reg_->SetAnswerRewrite([code, rewrite](const sim::Request& r, sim::Answer& a) {
      if (r.code == code)
        rewrite(a.data);
    });
  }
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const auto& r : reg_->requests())
      codes.push_back(r.code);
    return codes;
  }

  std::unique_ptr<sim::Server> server_;
  sim::Register* reg_ = nullptr;
  std::unique_ptr<RelayLink> link_;
  std::filesystem::path dir_;
  RecordingHost host_;
  Transfer transfer_{host_};
};

}  // namespace tolvanet::transfer::testing
