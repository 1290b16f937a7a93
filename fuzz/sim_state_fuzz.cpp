// The simulator's state file reader on arbitrary files: a refusal naming its line, or registers
// whose memory writes back to a file that reads back the same, and that a register can run on:
// every command that reads the memory answers within an answer frame's bounds.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "link/commands.h"
#include "sim/register.h"
#include "sim/state_file.h"

namespace {

using namespace tolvanet;

void CheckAnswer(const sim::Answer& answer) {
  FUZZ_CHECK(answer.error_code.size() == 4);
  FUZZ_CHECK(answer.data.size() <= 207);
  for (auto b : answer.status)
    FUZZ_CHECK((b & 0x80) != 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<sim::RegisterState> states;
  std::string error;
  if (!sim::ParseStates(text, states, error)) {
    FUZZ_CHECK(error.rfind("line ", 0) == 0);
    FUZZ_CHECK(states.empty());
    return 0;
  }
  FUZZ_CHECK(error.empty());

  const std::string written = sim::SerializeStates(states);
  std::vector<sim::RegisterState> back;
  FUZZ_CHECK(sim::ParseStates(written, back, error));
  FUZZ_CHECK(back.size() == states.size());
  FUZZ_CHECK(sim::SerializeStates(back) == written);

  // The commands that show what the memory holds, with the password and a number (a line,
  // an operator, a counter); the flash read with an address and a length. The first
  // register only: one file holds any number, all read by the same code.
  static const int kReads[] = {cmd::kGetDateTime,           cmd::kGetHeaderFooter,
                               cmd::kGetRegistratorParams,  cmd::kGetPaymentParams,
                               cmd::kGetOperatorParams,     cmd::kGetServiceReminder,
                               cmd::kGetSerialNumber,       cmd::kGetFiscalNumber,
                               cmd::kGetTaxIdNumber,        cmd::kGetTaxes,
                               cmd::kGetDecimalPoint,       cmd::kGetIdDev,
                               cmd::kGetDiagnosticInfo,     cmd::kGetServiceCounter,
                               cmd::kGetFreeResources,      cmd::kReadDataFromBuf,
                               cmd::kGetModemState,         cmd::kGetNetworkParams,
                               cmd::kGetLastAcquirerSession};
  if (states.empty())
    return 0;
  // A register of its own for each input: nothing of an input before carries over, and what
  // an input allocates is freed with it (else libFuzzer takes each run for a possible leak).
  sim::Register reg(std::move(states.front()));
  reg.SetClock([] { return std::int64_t{1765324800}; });
  for (int code : kReads)
    CheckAnswer(reg.Execute(static_cast<std::uint8_t>(code), "406172;1;"));
  CheckAnswer(reg.Execute(cmd::kReadFlash, "406172;0;16;"));
  return 0;
}
