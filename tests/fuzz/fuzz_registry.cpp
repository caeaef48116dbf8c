// libFuzzer entry of the registry store and the display settings read from it (the body is
// shared with the corpus replay).
#include <cstdio>
#include <cstdlib>

#include "registry_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = corvex::fuzzing::fuzz_registry_input(data, size)) {
    std::fprintf(stderr, "fuzz_registry: %s\n", fault);
    std::abort();
  }
  return 0;
}
