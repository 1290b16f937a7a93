// What the terminal and script tests share: their fixture files and a simulator on a free
// loopback port.
#pragma once

#include <string>

#include "sim/server.h"

namespace tolvanet::testing {

inline std::string DataFile(const std::string& name) {
  return std::string(TOLVANET_CLI_TEST_DATA) + "/" + name;
}

inline sim::ServerOptions LoopbackOptions() {
  sim::ServerOptions o;
  o.address = "127.0.0.1";
  o.port = 0;
  return o;
}

}  // namespace tolvanet::testing
