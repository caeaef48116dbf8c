// libFuzzer entry of the simulator's command-frame handling (the body is shared with the
// corpus replay).
#include <cstdio>
#include <cstdlib>

#include "sim_command_frame_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = corvex::fuzzing::fuzz_sim_command_frame_input(data, size)) {
    std::fprintf(stderr, "fuzz_sim_command_frame: %s\n", fault);
    std::abort();
  }
  return 0;
}
