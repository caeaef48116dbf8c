// libFuzzer entry of the language-file parser (the body is shared with the corpus replay).
#include <cstdio>
#include <cstdlib>

#include "string_table_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const char* fault = corvex::fuzzing::fuzz_string_table_input(data, size)) {
    std::fprintf(stderr, "fuzz_string_table: %s\n", fault);
    std::abort();
  }
  return 0;
}
