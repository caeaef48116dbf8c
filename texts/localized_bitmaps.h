#pragma once
// The localized bitmaps: button images and help pictures kept in each language's folder
// ("Languages\CODE\Bitmaps\NAME"), so that the labels drawn on them are translated with the
// rest of the texts. Index 0 is a place holder; the number in each name equals its index.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/geometry.h"

namespace corvex::texts {

inline constexpr int kLocalizedBitmapCount = 78;  // indexes 0..77
inline constexpr int kHelpButtonBitmap = 72;       // the warning window's help button
inline constexpr int kFirstRearDischargeImage = 74;
inline constexpr int kLastLabelledBitmap = 73;     // 1..73 carry a label, 74..77 are pictures

// The file name of an index ("PLACE HOLDER" for 0, empty outside 0..77).
std::string_view localized_bitmap_name(int index);
// The name controls drawn with the bitmap carry as window text: the file name without its
// "GRAPHIC_nnn_" prefix and ".BMP" ending ("PLENUM_1_SP_BUTTON"); empty outside 1..77.
std::string_view localized_bitmap_control_name(int index);
// The size at which the screens draw the bitmap (the button it is copied into, or the help
// viewer's picture); zero outside 1..77.
platform::Size localized_bitmap_size(int index);

// The panel path of the bitmap in the selected language's folder, under the disk root.
std::string localized_bitmap_path(int index);
// Loads the bitmap of the selected language (performing the lazy text load first); nothing
// when the index is outside 1..77 or the file cannot be read or decoded.
std::optional<platform::Bitmap> load_localized_bitmap(int index);

// The one cache of localized bitmaps that every screen draws from: the bitmap of the selected
// language, loaded on first use and again after the language changed. A file that cannot be
// read is not tried again until then. Nothing outside 1..77 or when the file is missing. GUI
// thread only; the pointer stays valid until the language changes or the image is released.
const platform::Bitmap* localized_image(int index);
// Frees the cached images of these indexes (a screen's destroy); they load again when next used.
void release_localized_images(std::span<const int> indexes);
// The same cache for pictures named by their panel path (a warning's picture, the help
// viewer's rear-discharge images, which always come from the English folder). A few are kept
// at a time, so that an animation does not read a file on every step; a picture that cannot be
// read is not kept. GUI thread only.
const platform::Bitmap* localized_picture(const std::string& panel_path);
// Frees every picture kept by path (the help viewer's destroy).
void release_localized_pictures();

// The warning picture and its help text in the selected language's folder for a node id and
// warning number ("Languages\CODE\WarningBitmaps\NID_02_WARNING_ID_03.bmp" / ".txt"), under
// the disk root. Node ids are used as given; the help viewer maps fan/heaters to node 2.
std::string warning_bitmap_path(int node_id, int warning_number);
std::string warning_text_path(int node_id, int warning_number);

}  // namespace corvex::texts
