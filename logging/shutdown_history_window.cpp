#include "logging/shutdown_history_window.h"

#include <string>
#include <vector>

#include "link/dryer_state.h"
#include "logging/tick_duties.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "platform/io/paths.h"
#include "resources/history_dialogs.h"
#include "texts/help_viewer.h"
#include "texts/localized_controls.h"
#include "texts/texts.h"

namespace corvex::logging {

namespace {

namespace gui = platform::gui;
namespace res = resources;

constexpr int kCaptionString = 427;
constexpr int kSortWarningString = 429;
constexpr int kSortTimeString = 430;
constexpr int kSortNodeString = 431;
constexpr int kCopyFirstString = 434;
constexpr int kCopySecondString = 435;
constexpr int kHelpString = 3;
constexpr int kExitString = 145;
constexpr int kYesString = 134;
constexpr int kNoString = 135;
constexpr int kCancelString = 10;
constexpr int kNoSelectionText = 471;
constexpr int kNoSelectionCaption = 472;

// Caption and message strings of a question.
struct Question {
  int caption;
  int message;
};
constexpr Question kClearQuestion{437, 436};
constexpr Question kCopyQuestion{439, 438};
constexpr Question kDriveMissing{441, 440};

// A control's text from a localized string; without a loaded text the template's stays.
void set_localized_item(gui::Window& dialog, int id, int number) {
  texts::set_localized_caption(gui::dialog_item(&dialog, id), number);
}

void show_order(gui::Window& dialog, HistoryOrder order) {
  auto mark = [&](int id, bool on) {
    if (gui::Window* w = gui::dialog_item(&dialog, id)) gui::button_set_check(w, on);
  };
  mark(res::kHistorySortedWarning, order == HistoryOrder::Warning);
  mark(res::kHistorySortedTime, order == HistoryOrder::Time);
  mark(res::kHistorySortedNode, order == HistoryOrder::Node);
}

void sort_by(gui::Window& dialog, HistoryOrder order) {
  fill_history_list(dialog, order);
  show_order(dialog, order);
}

void paint(gui::Window& dialog) {
  texts::set_localized_caption(&dialog, kCaptionString);
  set_localized_item(dialog, res::kHistorySortedWarning, kSortWarningString);
  set_localized_item(dialog, res::kHistorySortWarning, kSortWarningString);
  set_localized_item(dialog, res::kHistorySortedTime, kSortTimeString);
  set_localized_item(dialog, res::kHistorySortTime, kSortTimeString);
  set_localized_item(dialog, res::kHistorySortedNode, kSortNodeString);
  set_localized_item(dialog, res::kHistorySortNode, kSortNodeString);
  const std::string first = texts::localized_text(kCopyFirstString);
  const std::string second = texts::localized_text(kCopySecondString);
  if (!first.empty() || !second.empty()) {
    gui::Window* copy = gui::dialog_item(&dialog, res::kHistoryCopy);
    const std::string text = first + " " + second;
    if (copy != nullptr && copy->text() != text) gui::set_window_text(copy, text);
  }
  set_localized_item(dialog, res::kHistoryShowHelp, kHelpString);
  set_localized_item(dialog, res::kHistoryExit, kExitString);
}

void open_columns(gui::Window& dialog) {
  gui::Window* list = gui::dialog_item(&dialog, res::kHistoryList);
  if (list == nullptr || gui::list_view_column_count(list) > 0) return;
  gui::list_view_add_column(list, "Shutdown ID", 280);
  gui::list_view_add_column(list, "Node ID", 140);
  gui::list_view_add_column(list, "Date", 90);
  gui::list_view_add_column(list, "Time", 90);
  // The node, date and time columns are wide enough for "FAN/HEATER INT #6", "Sep 30, 2026"
  // and "12:59 PM" whole; the shutdown text takes the rest.
  gui::list_view_set_column_width(list, 0, 270);
  gui::list_view_set_column_width(list, 1, 135);
  gui::list_view_set_column_width(list, 2, 100);
  gui::list_view_set_column_width(list, 3, 90);
}

// The questions: caption, message and the three keys from the language; a key closes the
// question with its id.
intptr_t question_procedure(gui::Window& q, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog: {
      const auto* question = reinterpret_cast<const Question*>(m.lparam);
      texts::set_localized_caption(&q, question->caption);
      set_localized_item(q, res::kQuestionText, question->message);
      set_localized_item(q, res::kQuestionFirst, kYesString);
      set_localized_item(q, res::kQuestionSecond, kNoString);
      set_localized_item(q, res::kQuestionThird, kCancelString);
      return 1;
    }
    case gui::MessageKind::Command: {
      const int id = gui::command_id(m);
      if (id == res::kQuestionFirst || id == res::kQuestionSecond || id == res::kQuestionThird) {
        gui::end_dialog(&q, id);
        return 1;
      }
      return 0;
    }
    default:
      return 0;
  }
}

bool ask(gui::Window& owner, int resource_id, const Question& question) {
  return gui::dialog_box(resource_id, &owner, &question_procedure,
                         reinterpret_cast<intptr_t>(&question)) == res::kQuestionFirst;
}

void copy_to_drive(gui::Window& dialog) {
  const ExportResult result = export_shutdown_history();
  if (!result.message.empty()) gui::message_box(&dialog, result.message, "", gui::kMbOk);
  // A stick pulled out or full during the write: the same words as a failed data log copy.
  if (result.write_failed) {
    gui::message_box(&dialog, "Could not copy file to flashdrive.", "FAILED TO COPY",
                     gui::kMbOk | gui::kMbIconStop);
  }
}

void show_help(gui::Window& dialog) {
  gui::Window* list = gui::dialog_item(&dialog, res::kHistoryList);
  const int row = list != nullptr ? gui::list_view_selection(list) : -1;
  if (row < 0) {
    gui::message_box(&dialog, texts::localized_text(kNoSelectionText),
                     texts::localized_text(kNoSelectionCaption), gui::kMbOkCancel);
    return;
  }
  const HelpCode code = help_code_of(gui::list_view_cell(list, row, 0));
  // The viewer stays open while no warning is reported: it was asked for, not raised.
  link::DryerState& s = link::dryer_state();
  s.warning_help_from_history.store(1, std::memory_order_relaxed);
  texts::open_warning_help(code.node, code.warning, &dialog);
  s.warning_help_from_history.store(0, std::memory_order_relaxed);
}

void clear_request(gui::Window& dialog) {
  if (ask(dialog, res::kHistoryClearQuestion, kClearQuestion)) {
    clear_shutdown_history();
    sort_by(dialog, HistoryOrder::Time);
  }
}

void on_exit(gui::Window& dialog) {
  if (shutdown_history_hold_countdown() > 0) {
    gui::end_dialog(&dialog, res::kHistoryExit);
    return;
  }
  // EXIT was held for five seconds: the hidden CLEAR HISTORY instead of closing. The countdown
  // starts over at 10 (the next tick without EXIT held sets it back to 5), so the next plain
  // press closes.
  restart_shutdown_history_hold(kHistoryHoldAfterClear);
  clear_request(dialog);
}

bool on_command(gui::Window& dialog, int id) {
  switch (id) {
    case res::kHistorySortWarning:
      sort_by(dialog, HistoryOrder::Warning);
      return true;
    case res::kHistorySortTime:
      sort_by(dialog, HistoryOrder::Time);
      return true;
    case res::kHistorySortNode:
      sort_by(dialog, HistoryOrder::Node);
      return true;
    case res::kHistoryExit:
      on_exit(dialog);
      return true;
    case res::kHistoryClear:
      clear_request(dialog);
      return true;
    case res::kHistoryCopy:
      request_history_copy(dialog);
      return true;
    case res::kHistoryShowHelp:
      show_help(dialog);
      return true;
    default:
      return false;
  }
}

}  // namespace

void fill_history_list(gui::Window& dialog, HistoryOrder order) {
  gui::Window* list = gui::dialog_item(&dialog, res::kHistoryList);
  std::vector<HistoryRecord> records;
  if (list == nullptr || !read_history(order, records)) return;
  gui::list_view_delete_all(list);
  for (const HistoryRecord& r : records) {
    const int row = gui::list_view_add_row(list, r.shutdown_text);
    gui::list_view_set_cell(list, row, 1, r.node_name);
    gui::list_view_set_cell(list, row, 2, history_date_text(r.file_time));
    gui::list_view_set_cell(list, row, 3, history_time_text(r.file_time));
  }
}

void request_history_copy(gui::Window& dialog) {
  // The drive-missing notice's YES makes the request again, so the drive is looked for anew.
  while (!platform::usb_present()) {
    if (!ask(dialog, res::kHistoryDriveMissing, kDriveMissing)) return;
  }
  if (ask(dialog, res::kHistoryCopyQuestion, kCopyQuestion)) copy_to_drive(dialog);
}

intptr_t shutdown_history_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      set_shutdown_history_window(&dialog);
      open_columns(dialog);
      history_record_count();
      sort_by(dialog, HistoryOrder::Time);
      paint(dialog);
      return 1;
    case gui::MessageKind::Paint:
      paint(dialog);
      return 0;
    case gui::MessageKind::Command:
      return on_command(dialog, gui::command_id(m)) ? 1 : 0;
    case gui::MessageKind::Destroy:
      set_shutdown_history_window(nullptr);
      return 0;
    default:
      return 0;
  }
}

intptr_t open_shutdown_history(gui::Window* owner) {
  res::register_history_dialog_templates();
  return gui::dialog_box(res::kShutdownHistoryDialog, owner, &shutdown_history_procedure);
}

}  // namespace corvex::logging
