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
#include "link/frame.h"
#include "link/relay_link.h"
#include "sim/register.h"
#include "sim/server.h"
#include "tests/sim/sim_fixture.h"
#include "transfer/transfer.h"

namespace tolvanet::transfer::testing {

// Passes the link's answers through `rewrite`, which may change a frame's answer data (a
// renumbered packet, lower-case hexadecimal) before the engine sees it.
class RewritingLink : public Transport {
 public:
  using Rewrite = std::function<void(int code, std::string& data)>;
  explicit RewritingLink(Transport& inner) : inner_(inner) {}
  Rewrite rewrite;

  bool IsActive() const override { return inner_.IsActive(); }
  Result Exchange(std::string_view wire, const Consumer& consume) override {
    if (!rewrite)
      return inner_.Exchange(wire, consume);
    std::string frame;
    return inner_.Exchange(wire, [&](std::string_view block) {
      for (char c : block) {
        if (c != static_cast<char>(ctl::kSyn))
          frame += c;
      }
      if (frame.empty() || frame[0] != static_cast<char>(ctl::kSoh))
        return consume(block);
      if (frame.size() < 2)
        return false;
      const std::size_t m = static_cast<unsigned char>(frame[1]) - 0x30u;
      if (frame.size() < 21 + m)
        return false;
      const int code = static_cast<unsigned char>(frame[3]);
      std::string data = frame.substr(9, m);
      std::array<std::uint8_t, 6> status{};
      for (std::size_t i = 0; i < 6; ++i)
        status[i] = static_cast<std::uint8_t>(frame[10 + m + i]);
      rewrite(code, data);
      return consume(BuildAnswerFrame(static_cast<std::uint8_t>(frame[2]),
                                      static_cast<std::uint8_t>(code), frame.substr(4, 4), data,
                                      status));
    });
  }

 private:
  Transport& inner_;
};

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
    rewriting_ = std::make_unique<RewritingLink>(*link_);
    TheEngine().SetTransport(rewriting_.get());

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
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const auto& r : reg_->requests())
      codes.push_back(r.code);
    return codes;
  }

  std::unique_ptr<sim::Server> server_;
  sim::Register* reg_ = nullptr;
  std::unique_ptr<RelayLink> link_;
  std::unique_ptr<RewritingLink> rewriting_;
  std::filesystem::path dir_;
  RecordingHost host_;
  Transfer transfer_{host_};
};

}  // namespace tolvanet::transfer::testing
