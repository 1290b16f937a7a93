// Encodes and parses the GetDateTime exchange N times (N from the command line) and nothing
// else, for counting instructions with callgrind: scripts/bench runs it for N and 2N frames,
// and the difference divided by N is the cost of one frame without the program's start.
#include <cstdio>
#include <cstdlib>

#include "bench/exchange.h"

int main(int argc, char** argv) {
  using namespace tolvanet::bench;
  const long n = argc > 1 ? std::atol(argv[1]) : 1000;
  const std::string answer = GetDateTimeAnswer();
  tolvanet::AnswerParser parser;
  std::string frame;
  long ok = 0;
  for (long i = 0; i < n; ++i)
    ok += EncodeAndParse(parser, frame, answer, static_cast<std::uint8_t>(i)) ? 1 : 0;
  std::printf("%ld of %ld frames parsed\n", ok, n);
  return ok == n ? 0 : 1;
}
