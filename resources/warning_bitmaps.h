#pragma once
// The program's own bitmaps of the warning window, drawn by code into memory bitmaps the first
// time they are asked for: 259, a panel that has lost its link (100 x 75); 260, the dryer's
// controller cabinet (100 x 124); 517, a warning sign (100 x 92). They sit on the warning
// window's grey, which they share as background, and the first two carry the stubs of the
// cable that the lost-link picture draws between them.
#include "platform/gfx/bitmap.h"

namespace corvex::resources {

inline constexpr int kLostLinkPanelBitmap = 259;
inline constexpr int kControllerCabinetBitmap = 260;
inline constexpr int kWarningSignBitmap = 517;

// Returns the bitmap of that resource number, or nullptr for a number that is not one of them.
// The bitmaps live for the whole run.
const platform::Bitmap* warning_resource_bitmap(int resource_id);

}  // namespace corvex::resources
