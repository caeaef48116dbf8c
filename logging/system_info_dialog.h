#pragma once
// The system information window (" SYSTEM INFORMATION / SOFTWARE VERSION - 32"): the display
// software's version, the panel's date and time at the last paint, its memory and a notice.
#include <cstdint>
#include <string>

#include "platform/gui/window.h"

namespace corvex::logging {

inline constexpr int kSoftwareVersionMajor = 2;
inline constexpr int kSoftwareVersionMinor = 12;

// "<label>: <bytes> Bytes" with the whole byte count, however large the memory is.
std::string memory_line(const std::string& label, uint64_t bytes);

// Opens the window modally over `owner`; returns the dialog's result.
intptr_t open_system_information(platform::gui::Window* owner);
intptr_t system_info_procedure(platform::gui::Window& dialog, const platform::gui::Message& m);

}  // namespace corvex::logging
