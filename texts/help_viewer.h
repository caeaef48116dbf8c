#pragma once
// The warning help viewer (dialog resource 169, "Shutdown Help File - 34"): the picture and the
// help text of one warning, opened from the warning window and from the shutdown history. While
// the main I/O reports its rear-discharge warning the picture is an animation of grain leaving
// the rear discharge.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/geometry.h"
#include "platform/gui/window.h"

namespace corvex::texts {

inline constexpr int kHelpViewerResource = 169;
inline constexpr int kHelpCloseId = 1224;
inline constexpr int kHelpListId = 1225;
// Where the picture is copied in the viewer's client area; the text list covers its lower part.
inline constexpr platform::Rect kHelpPictureRect{10, 0, 510, 400};
inline constexpr platform::Rect kHelpListRect{10, 250, 510, 400};
inline constexpr char kNoTextFileLine[] = "NO TEXT FILE AVAILABLE.";

// The help topic and the help-available flag the screens set before opening help. A screen
// that opens the temperature editor names the editor's topic in `editor_topic`; the viewer
// makes it the topic when it opens.
struct HelpState {
  std::atomic<uint32_t> topic{0};
  std::atomic<uint8_t> available{0};
  std::atomic<uint32_t> editor_topic{0};
};
HelpState& help_state();

// What the open viewer works from, kept from its opening.
struct HelpViewerState {
  uint32_t node_id = 0;         // as reported (2..7 for the fan/heaters)
  uint32_t warning_number = 0;
  bool picture_missing = false;
  bool text_loaded = false;
  int animation_step = 0;       // 0..6, stepped by the 100 ms tick during a rear discharge
};
const HelpViewerState& help_viewer_state();

// Registers the templates of the viewer (169) and of the language selection (84). Calling it
// again changes nothing.
void register_text_dialogs();

// Saves the node id and warning number the viewer is opened for; open_warning_help does this
// itself, a viewer created otherwise (modeless, in tests) needs it first.
void set_help_viewer_warning(int node_id, int warning_number);

// Opens the viewer modally for a warning of a node; returns the dialog's result (the id of the
// control that closed it, kDialogCancelled when Cancel was chosen for a missing picture).
intptr_t open_warning_help(int node_id, int warning_number, platform::gui::Window* owner);

// The viewer's dialog procedure; returns nonzero when it handled the message.
intptr_t help_viewer_procedure(platform::gui::Window& dialog, const platform::gui::Message& m);

// The rear-discharge animation, called by the 100 ms tick: while status bytes 186 and 185 are
// 14 and 5 the step advances, and an open viewer repaints its picture when the image changes.
void help_viewer_animation_tick();

// The panel path of the picture the viewer shows for a saved node and warning at an animation
// step (reading the live status bytes for the rear discharge).
std::string help_picture_path(int node_id, int warning_number, int animation_step);

// The width in pixels that the items of the viewer's text list have for their text.
int help_list_text_width(const platform::gui::Window& list);

// One line of help text as the list shows it: whole when it fits `width` pixels in the list's
// font, else broken at its spaces into lines that fit (a word wider than a whole line is cut),
// the lines after the first indented four spaces past the line's own indentation.
std::vector<std::string> wrap_help_line(std::string_view text, int width);

// The node whose pictures and texts a node id uses: all fan/heaters (2..7) share node 2.
constexpr int help_file_node(int node_id) { return node_id >= 2 && node_id <= 7 ? 2 : node_id; }

}  // namespace corvex::texts
