// Heap allocations made by the benchmark's own thread (the servers' threads are not counted):
// every operator new of the program is counted.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace tolvanet::bench {

// Allocations by the calling thread since it started.
std::int64_t ThreadAllocations();

// Runs `transaction` `runs` more times after a benchmark's timed loop (the steady state) and
// sets the counter "allocs_per_transaction": the heap allocations of one transaction. Counted
// outside the timed loop, so that what the benchmark library allocates itself is not.
template <typename Transaction>
void CountAllocations(benchmark::State& state, Transaction&& transaction, int runs = 1000) {
  const std::int64_t start = ThreadAllocations();
  for (int i = 0; i < runs; ++i)
    transaction();
  state.counters["allocs_per_transaction"] =
      static_cast<double>(ThreadAllocations() - start) / runs;
}

}  // namespace tolvanet::bench
