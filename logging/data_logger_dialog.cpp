#include "logging/data_logger_dialog.h"

#include <cstdio>
#include <vector>

#include "link/dryer_state.h"
#include "link/status_bytes.h"
#include "logging/log_tick.h"
#include "logging/usb_export.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "platform/io/files.h"
#include "platform/io/paths.h"
#include "resources/history_dialogs.h"
#include "texts/localized_controls.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
namespace res = resources;

constexpr int kCaptionString = 376;
constexpr int kOnString = 14;
constexpr int kOffString = 15;
constexpr int kUsedString = 377;
constexpr int kDeleteString = 378;
constexpr int kSendString = 379;
constexpr int kExitString = 145;

uint8_t g_display_copy = 0;
// The dialogs while they are open, the newest last (the close-to-full question may open one over
// another): the one-second tick brings their used space and marks up to date.
std::vector<gui::Window*> g_open;

void set_localized_item(gui::Window& dialog, int id, int number) {
  texts::set_localized_caption(gui::dialog_item(&dialog, id), number);
}

void set_mark(gui::Window& dialog, int id, bool on) {
  if (gui::Window* w = gui::dialog_item(&dialog, id)) gui::button_set_check(w, on);
}

// What follows the log and the controller: the ON/OFF marks and the used space. Brought up to
// date on opening, by the one-second tick and after a deletion; a paint only draws them.
void refresh(gui::Window& dialog) {
  // The marks follow what the controller reports, not the button last pressed.
  const bool on = link::mirror_byte(link::kDataLoggingSetting) == 1;
  set_mark(dialog, res::kDataLoggerOnMark, on);
  set_mark(dialog, res::kDataLoggerOffMark, !on);
  char used[32];
  std::snprintf(used, sizeof used, "%d %%", log_tick_state().log_used_percentage);
  gui::Window* text = gui::dialog_item(&dialog, res::kDataLoggerUsedText);
  if (text != nullptr && text->text() != used) gui::set_window_text(text, used);
}

void set_texts(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, kCaptionString);
  set_localized_item(dialog, res::kDataLoggerOff, kOffString);
  set_localized_item(dialog, res::kDataLoggerOffMark, kOffString);
  set_localized_item(dialog, res::kDataLoggerOn, kOnString);
  set_localized_item(dialog, res::kDataLoggerOnMark, kOnString);
  set_localized_item(dialog, res::kDataLoggerUsedLabel, kUsedString);
  set_localized_item(dialog, res::kDataLoggerDelete, kDeleteString);
  set_localized_item(dialog, res::kDataLoggerSend, kSendString);
  set_localized_item(dialog, res::kDataLoggerExit, kExitString);
}

void choose(gui::Window& dialog, uint8_t value) {
  set_mark(dialog, res::kDataLoggerOnMark, value == 1);
  set_mark(dialog, res::kDataLoggerOffMark, value != 1);
  g_display_copy = value;
  link::raise_write(link::PendingWrite::k289, {{link::kDataLoggingSetting, value}});
}

void delete_log(gui::Window& dialog) {
  platform::delete_file(kLongTermLogPath);  // a missing file is no matter
  refresh(dialog);
  gui::invalidate(&dialog);
}

bool on_command(gui::Window& dialog, int id) {
  switch (id) {
    case res::kDataLoggerOn:
      choose(dialog, 1);
      return true;
    case res::kDataLoggerOff:
      choose(dialog, 0);
      return true;
    case res::kDataLoggerDelete:
      if (gui::message_box(&dialog, "Delete data log file?", "DELETE?",
                           gui::kMbYesNo | gui::kMbIconQuestion) == gui::kIdYes) {
        delete_log(dialog);
      }
      return true;
    case res::kDataLoggerSend:
      send_data_log_to_usb(dialog);
      return true;
    case res::kDataLoggerExit:
      gui::end_dialog(&dialog, res::kDataLoggerExit);
      return true;
    default:
      return false;
  }
}

}  // namespace

uint8_t data_logger_display_copy() { return g_display_copy; }

void send_data_log_to_usb(gui::Window& dialog) {
  while (!platform::usb_present()) {
    if (gui::message_box(&dialog, "Please instert flash card into USB port.",
                         "USB FLASH CARD NOT PRESENT",
                         gui::kMbRetryCancel | gui::kMbIconStop) != gui::kIdRetry) {
      return;
    }
  }
  if (gui::message_box(&dialog, "Copy dryer data log file to usb flash drive as DryerDataLog.csv",
                       "DATA LOG FILE TO USB FLASH CARD",
                       gui::kMbYesNoCancel | gui::kMbIconInformation) != gui::kIdYes) {
    return;
  }
  const UsbCopyResult copy = copy_data_log_to_usb(platform::clock::local_now());
  if (copy.status != platform::FileStatus::Ok) {
    gui::message_box(&dialog, "Could not copy file to flashdrive.", "FAILED TO COPY",
                     gui::kMbOk | gui::kMbIconStop);
    return;
  }
  gui::message_box(&dialog, copy.short_name,
                   "Successfully copied following file to USB Flash Drive.", gui::kMbOk);
  if (gui::message_box(&dialog, "Copy successful.  Delete old data log file?", "DELETE?",
                       gui::kMbYesNo | gui::kMbIconQuestion) == gui::kIdYes) {
    delete_log(dialog);
  }
}

intptr_t data_logger_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      g_open.push_back(&dialog);
      gui::center_window(&dialog, gui::dialog_owner(&dialog));
      set_texts(dialog);
      refresh(dialog);
      return 1;
    case gui::MessageKind::Destroy:
      std::erase(g_open, &dialog);
      return 0;
    case gui::MessageKind::Command:
      return on_command(dialog, gui::command_id(m)) ? 1 : 0;
    default:
      return 0;
  }
}

void refresh_data_logger_dialog() {
  for (gui::Window* dialog : g_open) refresh(*dialog);
}

intptr_t open_data_logger_dialog(gui::Window* owner) {
  res::register_history_dialog_templates();
  return gui::dialog_box(res::kDataLoggerDialog, owner, &data_logger_procedure);
}

}  // namespace corvex::logging
