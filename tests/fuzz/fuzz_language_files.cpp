// libFuzzer entry of the language files as loaded from disk and looked up (the body is shared
// with the corpus replay).
#include <cstdio>
#include <cstdlib>

#include "language_files_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = corvex::fuzzing::fuzz_language_files_input(data, size)) {
    std::fprintf(stderr, "fuzz_language_files: %s\n", fault);
    std::abort();
  }
  return 0;
}
