#pragma once
// Dialogs built from templates: a table of templates by resource number, modal dialogs that run
// the core's nested loop (also when opened from a timer routine), modeless dialogs, and the
// helpers dialog procedures use (items by id, centring).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/geometry.h"
#include "platform/gui/window.h"

namespace platform::gui {

inline constexpr std::string_view kDialogClass = "DIALOG";

struct ControlTemplate {
  std::string class_name;  // "BUTTON", "STATIC", "LISTVIEW" ... or a class of the program
  std::string text;
  int id = 0;
  uint32_t style = 0;      // window and control style bits; kVisible and kChild are added
  Rect rect;               // in the dialog's client coordinates
};

struct DialogTemplate {
  int resource_id = 0;
  std::string caption;
  Rect rect;               // outer rectangle on the screen, frame and caption included
  uint32_t style = 0;      // window style bits, usually dialog_style::kDialog
  std::vector<ControlTemplate> controls;
};

namespace dialog_style {
// The usual frame: a title bar with the caption and a raised edge.
constexpr uint32_t kDialog = style::kCaption | style::kRaisedEdge;
// Dialog template: centre over the owner (the screen without one) before InitDialog.
constexpr uint32_t kCenter = 1u << 30;
// Control template: created hidden (shown later by the dialog procedure).
constexpr uint32_t kHidden = 1u << 31;
}  // namespace dialog_style

// Adds a template to the table, replacing one of the same resource number.
void register_dialog_template(DialogTemplate t);
// Returns the template of that resource number, or nullptr.
const DialogTemplate* find_dialog_template(int resource_id);

// A dialog procedure returns nonzero when it handled the message; everything else gets the
// default handling (a Close ends a modal dialog with kDialogCancelled, destroys a modeless one).
using DialogProc = intptr_t (*)(Window& dialog, const Message& m);
constexpr intptr_t kDialogCancelled = 2;

// Creates the dialog with its controls, sends InitDialog (lparam = init_param), shows it, runs
// the modal loop and destroys it. Returns the value given to end_dialog, or -1 when there is no
// template of that number.
intptr_t dialog_box(int resource_id, Window* owner, DialogProc proc, intptr_t init_param = 0);
// The same from a template the caller holds (message boxes build theirs on the fly).
intptr_t dialog_box_indirect(const DialogTemplate& t, Window* owner, DialogProc proc,
                             intptr_t init_param = 0);
// Ends a modal dialog with a result (also from within InitDialog); a modeless one is destroyed.
void end_dialog(Window* dialog, intptr_t result);

// Creates and shows a modeless dialog; returns it, or nullptr when there is no template.
Window* create_dialog(int resource_id, Window* owner, DialogProc proc, intptr_t init_param = 0);
Window* create_dialog_indirect(const DialogTemplate& t, Window* owner, DialogProc proc,
                               intptr_t init_param = 0);

// Returns the dialog's control with that id, or nullptr.
Window* dialog_item(Window* dialog, int id);
// Sets a control's text; nothing happens when there is no such control.
void set_dialog_item_text(Window* dialog, int id, std::string_view text);
// Returns the window the dialog was opened for (may be nullptr).
Window* dialog_owner(const Window* dialog);
// True while a modal dialog's loop runs (or is about to).
bool dialog_is_modal(const Window* dialog);

// Moves w so that its centre is over relative_to's centre (the screen's when null), kept on the
// screen: positions that would fall off an edge are clamped to it.
void center_window(Window* w, Window* relative_to);
void center_on_screen(Window* w);

}  // namespace platform::gui
