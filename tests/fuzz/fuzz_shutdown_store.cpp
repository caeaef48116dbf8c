// libFuzzer entry of the shutdown-history store (the body is shared with the corpus replay).
#include <cstdio>
#include <cstdlib>

#include "shutdown_store_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = corvex::fuzzing::fuzz_shutdown_store_input(data, size)) {
    std::fprintf(stderr, "fuzz_shutdown_store: %s\n", fault);
    std::abort();
  }
  return 0;
}
