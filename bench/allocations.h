#pragma once
// The heap allocations the benchmark program has made so far (every operator new is counted),
// so that a benchmark can report how many a piece of work made.
#include <cstdint>

namespace corvex::bench {

uint64_t allocation_count();

}  // namespace corvex::bench
