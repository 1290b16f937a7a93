// The simulator's state file: the memory of every register, kept across restarts.
//
// A text file. The first line is "tolvanet-sim state 1"; then for each register a line
// "register <ID_DEV>", lines "<key> <value> ..." and a line "end". Values are single tokens:
// bytes below 0x21, "%" and 0x7F are written as "%" and two hexadecimal digits, so texts keep
// their Windows-1251 bytes and blanks survive.
#pragma once

#include <string>
#include <vector>

#include "sim/register_state.h"

namespace tolvanet::sim {

std::string SerializeStates(const std::vector<RegisterState>& states);

// Parses the file's text; false with `error` ("line N: ...") when it cannot be read.
bool ParseStates(const std::string& text, std::vector<RegisterState>& states, std::string& error);

// Writes the file through a temporary file and a rename, so a crash never leaves half a file.
bool SaveStateFile(const std::string& path, const std::vector<RegisterState>& states,
                   std::string& error);
// A missing file is not an error: `states` is then empty.
bool LoadStateFile(const std::string& path, std::vector<RegisterState>& states, std::string& error);

}  // namespace tolvanet::sim
