#pragma once
// Driving the setup dialogs for real: a fresh window system in virtual time, the panel texts
// and button images the build made, and a run of automation commands served by whichever
// modal loop is open. `probe N` runs the test's N-th check at that point of the run, inside the
// dialogs' loops, and answers with what the check returns.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "link/dryer_state.h"
#include "platform/gfx/png.h"
#include "platform/gui/automation.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/window.h"
#include "platform/io/clock.h"
#include "platform/io/paths.h"
#include "shell/plain_windows.h"
#include "texts/texts.h"
#include "tests/support/panel_disk.h"

namespace corvex::setup_testing {

namespace gui = platform::gui;
using platform::Rect;

inline constexpr char kOwnerClass[] = "SETUP_TEST_OWNER";

inline std::vector<std::function<std::string()>>& probes() {
  static std::vector<std::function<std::string()>> list;
  return list;
}
inline std::function<void(gui::Window*)>& opener() {
  static std::function<void(gui::Window*)> open;
  return open;
}

inline uint8_t desired(int offset) { return link::dryer_state().desired[offset].load(); }
inline uint8_t mirror(int offset) { return link::dryer_state().mirror[offset].load(); }
inline void set_mirror(int offset, uint8_t value) {
  link::dryer_state().mirror[offset].store(value);
}

// The raised flags, by their offsets (and words), in table order.
inline std::vector<std::string> raised_writes() {
  std::vector<std::string> out;
  for (size_t i = 0; i < link::kPendingWriteCount; ++i) {
    const auto w = link::PendingWrite(i);
    if (!link::write_raised(w)) continue;
    const link::PendingWriteName name = link::pending_write_name(w);
    out.push_back(std::to_string(name.offset) + (name.word ? std::string("-") + name.word : ""));
  }
  return out;
}

// The text of a control of the innermost modal dialog ("" when there is none).
inline std::string modal_item_text(int id) {
  gui::Window* item = gui::dialog_item(gui::active_modal(), id);
  return item ? item->text() : std::string();
}
inline std::string modal_caption() {
  gui::Window* w = gui::active_modal();
  return w ? w->text() : std::string();
}
inline bool modal_item_checked(int id) {
  gui::Window* item = gui::dialog_item(gui::active_modal(), id);
  return item != nullptr && gui::button_checked(item);
}
inline bool modal_item_shown(int id) {
  gui::Window* item = gui::dialog_item(gui::active_modal(), id);
  return item != nullptr && item->is_shown();
}

// Paints what is pending and writes the screen as NAME.png into the build folder, to look at.
inline void screenshot(const std::string& name) {
  gui::paint_pending();
  const std::string dir = std::string(CORVEX_BUILD_DIR) + "/settings_screenshots";
  std::filesystem::create_directories(dir);
  platform::write_png_file(dir + "/" + name + ".png", gui::framebuffer());
}

class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::clock::use_virtual(1'700'000'000'000);
    gui::init();
    gui::reset();
    gui::register_controls();
    platform::set_disk_root(corvex::test_support::PanelDisk::path());
    texts::reset_texts();
    link::reset_dryer_state();
    probes().clear();
    opener() = nullptr;
    gui::register_class(
        {kOwnerClass, gui::default_window_procedure, platform::colors::kBlack, true});
    owner = gui::create_window({kOwnerClass, "", gui::style::kVisible, {0, 0, 640, 480}});
    ASSERT_NE(owner, nullptr);
    gui::register_automation_command("probe", [](std::string_view args, bool* ok) {
      const size_t n = size_t(std::stoul(std::string(args)));
      if (n >= probes().size()) {
        *ok = false;
        return std::string("no such probe");
      }
      return probes()[n]();
    });
  }
  void TearDown() override {
    gui::set_automation_output({});
    gui::set_quit_handler(nullptr);
    gui::reset();
    platform::set_disk_root("");
    texts::reset_texts();
    link::reset_dryer_state();
  }

  // Adds a check for `probe N` (N in the order added); returns N.
  static int add_probe(std::function<std::string()> check) {
    probes().push_back(std::move(check));
    return int(probes().size() - 1);
  }

  // At 100 ms `open` runs (from a timer routine, as a button press would open the dialog);
  // meanwhile the commands of `script` run, after `wait 200`, in whichever loop is open. Returns
  // the answer lines; every command is expected to succeed.
  std::vector<std::string> run(std::function<void(gui::Window*)> open, const std::string& script) {
    opener() = std::move(open);
    if (opener()) {
      gui::set_timer(owner, 77, 100, [](gui::Window* w, int id) {
        gui::kill_timer(w, id);
        opener()(w);
      });
    }
    std::vector<std::string> output;
    gui::set_automation_output([&](std::string_view line) { output.emplace_back(line); });
    gui::set_quit_handler([] { gui::post_quit(0); });
    gui::start_automation_script("wait 200\n" + script + "\nquit\n");
    gui::run_message_loop();
    gui::set_automation_output({});
    for (const std::string& line : output) {
      EXPECT_EQ(line.rfind("error:", 0), std::string::npos) << line;
    }
    EXPECT_EQ(gui::active_modal(), nullptr) << "a dialog was left open";
    return output;
  }

  // The answer of the probe that ran as the `index`-th probe of the run.
  static std::vector<std::string> answers(const std::vector<std::string>& output) {
    std::vector<std::string> lines;
    for (const std::string& line : output) {
      if (line != "ok") lines.push_back(line);
    }
    return lines;
  }

  gui::Window* owner = nullptr;
};

}  // namespace corvex::setup_testing
