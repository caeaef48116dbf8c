// The benchmark program: every bench/*.cpp registers its cases; results go to the console as a
// table and, through --benchmark_out, to a JSON file.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
