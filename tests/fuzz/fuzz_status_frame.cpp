// libFuzzer entry of the status decoder with the screens it repaints (the body is shared with
// the corpus replay).
#include <cstdio>
#include <cstdlib>

#include "status_frame_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = corvex::fuzzing::fuzz_status_frame_input(data, size)) {
    std::fprintf(stderr, "fuzz_status_frame: %s\n", fault);
    std::abort();
  }
  return 0;
}
