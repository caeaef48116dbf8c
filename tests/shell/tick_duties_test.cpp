// The one-second tick's duties after the data logs, driven for real: a window system in virtual
// time, the panel texts the build made, the tick's routine on a 1 s timer, and touches held on
// the controls the duties watch.
#include "logging/tick_duties.h"

#include <string>
#include <vector>

#include "link/command_builder.h"
#include "link/status_bytes.h"
#include "platform/gui/message_box.h"
#include "resources/window_classes.h"
#include "support/process.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::logging {
namespace {

using namespace setup_testing;

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kTickTimer = 91;

std::vector<std::string> g_history_entries;

// A window with plain push buttons under the ids the tick looks for, standing for a screen that
// comes later (the batch drying timers screen, the setup screens, the shutdown history).
gui::Window* make_screen(const char* cls, gui::Window* parent, std::initializer_list<int> ids) {
  if (!gui::class_registered(cls)) {
    gui::register_class({cls, gui::default_window_procedure, platform::colors::kLightGray, true});
  }
  gui::Window* screen = gui::create_window({cls, "", gui::style::kVisible | gui::style::kChild,
                                            Rect::from_xywh(0, 0, 640, 420), parent});
  int x = 10;
  for (int id : ids) {
    gui::create_window({std::string(gui::kButtonClass), "B" + std::to_string(id),
                        gui::style::kVisible | gui::style::kChild, Rect::from_xywh(x, 100, 100, 50),
                        screen, id});
    x += 120;
  }
  return screen;
}

platform::Point centre(gui::Window* screen, int id) {
  const Rect r = gui::child_by_id(screen, id)->screen_rect();
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The centre of a control, as "X Y" for the automation's down command.
std::string centre_of(gui::Window* screen, int id) {
  const Rect r = gui::child_by_id(screen, id)->screen_rect();
  return std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2);
}

// The command frame the builder makes now, without its CRC: length, record count, records.
std::vector<uint8_t> command_frame() {
  std::vector<uint8_t> buffer(link::kTransmitBufferBytes);
  if (!link::build_command_frame(buffer.data())) return {};
  buffer.resize(size_t(buffer[0]) - 2);
  return buffer;
}

class TickDutiesTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    reset_tick_duties();
    g_history_entries.clear();
    set_history_entry_hook([](std::string_view entry) { g_history_entries.emplace_back(entry); });
  }
  void TearDown() override {
    set_history_entry_hook(nullptr);
    reset_tick_duties();
    SetupTest::TearDown();
  }
  // Runs the duties once a second from now on, as the housekeeping timer does.
  void start_ticks() {
    gui::set_timer(owner, kTickTimer, 1000, [](gui::Window* w, int) { run_tick_duties(w); });
  }
  static std::string modal_text() {
    return modal_caption() + " | " + modal_item_text(kMessageBoxTextId);
  }
};

// ---- Batch drying timers ----

TEST_F(TickDutiesTest, HeldCoolButtonAsksOnSecondTickAndYesRestartsTheTimer) {
  gui::Window* batch =
      make_screen(resources::BATCH_DRYING_WINDOW, owner,
                  {resources::kBatchHiHeatButtonId, resources::kBatchLoHeatButtonId,
                   resources::kBatchDryButtonId, resources::kBatchCoolButtonId,
                   resources::kBatchUnloadButtonId});
  set_mirror(16, 20);  // COOL set to 20:05
  set_mirror(17, 5);
  set_mirror(14, 3);  // 3:41 left
  set_mirror(15, 41);
  start_ticks();
  const int countdown = add_probe([] {
    return std::to_string(batch_hold_countdown(BatchHold::Cool)) +
           (gui::active_modal() ? " modal" : "");
  });
  const int question = add_probe(modal_text);
  const auto out = answers(run(nullptr, "down " + centre_of(batch, resources::kBatchCoolButtonId) +
                                            "\nwait 1000\nprobe " + std::to_string(countdown) +
                                            "\nwait 1000\nprobe " + std::to_string(question) +
                                            "\nclick Yes\nup"));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], "0") << "the first held tick only counts down";
  EXPECT_EQ(out[1], "RESTART BATCH TIMER | Restart the COOL timer at its set time of 20:05?");
  // The set time goes into the time-left slots; the record carries bytes 14 and 15.
  EXPECT_EQ(desired(14), 20);
  EXPECT_EQ(desired(15), 5);
  EXPECT_EQ(raised_writes(), std::vector<std::string>{"14"});
  // The next command frame carries node 0, parameter 14, two bytes: 20 minutes, 5 seconds.
  EXPECT_EQ(command_frame(), (std::vector<uint8_t>{9, 1, 0x00, 14, 2, 20, 5}));
}

TEST_F(TickDutiesTest, EachButtonAsksItsOwnQuestionAndRaisesItsOwnWrite) {
  gui::Window* batch =
      make_screen(resources::BATCH_DRYING_WINDOW, owner,
                  {resources::kBatchHiHeatButtonId, resources::kBatchLoHeatButtonId,
                   resources::kBatchDryButtonId, resources::kBatchCoolButtonId,
                   resources::kBatchUnloadButtonId});
  const uint8_t times[][2] = {{11, 60}, {12, 0}, {254, 45}, {255, 30}, {21, 10}, {22, 1}};
  for (const auto& t : times) set_mirror(t[0], t[1]);
  start_ticks();
  const int question = add_probe(modal_text);
  std::string script;
  for (int id : {resources::kBatchDryButtonId, resources::kBatchHiHeatButtonId,
                 resources::kBatchLoHeatButtonId, resources::kBatchUnloadButtonId}) {
    // Each press starts with the countdown at 1 again, so each asks on its second tick.
    script += "down " + centre_of(batch, id) + "\nwait 2000\nprobe " + std::to_string(question) +
              "\nclick " + (id == resources::kBatchLoHeatButtonId ? "No" : "Yes") + "\nup\n";
  }
  const auto out = answers(run(nullptr, script));
  EXPECT_EQ(out, (std::vector<std::string>{
                     "RESTART BATCH TIMER | Restart the DRY timer at its set time of 60:00?",
                     "RESTART BATCH TIMER | Restart the HI HEAT timer at its set time of 60:00?",
                     "RESTART BATCH TIMER | Restart the LO HEAT timer at its set time of 45:30?",
                     "RESTART BATCH TIMER | Restart the UNLOAD timer at its set time of 10:01?"}));
  EXPECT_EQ(desired(9), 60);
  EXPECT_EQ(desired(10), 0);
  EXPECT_EQ(desired(19), 10);
  EXPECT_EQ(desired(20), 1);
  EXPECT_EQ(desired(252), 0) << "No leaves LO HEAT alone";
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"9", "19"}));
  EXPECT_EQ(command_frame(), (std::vector<uint8_t>{14, 2, 0x00, 9, 2, 60, 0, 0x00, 19, 2, 10, 1}));
}

TEST_F(TickDutiesTest, HoldCountdownTogglesWhileHeldAndResetsOnRelease) {
  gui::Window* batch =
      make_screen(resources::BATCH_DRYING_WINDOW, owner, {resources::kBatchCoolButtonId});
  gui::inject_pointer_down(centre(batch, resources::kBatchCoolButtonId));
  step_batch_holds(owner);
  EXPECT_EQ(batch_hold_countdown(BatchHold::Cool), 0u);
  EXPECT_EQ(batch_hold_countdown(BatchHold::Unload), 1u) << "only the held button counts";
  gui::inject_pointer_up();
  step_batch_holds(owner);
  EXPECT_EQ(batch_hold_countdown(BatchHold::Cool), 1u) << "a release starts over";
  // A hidden screen asks nothing and leaves the countdowns as they are.
  gui::inject_pointer_down(centre(batch, resources::kBatchCoolButtonId));
  gui::show_window(batch, false);
  step_batch_holds(owner);
  EXPECT_EQ(batch_hold_countdown(BatchHold::Cool), 1u);
  EXPECT_TRUE(raised_writes().empty());
}

// ---- Auto-start finished ----

TEST_F(TickDutiesTest, AutoStartMessageOncePerRunAndOkGoesToTheHistory) {
  set_mirror(link::kAutoStartFlags, 0x80);
  start_ticks();
  const int message = add_probe([] {
    const std::string text = modal_item_text(kMessageBoxTextId);
    return modal_caption() + " | " + text.substr(0, text.find('\r'));
  });
  const int shown = add_probe([] {
    return std::string(gui::active_modal() ? "modal" : "none") + " " +
           std::to_string(g_history_entries.size());
  });
  const auto out =
      answers(run(nullptr, "wait 1000\nprobe " + std::to_string(message) +
                               "\nclick OK\nwait 5000\nprobe " + std::to_string(shown)));
  EXPECT_EQ(out, (std::vector<std::string>{"Auto-Start Finished... | Auto-start has finished.",
                                           "none 1"}));
  EXPECT_EQ(g_history_entries, std::vector<std::string>{"User Accepted Auto-Start MC Setup"});
  EXPECT_TRUE(auto_start_message_shown());
}

TEST_F(TickDutiesTest, AutoStartMessageWaitsForBit7AndFollowsTheUnits) {
  link::dryer_state().unit_flag.store(1);
  start_ticks();
  const int modal = add_probe([] { return std::string(gui::active_modal() ? "modal" : "none"); });
  const int finish = add_probe([] {
    set_mirror(link::kAutoStartFlags, 0x80);
    return std::string("finished");
  });
  const int celsius = add_probe([] {
    const std::string text = modal_item_text(kMessageBoxTextId);
    return std::string(text.find("about 82 C for corn") != std::string::npos ? "C" : "F");
  });
  const auto out = answers(run(nullptr, "wait 3000\nprobe " + std::to_string(modal) + "\nprobe " +
                                            std::to_string(finish) + "\nwait 1000\nprobe " +
                                            std::to_string(celsius) + "\nclick OK"));
  EXPECT_EQ(out, (std::vector<std::string>{"none", "finished", "C"}));
}

TEST_F(TickDutiesTest, MissingAutoStartMessageShowsAnEmptyBox) {
  testing_support::TempDir empty_disk;
  platform::set_disk_root(empty_disk.path());
  set_mirror(link::kAutoStartFlags, 0x80);
  start_ticks();
  const int message =
      add_probe([] { return modal_caption() + " |" + modal_item_text(kMessageBoxTextId) + "|"; });
  const auto out =
      answers(run(nullptr, "wait 1000\nprobe " + std::to_string(message) + "\nclick OK"));
  EXPECT_EQ(out, std::vector<std::string>{"Auto-Start Finished... ||"});
  EXPECT_EQ(g_history_entries.size(), 1u);
}

// ---- Shutdown history hold-to-confirm ----

TEST_F(TickDutiesTest, HistoryHoldCountsDownWhileButton1107IsHeld) {
  gui::Window* history = make_screen("HISTORY_TEST_WINDOW", owner, {kHistoryHoldButtonId});
  set_shutdown_history_window(history);
  gui::inject_pointer_down(centre(history, kHistoryHoldButtonId));
  std::vector<uint32_t> seen;
  for (int tick = 0; tick < 7; ++tick) {
    step_shutdown_history_hold();
    seen.push_back(shutdown_history_hold_countdown());
  }
  EXPECT_EQ(seen, (std::vector<uint32_t>{4, 3, 2, 1, 0, 0, 0})) << "stops at 0";
  gui::inject_pointer_up();
  step_shutdown_history_hold();
  EXPECT_EQ(shutdown_history_hold_countdown(), 5u);
  // Held while the window is hidden: nothing runs.
  gui::inject_pointer_down(centre(history, kHistoryHoldButtonId));
  step_shutdown_history_hold();
  gui::show_window(history, false);
  step_shutdown_history_hold();
  EXPECT_EQ(shutdown_history_hold_countdown(), 4u);
  gui::inject_pointer_up();
}

// ---- Setup screen controls ----

TEST_F(TickDutiesTest, SetupControlsFollowSwitchesAndDryerType) {
  gui::Window* extended = make_screen(resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW, owner,
                                      {kExtendedAuxControlId, kExtendedManualControlId});
  gui::Window* setup =
      make_screen(resources::SETUP_SELECTION_WINDOW, owner, {kSetupNonNumericControlId});
  struct Case {
    uint8_t switches;  // status byte 183
    uint8_t type;      // status byte 225
    bool aux, manual, non_numeric;
  };
  const Case cases[] = {
      {0x00, 0x00, false, false, true}, {0x04, 0x00, true, false, true},
      {0x02, 0x00, false, true, true},  {0x02, 0x20, false, false, false},
      {0x06, 0x40, true, false, true},  {0x02, 0x80, false, true, true},
  };
  for (const Case& c : cases) {
    set_mirror(link::kControlSwitches, c.switches);
    set_mirror(link::kDryerType, c.type);
    follow_setup_controls();
    SCOPED_TRACE(testing::Message() << "183=" << int(c.switches) << " 225=" << int(c.type));
    EXPECT_EQ(gui::child_by_id(extended, kExtendedAuxControlId)->is_shown(), c.aux);
    EXPECT_EQ(gui::child_by_id(extended, kExtendedManualControlId)->is_shown(), c.manual);
    EXPECT_EQ(gui::child_by_id(setup, kSetupNonNumericControlId)->is_shown(), c.non_numeric);
  }
}

// ---- Status chart countdown and the question's format ----

TEST_F(TickDutiesTest, StatusChartCountdownStopsAtZero) {
  set_status_chart_countdown(2);
  for (int i = 0; i < 4; ++i) count_down_status_chart();
  EXPECT_EQ(status_chart_countdown(), 0u);
}

TEST(FormatNumbersTest, TakesOnlyIntegerConversions) {
  const int n[2] = {7, 5};
  EXPECT_EQ(format_numbers("%d:%02d", n, 2), "7:05");
  EXPECT_EQ(format_numbers("%3d|%-d|100%%", n, 2), "  7|%-d|100%");
  // A translation that asks for a string or a third number cannot make the formatter read one.
  EXPECT_EQ(format_numbers("%s %d %d %d %n", n, 2), "%s 7 5 %d %n");
  EXPECT_EQ(format_numbers("end %", n, 2), "end %");
}

}  // namespace
}  // namespace corvex::logging
