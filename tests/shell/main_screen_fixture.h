#pragma once
// The real main window and its eighteen screen windows in the headless window system, on the
// panel data of the build (English), in virtual time. Modal
// dialogs the rules open are looked at and answered by a 100 ms watcher timer, since they
// run their own loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"
#include "resources/editor_dialogs.h"
#include "resources/moisture_dialogs.h"
#include "resources/shell_dialogs.h"
#include "resources/window_classes.h"
#include "settings/edit_requests.h"
#include "logging/display_settings.h"
#include "shell/plain_windows.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "shell/startup.h"
#include "platform/io/paths.h"
#include "texts/texts.h"
#include "texts/help_viewer.h"
#include "texts/localized_bitmaps.h"
#include "texts/localized_controls.h"
#include "texts/warning_window.h"
#include "tests/support/panel_disk.h"

namespace corvex::shell::testing {

namespace gui = platform::gui;
using platform::Color;
using platform::Rect;
using platform::rgb;

// What the watcher saw of one modal window, and of the temperature editor's request then.
struct SeenModal {
  std::string caption;
  // "temperature editor", "moisture setpoint" or "defaults notice" by their controls (their
  // captions are localized), else "message box".
  std::string kind;
  std::string owner_class;
  Rect rect;
  int low_slot = -1;
  int high_slot = -1;
  uint16_t working_value = 0;
  uint16_t maximum = 0;
  uint16_t minimum = 0;
  uint16_t default_value = 0;
  int request_code = 0;
  int help_topic = 0;
  const std::atomic<uint8_t>* pending_write = nullptr;
  uint8_t desired_low = 0;
  uint8_t desired_high = 0;
};

struct ModalWatch {
  std::vector<SeenModal> seen;
  // How to close each modal in turn: a command id sent to it, or 0 for a Close message.
  std::vector<int> answers;
};
inline ModalWatch& modal_watch() {
  static ModalWatch watch;
  return watch;
}

// Records the innermost modal window and closes it at once, so that each tick finds either no
// modal or a new one.
inline void watch_modal(gui::Window*, int) {
  gui::Window* modal = gui::active_modal();
  if (modal == nullptr) return;
  ModalWatch& in = modal_watch();
  SeenModal s;
  s.caption = modal->text();
  if (gui::dialog_item(modal, resources::kTemperatureAccept) != nullptr) {
    s.kind = "temperature editor";
  } else if (gui::dialog_item(modal, resources::kMoistureModifyButton) != nullptr) {
    s.kind = "moisture setpoint";
  } else if (gui::dialog_item(modal, resources::kDefaultsNoticeExit) != nullptr) {
    s.kind = "defaults notice";
  } else {
    s.kind = "message box";
  }
  if (const gui::Window* owner = gui::dialog_owner(modal)) s.owner_class = owner->class_name();
  s.rect = modal->screen_rect();
  const settings::TemperatureEditRequest& r = settings::temperature_edit_request;
  s.low_slot = r.low_slot;
  s.high_slot = r.high_slot;
  s.working_value = r.working_value;
  s.maximum = r.maximum;
  s.minimum = r.minimum;
  s.default_value = r.default_value;
  s.request_code = r.request_code;
  s.help_topic = int(texts::help_state().editor_topic.load());
  s.pending_write = r.pending_write;
  if (r.low_slot >= 0) {
    s.desired_low = link::dryer_state().desired[size_t(r.low_slot)].load();
    s.desired_high = link::dryer_state().desired[size_t(r.high_slot)].load();
  }
  const size_t index = in.seen.size();
  in.seen.push_back(s);
  const int answer = index < in.answers.size() ? in.answers[index] : 0;
  if (answer == 0) {
    gui::send_message(modal, {gui::MessageKind::Close, 0, 0});
  } else {
    gui::send_message(modal, {gui::MessageKind::Command, answer, 0});
  }
}

// The routine a test runs on the GUI thread from a timer, so that its modal windows run inside
// advance_virtual.
inline std::function<void()>& pending_action() {
  static std::function<void()> action;
  return action;
}

class MainScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui::init();
    platform::clock::use_virtual(1'700'000'000'000);
    gui::reset();
    forget_picture_images();
    platform::set_disk_root(corvex::test_support::PanelDisk::path());
    texts::reset_texts();
    link::reset_dryer_state();
    link::reset_link_hooks();
    modal_watch() = {};
    logging::display_settings().view_choice = 0;
    texts::help_state().topic.store(0);
    texts::help_state().available.store(0);
    texts::help_state().editor_topic.store(0);
    settings::temperature_edit_request = settings::TemperatureEditRequest{};
    metering_roll_dialog_requested.store(0);

    texts::register_warning_window_class();
    before_creation();
    register_main_window_class("MAIN_SCREEN_TEST");
    gui::CreateParams p;
    p.class_name = "MAIN_SCREEN_TEST";
    p.text = "main";
    p.style = gui::style::kVisible | gui::style::kTopmost;
    p.rect = {0, 0, gui::kScreenWidth, gui::kScreenHeight};
    main = gui::create_window(p);
    ASSERT_NE(main, nullptr);
    shell_state().main_window = main;
    create_child_windows(main);
    gui::paint_pending();
  }

  void TearDown() override {
    gui::reset();
    forget_picture_images();
    shell_state().main_window = nullptr;
    pending_action() = nullptr;
    platform::set_disk_root("");
    texts::reset_texts();
  }

  // The screens' picture buttons keep their images by index across windows; images read from
  // this test's disk must not be taken for those of the next test's.
  static void forget_picture_images() {
    std::vector<int> all;
    for (int i = 1; i < texts::kLocalizedBitmapCount; ++i) all.push_back(i);
    texts::release_picture_images(all);
  }

  // Lets a fixture set the dryer state the windows are created in.
  virtual void before_creation() {}

  static void set_mirror(int offset, uint8_t value) {
    link::dryer_state().mirror[size_t(offset)].store(value);
  }
  static gui::Window* screen(const char* class_name) {
    return gui::find_window_by_class(class_name);
  }
  static bool visible(const char* class_name) {
    gui::Window* w = screen(class_name);
    return w != nullptr && w->is_visible();
  }
  gui::Window* button(int id) const { return gui::child_by_id(main, id); }

  // The class names of the visible screen windows (direct children of the main window).
  std::vector<std::string> visible_screens() const {
    std::vector<std::string> out;
    for (const auto& child : main->children()) {
      if (child->is_visible() && !gui::window_is_class(child.get(), gui::kButtonClass))
        out.push_back(child->class_name());
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  void command(int id) { gui::send_message(main, {gui::MessageKind::Command, id, 0}); }

  // Runs `action` from a timer routine with the watcher answering every modal window it
  // opens, `answers` in turn (0 closes).
  void run_with_modals(std::function<void()> action, std::vector<int> answers = {}) {
    modal_watch().answers = std::move(answers);
    pending_action() = std::move(action);
    gui::set_timer(main, 7001, 50, [](gui::Window* w, int id) {
      gui::kill_timer(w, id);
      if (pending_action()) pending_action()();
    });
    gui::set_timer(main, 7002, 100, &watch_modal);
    gui::advance_virtual(2000);
    gui::kill_timer(main, 7002);
  }

  void tap(gui::Window* w) {
    const Rect r = w->screen_rect();
    gui::inject_pointer_down({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    gui::inject_pointer_up();
    gui::advance_virtual(10);
  }

  static bool belongs_to(const gui::Window* w, const gui::Window* ancestor) {
    for (; w != nullptr; w = w->parent())
      if (w == ancestor) return true;
    return false;
  }

  gui::Window* main = nullptr;
};

}  // namespace corvex::shell::testing
