// The script runner on arbitrary scripts (held in memory, read as a file's bytes), against a
// register that answers every command with a well-formed frame (tests/script/fake_register.h). The
// file is run whole, then stepped and continued from its start. A run is cut after a bounded number
// of lines, so that scripts that loop for ever end too.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "script/interpreter.h"
#include "tests/script/fake_register.h"

namespace {

using namespace tolvanet;

// Lines (and loop passes) of one run: a loop shows all its paths in far fewer passes.
constexpr int kMaxPasses = 200;

class BoundedHost : public script::ScriptHost {
 public:
  script::Interpreter* runner = nullptr;
  int passes = 0;

  void AddMessageLine(const std::string&) override {}
  void ShowMessage(const std::string&) override {}
  void ProcessPendingMessages() override {
    if (++passes >= kMaxPasses)
      runner->RequestStop();
  }
};

void CheckOutcome(const script::Interpreter& runner, script::RunOutcome outcome) {
  FUZZ_CHECK(!runner.running());
  FUZZ_CHECK(runner.variables().size() <= script::kMaxVariables);
  FUZZ_CHECK(runner.line_count() >= 0);
  if (outcome != script::RunOutcome::kError)
    FUZZ_CHECK(runner.error_message().empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  testing::FakeRegister device;
  device.answers[0x2F] = {"0000", "", /*silent=*/true, false};
  device.answers[0x30] = {"0000", "1;2;", false, /*bad_checksum=*/true};
  device.answers[0x31] = {"0302", "", false, false};
  device.answers[0x32] = {"0000", "12;abc;-3;4.5;", false, false};
  Engine engine;
  engine.SetTransport(&device);
  BoundedHost host;
  script::Interpreter runner(engine, host);
  host.runner = &runner;
  runner.SetRandomSeed(1);
  runner.SetScriptText(std::string(reinterpret_cast<const char*>(data), size));

  CheckOutcome(runner, runner.Run());
  runner.set_line_count(0);
  host.passes = 0;
  CheckOutcome(runner, runner.Step());
  host.passes = 0;
  CheckOutcome(runner, runner.Continue());
  return 0;
}
