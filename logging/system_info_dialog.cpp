#include "logging/system_info_dialog.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/io/clock.h"
#include "platform/io/meminfo.h"
#include "resources/history_dialogs.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
namespace res = resources;

constexpr int kCaptionString = 422;
constexpr int kVersionString = 423;
constexpr int kTotalString = 424;
constexpr int kAvailableString = 425;
constexpr int kNoticeString = 426;
constexpr int kExitString = 145;
constexpr int kAboveCentre = 20;
// The six lines are written in Tahoma 14 pixels high, weight 500, black, on the dialog's face.
constexpr platform::FontSpec kLineFont{14, 500};
constexpr int kLineIds[] = {res::kSystemInfoVersion,   res::kSystemInfoTime,
                            res::kSystemInfoDate,      res::kSystemInfoTotal,
                            res::kSystemInfoAvailable, res::kSystemInfoNotice};

// The static class's own procedure, which the lines keep for everything but their text.
gui::WindowProc g_static_procedure = nullptr;

intptr_t info_line_procedure(gui::Window& line, const gui::Message& m) {
  if (m.kind == gui::MessageKind::Paint) {
    if (!line.text().empty()) {
      gui::paint_context(m).canvas->draw_text(
          line.text(), line.client_rect(), kLineFont, platform::colors::kBlack,
          platform::text_format::kWordBreak | platform::text_format::kExpandTabs);
    }
    return 0;
  }
  return g_static_procedure != nullptr ? g_static_procedure(line, m)
                                       : gui::default_window_procedure(line, m);
}

// The lines draw their text in the window's own font instead of the controls' default.
void use_line_font(gui::Window& dialog) {
  for (int id : kLineIds) {
    gui::Window* line = gui::dialog_item(&dialog, id);
    if (line == nullptr || line->procedure() == &info_line_procedure) continue;
    g_static_procedure = line->procedure();
    line->set_procedure(&info_line_procedure);
    gui::invalidate(line);
  }
}

void set_item(gui::Window& dialog, int id, const std::string& text) {
  gui::Window* item = gui::dialog_item(&dialog, id);
  if (item != nullptr && item->text() != text) gui::set_window_text(item, text);
}

void paint(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, kCaptionString);
  char version[160];
  std::snprintf(version, sizeof version, "%s: %d.%02d",
                texts::localized_text(kVersionString).c_str(), kSoftwareVersionMajor,
                kSoftwareVersionMinor);
  set_item(dialog, res::kSystemInfoVersion, version);
  const platform::LocalTime now = platform::clock::local_now();
  set_item(dialog, res::kSystemInfoTime, platform::format_time(now, "h':'mm':'ss tt"));
  set_item(dialog, res::kSystemInfoDate, platform::format_date(now, "dddd  MMM dd',' yyy"));
  const platform::MemoryStatus memory =
      platform::memory_status().value_or(platform::MemoryStatus{});
  set_item(dialog, res::kSystemInfoTotal,
           memory_line(texts::localized_text(kTotalString), memory.total_bytes));
  set_item(dialog, res::kSystemInfoAvailable,
           memory_line(texts::localized_text(kAvailableString), memory.available_bytes));
  texts::set_localized_caption(gui::dialog_item(&dialog, res::kSystemInfoNotice), kNoticeString);
  texts::set_localized_caption(gui::dialog_item(&dialog, res::kSystemInfoExit), kExitString);
}

// Centred across the owner and 20 pixels above its middle, never above the owner's top.
void place(gui::Window& dialog) {
  gui::Window* owner = gui::dialog_owner(&dialog);
  if (owner == nullptr) return;
  const platform::Rect o = owner->screen_rect();
  const platform::Rect r = dialog.rect();
  const int x = o.left + (o.width() - r.width()) / 2;
  const int y = std::max(o.top, o.top + (o.height() - r.height()) / 2 - kAboveCentre);
  gui::move_window(&dialog, platform::Rect::from_xywh(x, y, r.width(), r.height()));
}

}  // namespace

std::string memory_line(const std::string& label, uint64_t bytes) {
  char line[200];
  std::snprintf(line, sizeof line, "%s: %" PRIu64 " Bytes", label.c_str(), bytes);
  return line;
}

intptr_t system_info_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      place(dialog);
      use_line_font(dialog);
      paint(dialog);
      return 1;
    case gui::MessageKind::Paint:
      paint(dialog);
      return 0;
    case gui::MessageKind::Command:
      if (gui::command_id(m) == res::kSystemInfoExit) {
        gui::end_dialog(&dialog, res::kSystemInfoExit);
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}

intptr_t open_system_information(gui::Window* owner) {
  res::register_history_dialog_templates();
  return gui::dialog_box(res::kSystemInfoDialog, owner, &system_info_procedure);
}

}  // namespace corvex::logging
