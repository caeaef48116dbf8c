#pragma once
// String resources of the program itself (not the operator texts of the language files).
#include <string>

namespace corvex::resources {

inline constexpr int kMainWindowTitleId = 1;
inline constexpr int kMainWindowClassId = 3;

// Returns string resource `id`, cut to `capacity` - 1 characters as the buffers that hold them
// are; an unknown id gives an empty text.
std::string program_string(int id, size_t capacity = 100);

}  // namespace corvex::resources
