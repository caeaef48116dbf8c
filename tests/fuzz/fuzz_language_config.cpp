// libFuzzer entry of the language configuration file (the body is shared with the corpus
// replay).
#include <cstdio>
#include <cstdlib>

#include "language_config_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = corvex::fuzzing::fuzz_language_config_input(data, size)) {
    std::fprintf(stderr, "fuzz_language_config: %s\n", fault);
    std::abort();
  }
  return 0;
}
