// The clear-table question of the status chart: Yes deletes the short-term data log.
#include "logging/settings_dialogs.h"
#include "logging/short_term_log.h"
#include "platform/gui/dialog.h"
#include "resources/display_settings_dialogs.h"
#include "resources/window_classes.h"
#include "texts/localized_controls.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
namespace res = resources;

constexpr int kCaptionString = 373;  // "CLEAR TABLE"
constexpr int kYesString = 134;
constexpr int kNoString = 135;

}  // namespace

intptr_t clear_table_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      texts::set_localized_caption(&dialog, kCaptionString);
      return 1;
    case gui::MessageKind::DrawItem: {
      const auto& item = gui::draw_item_context(m);
      draw_settings_key(item, item.id == res::kClearTableYes ? kYesString : kNoString);
      return 1;
    }
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      if (id != res::kClearTableYes && id != res::kClearTableNo) return 0;
      if (id == res::kClearTableYes) {
        logging::clear_short_term_log();
        gui::invalidate_class(resources::AVERAGE_VALUES_WINDOW);
      }
      gui::end_dialog(&dialog, id);
      return 1;
    }
    default:
      return 0;
  }
}

intptr_t open_clear_table_dialog(gui::Window* owner) {
  res::register_display_settings_dialog_templates();
  return gui::dialog_box(res::kClearTableDialog, owner, &clear_table_procedure);
}

}  // namespace corvex::logging
