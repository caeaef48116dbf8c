// libFuzzer entry of the BMP reader (the body is shared with the corpus replay).
#include <cstdio>
#include <cstdlib>

#include "bmp_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = corvex::fuzzing::fuzz_bmp_input(data, size)) {
    std::fprintf(stderr, "fuzz_bmp: %s\n", fault);
    std::abort();
  }
  return 0;
}
