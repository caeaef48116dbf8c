// The graph setup and sample-time dialogs as the operator uses them: opened from a timer routine
// (as a button press would), answered through their own loops, with the settings read back from
// memory and from the registry store on a disk of the test's own.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "link/status_bytes.h"
#include "logging/log_tick.h"
#include "logging/short_term_log.h"
#include "platform/io/registry.h"
#include "resources/display_settings_dialogs.h"
#include "resources/window_classes.h"
#include "logging/display_settings.h"
#include "logging/settings_dialogs.h"
#include "support/process.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::logging {
namespace {

using namespace setup_testing;
namespace res = resources;

std::optional<std::vector<uint8_t>> stored(const char* name) {
  return platform::registry::read_value(kSettingsKey, name);
}

class SettingsDialogsTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    // The panel texts the build made, on a disk whose registry belongs to this test.
    std::filesystem::create_directory_symlink(std::string(CORVEX_BUILD_DIR) + "/data/Languages",
                                              disk_.path() + "/Languages");
    platform::set_disk_root(disk_.path());
    texts::reset_texts();
    display_settings() = DisplaySettings{};
    logging::reset_log_tick();
  }

  static std::string marks(int first_mark, int step, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += modal_item_checked(first_mark + step * i) ? 'X' : '-';
    return out;
  }
  static std::string sample_marks() { return marks(res::kSampleOneMinuteMark, 2, 4); }
  static std::string graph_marks() { return marks(res::kGraphScaleMarkFirst, 1, 4); }
  // Repaints the open dialog as a window laid over it and taken away again would.
  static void repaint_modal() {
    gui::invalidate(gui::active_modal());
    gui::paint_pending();
  }

  testing_support::TempDir disk_;
};

const auto open_sample_time = [](gui::Window* w) { open_sample_time_dialog(w); };
const auto open_graph_setup = [](gui::Window* w) { open_graph_setup_dialog(w); };

// ---- Sample time ----

TEST_F(SettingsDialogsTest, OneMinuteIsStoredAndShownAgainOnReopening) {
  logging::log_tick_state().short_term_countdown = 321;
  const int state = add_probe([] {
    repaint_modal();
    return sample_marks() + " " + std::to_string(display_settings().sample_time_minutes);
  });
  auto out = answers(run(open_sample_time, "probe " + std::to_string(state) +
                                               "\nclick \"1 MINUTE\"\nprobe " +
                                               std::to_string(state) + "\nclick ACCEPT"));
  // The 1-minute key moves the mark only; a repaint keeps it; ACCEPT takes it.
  EXPECT_EQ(out, (std::vector<std::string>{"--X- 10", "X--- 10"}));
  EXPECT_EQ(display_settings().sample_time_minutes, 1u);
  EXPECT_EQ(stored("TEMP_DATA_LOG_SAMPLE_TIME"), std::vector<uint8_t>{1});
  EXPECT_EQ(logging::log_tick_state().short_term_countdown, 0u) << "the next logging tick samples";

  // After a restart the stored 1 comes back and the dialog shows it.
  display_settings() = DisplaySettings{};
  read_display_settings();
  out = answers(run(open_sample_time, "probe " + std::to_string(state) + "\nclick ACCEPT"));
  EXPECT_EQ(out, std::vector<std::string>{"X--- 1"});
}

TEST_F(SettingsDialogsTest, ChoiceKeysSetTheTimeAtOnceAndTheChartButtonFollows) {
  gui::register_class({resources::AVERAGE_VALUES_WINDOW, gui::default_window_procedure,
                       platform::colors::kWhite, true});
  gui::Window* chart =
      gui::create_window({resources::AVERAGE_VALUES_WINDOW, "", gui::style::kVisible,
                          Rect::from_xywh(240, 40, 400, 205), owner});
  gui::Window* button = gui::create_window(
      {std::string(gui::kButtonClass), "", gui::style::kVisible | gui::style::kChild,
       Rect::from_xywh(1, 1, 98, 31), chart, kSampleTimeButtonId});
  const int time = add_probe([] { return std::to_string(display_settings().sample_time_minutes); });
  const int label = add_probe([button] { return button->text(); });
  const auto out = answers(run(open_sample_time, "probe " + std::to_string(label) +
                                                     "\nclick \"15 MINUTES\"\nprobe " +
                                                     std::to_string(time) + "\nclick ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{"SAMPLE TIME 10 MIN", "15"}));
  EXPECT_EQ(button->text(), "SAMPLE TIME 15 MIN");
  EXPECT_EQ(stored("TEMP_DATA_LOG_SAMPLE_TIME"), std::vector<uint8_t>{15});
}

TEST_F(SettingsDialogsTest, OneMinuteKeyDisabledUnderBatchCycleSampling) {
  set_mirror(link::kSamplerOptions, 0x80);
  display_settings().sample_time_minutes = 10;
  const int opened = add_probe([] { return sample_marks(); });
  EXPECT_EQ(answers(run(open_sample_time, "probe " + std::to_string(opened) + "\nclick ACCEPT")),
            std::vector<std::string>{"-X--"})
      << "batch cycle sampling opens on 5 minutes";
  display_settings().sample_time_minutes = 1;
  const int state = add_probe([] {
    gui::Window* key = gui::dialog_item(gui::active_modal(), res::kSampleOneMinuteKey);
    return sample_marks() + (key->is_enabled() ? " enabled " : " disabled ") +
           std::to_string(display_settings().sample_time_minutes);
  });
  const auto out =
      run(open_sample_time, "probe " + std::to_string(state) + "\ntexts BUTTON\nclick ACCEPT");
  const auto lines = answers(out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "-X-- disabled 5");
  bool labelled_disabled = false;
  for (const std::string& line : lines)
    labelled_disabled |= line.find("\"DISABLED\"") != std::string::npos;
  EXPECT_TRUE(labelled_disabled) << "the 1-minute key reads DISABLED";
  EXPECT_EQ(stored("TEMP_DATA_LOG_SAMPLE_TIME"), std::vector<uint8_t>{5});
}

TEST_F(SettingsDialogsTest, StoredTimeTheDialogDoesNotOfferBecomesFiveAndIsSaved) {
  for (uint8_t odd : {0, 3}) {
    ASSERT_TRUE(platform::registry::create_key(kSettingsKey));
    ASSERT_TRUE(platform::registry::write_value(kSettingsKey, "TEMP_DATA_LOG_SAMPLE_TIME",
                                                std::vector<uint8_t>{odd}));
    display_settings() = DisplaySettings{};
    read_display_settings();
    ASSERT_EQ(display_settings().sample_time_minutes, odd) << "accepted as read";
    const int state = add_probe([] {
      return sample_marks() + " " + std::to_string(stored("TEMP_DATA_LOG_SAMPLE_TIME")->at(0));
    });
    const auto out =
        answers(run(open_sample_time, "probe " + std::to_string(state) + "\nclick ACCEPT"));
    // Saved as 5 on the first paint, and the 5-minute mark shows it.
    EXPECT_EQ(out, std::vector<std::string>{"-X-- 5"}) << int(odd);
    EXPECT_EQ(display_settings().sample_time_minutes, 5u);
    probes().clear();
  }
}

TEST_F(SettingsDialogsTest, ClearTableYesDeletesTheShortTermLogNoKeepsIt) {
  logging::DryerSampleRecord record{};
  ASSERT_TRUE(logging::append_short_term_record(record));
  ASSERT_EQ(logging::short_term_records_available(), 1);
  const int question = add_probe(
      [] { return modal_caption() + " " + std::to_string(gui::active_modal() != nullptr); });
  auto out = answers(run(
      open_sample_time, "click \"CLEAR TABLE\"\nprobe " + std::to_string(question) + "\nclick No"));
  EXPECT_EQ(out, std::vector<std::string>{"CLEAR TABLE 1"});
  EXPECT_EQ(logging::short_term_records_available(), 1) << "No deletes nothing";
  out = answers(run(open_sample_time, "click \"CLEAR TABLE\"\nclick Yes"));
  EXPECT_EQ(logging::short_term_records_available(), 0);
  EXPECT_EQ(logging::scan_short_term_files().count(), 0u);
}

// ---- Graph setup ----

TEST_F(SettingsDialogsTest, GraphScaleChosenIsKeptUntilAcceptedAndStored) {
  display_settings().graph_scale_index = 2;
  const int state = add_probe([] {
    repaint_modal();
    return graph_marks() + " " + std::to_string(display_settings().graph_scale_index);
  });
  const auto out = answers(
      run(open_graph_setup, "probe " + std::to_string(state) + "\nclick \"8 HOURS\"\nprobe " +
                                std::to_string(state) + "\nclick ACCEPT/EXIT"));
  EXPECT_EQ(out, (std::vector<std::string>{"--X- 2", "---X 2"})) << "nothing stored before ACCEPT";
  EXPECT_EQ(display_settings().graph_scale_index, 3u);
  EXPECT_EQ(stored("GRAPH_HORIZONTAL_SCALE"), std::vector<uint8_t>{3});
}

TEST_F(SettingsDialogsTest, GraphScaleOutsideTheChoicesShowsOneHour) {
  display_settings().graph_scale_index = 9;
  const int state = add_probe(
      [] { return graph_marks() + " " + std::to_string(display_settings().graph_scale_index); });
  const auto out =
      answers(run(open_graph_setup, "probe " + std::to_string(state) + "\nclick ACCEPT/EXIT"));
  EXPECT_EQ(out, std::vector<std::string>{"X--- 0"});
  EXPECT_EQ(stored("GRAPH_HORIZONTAL_SCALE"), std::vector<uint8_t>{0});
}

// ---- Layout ----

TEST_F(SettingsDialogsTest, DialogsFitThePanelWithFingerSizedKeys) {
  res::register_display_settings_dialog_templates();
  for (int id : {res::kGraphSetupDialog, res::kSampleTimeDialog, res::kClearTableDialog}) {
    const gui::DialogTemplate* t = gui::find_dialog_template(id);
    ASSERT_NE(t, nullptr);
    SCOPED_TRACE(t->caption);
    EXPECT_TRUE(Rect::from_xywh(0, 0, 640, 480).contains(t->rect));
    const Rect client = Rect::from_xywh(0, 0, t->rect.width() - 6, t->rect.height() - 26);
    for (const gui::ControlTemplate& c : t->controls) {
      EXPECT_TRUE(client.contains(c.rect)) << c.text << " " << c.id;
      if (c.style & gui::style::kOwnerDraw) {
        EXPECT_GE(c.rect.height(), 40) << c.text;
      }
      if ((c.style & gui::control_style::kButtonKindMask) == gui::control_style::kRadioButton) {
        EXPECT_GE(c.rect.height(), 40) << "mark " << c.id;
      }
    }
  }
}

TEST_F(SettingsDialogsTest, SampleTimeDialogSitsTwentyPixelsAboveCentre) {
  const int where = add_probe([] {
    const Rect r = gui::active_modal()->screen_rect();
    return std::to_string(r.top) + " " + std::to_string(240 - (r.top + r.bottom) / 2);
  });
  const auto out =
      answers(run(open_sample_time, "probe " + std::to_string(where) + "\nclick ACCEPT"));
  // 440 high over a 480 screen: centred at top 20, so it can rise by 20 only to the edge.
  EXPECT_EQ(out, std::vector<std::string>{"0 20"});
}

// ---- Persistence ----

TEST_F(SettingsDialogsTest, KillDuringWritesLeavesTheOldOrTheNewByte) {
  write_setting_byte("TEMP_DATA_LOG_SAMPLE_TIME", 0);
  for (int round = 0; round < 5; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (uint8_t v = 0;; v = uint8_t(v == 10 ? 15 : 10))
        write_setting_byte("TEMP_DATA_LOG_SAMPLE_TIME", v);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + 7 * round));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const auto value = stored("TEMP_DATA_LOG_SAMPLE_TIME");
    ASSERT_TRUE(value.has_value());
    ASSERT_EQ(value->size(), 1u);
    EXPECT_TRUE(value->at(0) == 0 || value->at(0) == 10 || value->at(0) == 15) << int(value->at(0));
  }
}

// ---- Longest languages ----

TEST_F(SettingsDialogsTest, ScreenshotsInTheLongestLanguages) {
  const int bg = 1, hu = 7, pt = 9, ro = 10, ru = 11;
  set_mirror(link::kSamplerOptions, 0x80);  // the 1-minute key shows its DISABLED label
  for (int language : {ro, pt, bg, ru, hu}) {
    texts::set_language(language);
    const std::string code = std::to_string(language);
    const int shot = add_probe([code] {
      screenshot("sample_time_" + code);
      return std::string("shot");
    });
    const int graph_shot = add_probe([code] {
      screenshot("graph_setup_" + code);
      return std::string("shot");
    });
    const int clear_shot = add_probe([code] {
      screenshot("clear_table_" + code);
      return std::string("shot");
    });
    run(open_sample_time, "probe " + std::to_string(shot) + "\nclick \"CLEAR TABLE\"\nprobe " +
                              std::to_string(clear_shot) + "\nclick No");
    run(open_graph_setup, "probe " + std::to_string(graph_shot) + "\nclick ACCEPT/EXIT");
    probes().clear();
  }
}

}  // namespace
}  // namespace corvex::logging
