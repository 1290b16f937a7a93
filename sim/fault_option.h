// Aimed faults written as text, for the simulator's command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sim/register.h"

namespace tolvanet::sim {

// Reads "WHAT@CODE[+SKIP][*COUNT]": WHAT is an error code as it travels (four hexadecimal
// digits, "0006") or one of "noanswer", "nak", "badsum"; CODE is the command code in
// hexadecimal or "any"; SKIP matching requests pass first, then COUNT (default 1) are hit.
// "0006@42*2": the next two answers to 0x42 carry "0006"; "noanswer@any+2": the third request
// goes unanswered. Nothing, with the reason in `why`, when the text does not read.
std::optional<AimedFault> ParseAimedFault(std::string_view text, std::string& why);

}  // namespace tolvanet::sim
