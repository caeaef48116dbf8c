#include "resources/program_strings.h"

namespace corvex::resources {

std::string program_string(int id, size_t capacity) {
  const char* text = "";
  switch (id) {
    case kMainWindowTitleId: text = "Grain Dryer Display"; break;
    case kMainWindowClassId: text = "CORVEX_DRYER_DISPLAY"; break;
    default: break;
  }
  std::string s(text);
  if (capacity > 0 && s.size() > capacity - 1) s.resize(capacity - 1);
  return s;
}

}  // namespace corvex::resources
