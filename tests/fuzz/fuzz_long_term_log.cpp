// libFuzzer entry of the long-term CSV log as the percentage and the next write meet it (the
// body is shared with the corpus replay).
#include <cstdio>
#include <cstdlib>

#include "long_term_log_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = corvex::fuzzing::fuzz_long_term_log_input(data, size)) {
    std::fprintf(stderr, "fuzz_long_term_log: %s\n", fault);
    std::abort();
  }
  return 0;
}
