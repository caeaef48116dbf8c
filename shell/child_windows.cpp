// The screen windows of the main window, created once at start-up and then only shown and
// hidden.
#include "shell/startup.h"
#include "shell/window_classes.h"

namespace corvex::shell {

using platform::Rect;
using platform::gui::CreateParams;
namespace style = platform::gui::style;

namespace {

// A framed screen window with its caption; windows whose class is not registered yet are
// skipped, so start-up works while screens are still being added.
void create_screen(platform::gui::Window* main, const char* class_name, const char* title,
                   Rect rect, bool caption, bool shown) {
  if (!platform::gui::class_registered(class_name)) return;
  CreateParams p;
  p.class_name = class_name;
  p.text = title;
  p.style = style::kChild | style::kBorder | (caption ? style::kCaption : 0) |
            (shown ? style::kVisible : 0);
  p.rect = rect;
  p.parent = main;
  platform::gui::create_window(p);
}

}  // namespace

void create_child_windows(platform::gui::Window* main) {
  create_screen(main, WARNING_WINDOW, " WARNING - DRYER SHUTTING DOWN! - 05",
                Rect::from_xywh(10, 20, 600, 325), true, false);
}

}  // namespace corvex::shell
