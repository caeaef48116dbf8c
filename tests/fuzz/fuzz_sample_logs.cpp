// libFuzzer entry of the graph and short-term log files as the loaders and appends meet them
// (the body is shared with the corpus replay).
#include <cstdio>
#include <cstdlib>

#include "sample_logs_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = corvex::fuzzing::fuzz_sample_logs_input(data, size)) {
    std::fprintf(stderr, "fuzz_sample_logs: %s\n", fault);
    std::abort();
  }
  return 0;
}
