#pragma once
// The two test screens of the display I/O board that the diagnostics screen opens: the
// light-output test (" Display I/O Switch Light Outputs - 28") and the switch test
// (" Display I/O Switch Test - 31"). Both only mirror bits the controller reports; they never
// write anything. The status decoder repaints them when their bytes change.
#include <cstdint>

#include "platform/gui/window.h"

namespace corvex::settings {

intptr_t open_light_output_test(platform::gui::Window* owner);
intptr_t open_switch_test(platform::gui::Window* owner);

// Output k (0 = J1-01 ... 15 = J2-08) of the light-output test: the status byte and bit of its
// ACTIVATED box; the SHORTED box reads the same bit of the byte 62 below (177, 178).
struct OutputBit {
  uint16_t offset;
  unsigned bit;
};
OutputBit activated_bit(int output);

// Shows a help file of the current language in a message box under localized title `title`
// (an empty box when the file is missing).
void show_help_file(platform::gui::Window* owner, const char* file_name, int title);

}  // namespace corvex::settings
