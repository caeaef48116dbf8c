#pragma once
// The program's own bitmaps of the main window, drawn by code into memory bitmaps the first time
// they are asked for: 137 and 136, two 159 x 41 button faces shared with the diagnostics and
// auto-start screens (137 a green "go" face, 136 a red "stop" face), and 595, the 44 x 40 image
// of the auto-start status button (a small dryer with a running clock hand).
#include "platform/gfx/bitmap.h"

namespace corvex::resources {

inline constexpr int kGreenFaceBitmap = 137;
inline constexpr int kRedFaceBitmap = 136;
inline constexpr int kAutoStartStatusBitmap = 595;

// Returns the bitmap of that resource number, or nullptr for a number that is not one of them.
// The bitmaps live for the whole run.
const platform::Bitmap* shell_resource_bitmap(int resource_id);

}  // namespace corvex::resources
