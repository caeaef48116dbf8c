// The timer screen and its editor: the digit-entry rules of the two pads, the limits of every
// timer, what ACCEPT writes (and what a refused value leaves alone), the dialog driven by taps
// from timer routines, the panels of TIMER_SELECT_WINDOW and the shared line-wrap routine.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "link/dryer_state.h"
#include "link/redraw.h"
#include "platform/gfx/bmp.h"
#include "platform/gui/automation.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/io/clock.h"
#include "resources/window_classes.h"
#include "settings/edit_requests.h"
#include "settings/line_wrap.h"
#include "settings/timer_screen.h"
#include "tests/texts/text_test_support.h"

namespace corvex::settings {
namespace {

namespace gui = platform::gui;
using link::PendingWrite;
using platform::Rect;

link::DryerState& state() { return link::dryer_state(); }
void set_mirror(int offset, uint8_t value) { state().mirror[size_t(offset)].store(value); }
uint8_t desired(int offset) { return state().desired[size_t(offset)].load(); }

// ---- Entry rules ----

class TimerEditorEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    link::reset_dryer_state();
    r = TimerEditRequest{};
    timer_entry_begin(r);
  }
  void type(TimerField f, std::initializer_list<int> digits) {
    for (const int d : digits) timer_entry_digit(r, f, d);
  }
  TimerEditRequest r;
};

TEST_F(TimerEditorEntry, MinutesTakeThreeDigitsUpTo249) {
  r.minutes = 7;
  type(TimerField::Minutes, {2, 5, 0});
  EXPECT_EQ(r.minutes, 25) << "the 0 would make 250";
  EXPECT_EQ(r.minutes_entry_state, 2);

  timer_entry_begin(r);
  type(TimerField::Minutes, {2, 4, 9, 9});
  EXPECT_EQ(r.minutes, 249);
  EXPECT_EQ(r.minutes_entry_state, 3) << "after the third digit only DELETE is taken";

  timer_entry_begin(r);
  type(TimerField::Minutes, {0, 0, 1, 2});
  EXPECT_EQ(r.minutes, 12) << "a 0 in the first-digit state stays in that state";
}

TEST_F(TimerEditorEntry, SecondsTakeTwoDigitsUpTo59) {
  type(TimerField::Seconds, {6, 1});
  EXPECT_EQ(r.seconds, 6);
  timer_entry_begin(r);
  type(TimerField::Seconds, {5, 9, 9});
  EXPECT_EQ(r.seconds, 59);
  EXPECT_EQ(r.seconds_entry_state, 2);
}

TEST_F(TimerEditorEntry, DeleteDividesAndStepsBack) {
  type(TimerField::Minutes, {2, 4});
  timer_entry_delete(r, TimerField::Minutes);
  EXPECT_EQ(r.minutes, 2);
  type(TimerField::Minutes, {7});
  EXPECT_EQ(r.minutes, 27);
  timer_entry_delete(r, TimerField::Minutes);
  timer_entry_delete(r, TimerField::Minutes);
  timer_entry_delete(r, TimerField::Minutes);
  EXPECT_EQ(r.minutes, 0);
  EXPECT_EQ(r.minutes_entry_state, 0);
}

TEST_F(TimerEditorEntry, OnlyTheVeryFirstKeyClearsItsField) {
  r.minutes = 45;
  r.seconds = 30;
  timer_entry_delete(r, TimerField::Minutes);
  EXPECT_EQ(r.minutes, 0) << "cleared first, so DELETE does not leave 4";
  EXPECT_EQ(r.seconds, 30) << "the other field keeps its value";
  r.seconds = 30;
  timer_entry_delete(r, TimerField::Seconds);
  EXPECT_EQ(r.seconds, 3) << "the flag is shared by both pads: no second clearing";
}

TEST_F(TimerEditorEntry, DefaultSetsTheDigitStatesOfItsValue) {
  r.default_minutes = 1;
  r.default_seconds = 0;
  timer_entry_default(r);
  EXPECT_EQ(r.minutes, 1);
  EXPECT_EQ(r.minutes_entry_state, 1);
  EXPECT_EQ(r.seconds_entry_state, 0);

  r.default_minutes = 120;
  r.default_seconds = 45;
  timer_entry_default(r);
  EXPECT_EQ(r.minutes_entry_state, 3);
  EXPECT_EQ(r.seconds_entry_state, 1);
  r.default_minutes = 0;
  timer_entry_default(r);
  EXPECT_EQ(r.minutes_entry_state, 1) << "below 10, even 0";
  r.default_minutes = 99;
  timer_entry_default(r);
  EXPECT_EQ(r.minutes_entry_state, 2);

  // After DEFAULT the digits go on from the default (the first key has been used here).
  r.first_key = 1;
  r.default_minutes = 1;
  r.default_seconds = 5;
  timer_entry_default(r);
  type(TimerField::Minutes, {5});
  type(TimerField::Seconds, {3});
  EXPECT_EQ(r.minutes, 15);
  EXPECT_EQ(r.seconds, 3) << "seconds 5 is in the first-digit state: the digit replaces it";
}

struct RangeCase {
  TimerSetting setting;
  int minutes;
  int seconds;
  bool accepted;
};

TEST_F(TimerEditorEntry, AcceptChecksEachTimersLimits) {
  const RangeCase cases[] = {
      {TimerSetting::LoadDelay, 0, 1, true},        {TimerSetting::LoadDelay, 10, 0, true},
      {TimerSetting::LoadDelay, 0, 0, false},       {TimerSetting::LoadDelay, 10, 1, false},
      {TimerSetting::OutOfGrain, 0, 0, true},       {TimerSetting::OutOfGrain, 30, 0, true},
      {TimerSetting::OutOfGrain, 30, 1, false},     {TimerSetting::FanDelay, 1, 0, false},
      {TimerSetting::FanDelay, 0, 25, true},        {TimerSetting::FanDelay, 0, 26, false},
      {TimerSetting::FanDelay, 0, 0, false},        {TimerSetting::SecondFanTimer, 60, 0, true},
      {TimerSetting::SecondFanTimer, 60, 1, false}, {TimerSetting::UnloadDelay, 0, 0, true},
      {TimerSetting::UnloadDelay, 10, 1, false},
  };
  for (const RangeCase& c : cases) {
    link::reset_dryer_state();
    prepare_timer_edit(c.setting);
    timer_edit_request.minutes = uint8_t(c.minutes);
    timer_edit_request.seconds = uint8_t(c.seconds);
    EXPECT_EQ(timer_entry_accept(timer_edit_request), c.accepted)
        << int(c.setting) << " " << c.minutes << ":" << c.seconds;
    EXPECT_EQ(timer_edit_request.pending_write->load() != 0, c.accepted);
  }
}

TEST_F(TimerEditorEntry, PrepareCopiesTheCurrentValueAndAcceptWritesBothSlots) {
  set_mirror(269, 12);
  set_mirror(270, 34);
  prepare_timer_edit(TimerSetting::SecondFanTimer);
  EXPECT_EQ(desired(269), 12);
  EXPECT_EQ(desired(270), 34);
  EXPECT_EQ(timer_edit_request.minutes, 12);
  EXPECT_EQ(timer_edit_request.seconds, 34);
  EXPECT_EQ(timer_edit_request.pending_write, &state().flag(PendingWrite::k269));
  EXPECT_FALSE(link::write_raised(PendingWrite::k269)) << "opening raises nothing";

  timer_edit_request.minutes = 61;
  EXPECT_FALSE(timer_entry_accept(timer_edit_request));
  EXPECT_EQ(desired(269), 12) << "a refused value writes nothing";
  EXPECT_FALSE(link::write_raised(PendingWrite::k269));

  timer_edit_request.minutes = 45;
  timer_edit_request.seconds = 7;
  EXPECT_TRUE(timer_entry_accept(timer_edit_request));
  EXPECT_EQ(desired(269), 45);
  EXPECT_EQ(desired(270), 7);
  EXPECT_TRUE(link::write_raised(PendingWrite::k269));
  EXPECT_EQ(state().mirror[269].load(), 12) << "nothing changes locally";
}

TEST_F(TimerEditorEntry, ARequestWithoutSlotsOrFlagIsHarmless) {
  TimerEditRequest bare;
  bare.minutes = 1;
  bare.minutes_slot = 5000;
  EXPECT_TRUE(timer_entry_accept(bare));
}

// ---- The screen and the dialog ----

std::vector<std::u16string> screen_strings() {
  std::vector<std::u16string> lines(400);
  auto set = [&](int n, std::u16string_view s) { lines[size_t(n - 1)] = s; };
  set(4, u"ACCEPT");
  set(10, u"CANCEL");
  set(44, u"SELECT TIMER TO MODIFY");
  set(45, u"LOAD START-UP DELAY");
  set(46, u"OUT OF GRAIN TIMER");
  set(47, u"FAN SETUP");
  set(48, u"UNLOAD CLEAN-OUT DELAY");
  set(49, u"PRESENT SETTING");
  set(50, u"MIN");
  set(51, u"SEC");
  set(55, u"DEFAULT");
  set(57, u"PREVIOUS LOAD TIME");
  set(141, u"DELETE");
  set(355, u"MODIFYING TIMER SETPOINT");
  set(356, u"MAXIMUM");
  set(357, u"MINIMUM");
  return lines;
}

constexpr platform::Color kLoadButtonColour = platform::rgb(10, 200, 30);

// Steps run from timer routines, so that a step may open a modal dialog and later steps,
// fired from its nested loop, drive it.
std::map<int, std::function<void()>>& steps() {
  static std::map<int, std::function<void()>> s;
  return s;
}

gui::Window* find_by_text(gui::Window* root, std::string_view text) {
  if (root == nullptr) return nullptr;
  for (const auto& c : root->children()) {
    if (c->is_visible() && c->text() == text) return c.get();
    if (gui::Window* deeper = find_by_text(c.get(), text)) return deeper;
  }
  return nullptr;
}

void tap(gui::Window* w) {
  ASSERT_NE(w, nullptr);
  const Rect r = w->screen_rect();
  gui::inject_pointer_down({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  gui::inject_pointer_up();
}

// Taps the control with that window text in the innermost modal window, or on the screen.
void click(std::string_view text) {
  gui::Window* root = gui::active_modal() != nullptr ? gui::active_modal() : &gui::desktop();
  gui::Window* w = find_by_text(root, text);
  ASSERT_NE(w, nullptr) << text;
  tap(w);
}

class TimerScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::clock::use_virtual(1'700'000'000'000);
    gui::init();
    gui::reset();
    steps().clear();
    disk_.write_text("CorvexLangConfig.txt", "English");
    disk_.write_lines("Languages/EN/EnglishStrings.txt", screen_strings());
    std::filesystem::create_directories(disk_.path("Languages/EN/Bitmaps"));
    ASSERT_TRUE(platform::write_bmp_file(
        disk_.path("Languages/EN/Bitmaps/GRAPHIC_007_LOAD_DELAY_BUTTON.BMP").string(),
        platform::Bitmap(120, 40, kLoadButtonColour)));
    gui::register_controls();
    gui::register_class({resources::SETUP_SELECTION_WINDOW, gui::default_window_procedure,
                         platform::colors::kBlack, true});
    register_timer_screen_classes();
    menu_ = gui::create_window({.class_name = resources::SETUP_SELECTION_WINDOW,
                                .text = "",
                                .style = 0,
                                .rect = Rect::from_xywh(0, 0, 640, 475)});
    screen_ = gui::create_window({.class_name = resources::TIMER_SELECT_WINDOW,
                                  .text = " SELECT TIMER TO MODIFY - 01",
                                  .style = gui::style::kVisible | gui::style::kCaption,
                                  .rect = Rect::from_xywh(0, 0, 640, 475)});
    ASSERT_NE(screen_, nullptr);
    gui::paint_pending();
  }
  void TearDown() override {
    gui::reset();
    steps().clear();
  }

  gui::Window* panel(const char* class_name) { return gui::find_window_by_class(class_name); }

  // Runs fn at `ms` from now, from a timer routine of the screen.
  void at(int ms, std::function<void()> fn) {
    const int id = 100 + int(steps().size());
    steps()[id] = std::move(fn);
    gui::set_timer(screen_, id, ms, [](gui::Window* w, int timer_id) {
      gui::kill_timer(w, timer_id);
      steps()[timer_id]();
    });
  }

  // Taps the panel button `button` at 10 ms, then the keys at 50 ms; `inspect` runs at 100 ms
  // with the dialog (or whatever is modal then) open.
  void edit(std::string button, std::vector<std::string> keys, std::function<void()> inspect = {}) {
    at(10, [button] { click(button); });
    at(50, [keys] {
      for (const std::string& k : keys) click(k);
    });
    if (inspect) at(100, inspect);
    gui::advance_virtual(500);
    ASSERT_EQ(gui::active_modal(), nullptr) << "every dialog closed";
  }

  const platform::Bitmap& painted() {
    gui::paint_pending();
    return gui::framebuffer();
  }

  texts::testing::TempDisk disk_;
  gui::Window* menu_ = nullptr;
  gui::Window* screen_ = nullptr;
};

TEST_F(TimerScreenTest, FourPanelsInTheGridWithTheirCaptionsAndButtons) {
  const struct {
    const char* class_name;
    const char* caption;
    int x, y;
  } panels[] = {
      {resources::LOAD_DELAY_CHILD_WINDOW, "LOAD START-UP DELAY", 0, 0},
      {resources::OUT_OF_GRAIN_CHILD_WINDOW, "OUT OF GRAIN TIMER", 1, 0},
      {resources::FAN_DELAY_CHILD_WINDOW, "FAN SETUP", 0, 1},
      {resources::UNLOAD_DELAY_CHILD_WINDOW, "UNLOAD CLEAN-OUT DELAY", 1, 1},
  };
  const Rect first = panel(resources::LOAD_DELAY_CHILD_WINDOW)->rect();
  for (const auto& p : panels) {
    gui::Window* w = panel(p.class_name);
    ASSERT_NE(w, nullptr) << p.class_name;
    EXPECT_EQ(w->parent(), screen_);
    EXPECT_EQ(w->rect().width(), 314);
    EXPECT_EQ(w->rect().height(), 190);
    EXPECT_EQ(w->text(), p.caption) << "the caption is the localized string after a paint";
    EXPECT_EQ(w->rect().left > first.left, p.x == 1) << p.class_name;
    EXPECT_EQ(w->rect().top > first.top, p.y == 1) << p.class_name;
    EXPECT_TRUE(screen_->client_rect().contains(w->rect()));
  }
  EXPECT_EQ(screen_->text(), "SELECT TIMER TO MODIFY");
  for (const char* name : {"LOAD_DELAY_BUTTON", "OOG_TIMER_BUTTON", "FAN_DELAY_BUTTON",
                           "COOL_DOWN_TIMER_BUTTON", "UNLOAD_DELAY_BUTTON", "SETUP"}) {
    EXPECT_NE(find_by_text(screen_, name), nullptr) << name;
  }
}

TEST_F(TimerScreenTest, PictureButtonShowsItsLocalizedImage) {
  const Rect b = find_by_text(screen_, "LOAD_DELAY_BUTTON")->screen_rect();
  EXPECT_EQ(b.width(), 120);
  EXPECT_EQ(b.height(), 40);
  EXPECT_EQ(painted().pixel(b.left + 60, b.top + 20), kLoadButtonColour);
  // The fan delay image is missing: the button still draws (a face) and still works.
  const Rect fan = find_by_text(screen_, "FAN_DELAY_BUTTON")->screen_rect();
  EXPECT_EQ(painted().pixel(fan.left + 2, fan.top + 20) == platform::colors::kBlack, false);
}

TEST_F(TimerScreenTest, TypedValueIsWrittenAndRaisedButTheScreenShowsTheCurrentOne) {
  set_mirror(31, 2);
  set_mirror(32, 30);
  std::string caption;
  edit("LOAD_DELAY_BUTTON", {"MIN 5", "SEC 4", "SEC 5"}, [&] {
    ASSERT_NE(gui::active_modal(), nullptr);
    caption = gui::active_modal()->text();
    EXPECT_EQ(timer_edit_request.minutes, 5);
    EXPECT_EQ(timer_edit_request.seconds, 45);
    click("ACCEPT");
  });
  EXPECT_EQ(caption, "MODIFYING TIMER SETPOINT");
  EXPECT_EQ(desired(31), 5);
  EXPECT_EQ(desired(32), 45);
  EXPECT_TRUE(link::write_raised(PendingWrite::k31));
  EXPECT_EQ(state().mirror[31].load(), 2);
}

TEST_F(TimerScreenTest, OutOfRangeShowsTheWarningAndWritesNothing) {
  set_mirror(46, 0);
  set_mirror(47, 3);
  std::string text, box_caption;
  edit("FAN_DELAY_BUTTON", {"MIN 1", "ACCEPT"}, [&] {
    gui::Window* box = gui::active_modal();
    ASSERT_NE(box, nullptr);
    box_caption = box->text();
    EXPECT_NE(find_by_text(box, "The value entered is out of range."), nullptr);
    click("OK");
  });
  EXPECT_EQ(box_caption, "WARNING!");
  EXPECT_FALSE(link::write_raised(PendingWrite::k46));
  EXPECT_EQ(desired(46), 0);
  EXPECT_EQ(desired(47), 3) << "the slots keep the current value copied on opening";
}

TEST_F(TimerScreenTest, CancelAndDefaultWriteNothing) {
  set_mirror(41, 4);
  edit("UNLOAD_DELAY_BUTTON", {"DEFAULT"}, [&] {
    EXPECT_EQ(timer_edit_request.minutes, 1);
    EXPECT_EQ(timer_edit_request.seconds, 0);
    click("CANCEL");
  });
  EXPECT_FALSE(link::write_raised(PendingWrite::k41));
  EXPECT_EQ(desired(41), 4);
}

TEST_F(TimerScreenTest, TheTwoFanTimerButtonsEditTheirOwnTimers) {
  set_mirror(269, 5);
  edit("COOL_DOWN_TIMER_BUTTON", {"MIN 6", "MIN 0", "ACCEPT"});
  EXPECT_EQ(desired(269), 60);
  EXPECT_EQ(desired(270), 0);
  EXPECT_TRUE(link::write_raised(PendingWrite::k269));
  EXPECT_FALSE(link::write_raised(PendingWrite::k46));
}

// Pixels of the framebuffer inside a window's client area.
std::vector<platform::Color> client_pixels(gui::Window* w) {
  gui::paint_pending();
  const platform::Point o = w->client_origin();
  const Rect c = w->client_rect();
  std::vector<platform::Color> px;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) px.push_back(gui::framebuffer().pixel(o.x + x, o.y + y));
  return px;
}

TEST_F(TimerScreenTest, DecoderRedrawRequestsReachThePanelsByClass) {
  gui::Window* load = panel(resources::LOAD_DELAY_CHILD_WINDOW);
  const auto before = client_pixels(load);
  set_mirror(31, 7);
  EXPECT_EQ(client_pixels(load), before) << "nothing repaints before it is asked to";
  link::request_redraw(link::RedrawTarget::LoadDelayPanel);
  const auto after = client_pixels(load);
  EXPECT_NE(after, before);
  set_mirror(31, 0);
  link::request_redraw(link::RedrawTarget::LoadDelayPanel);
  EXPECT_EQ(client_pixels(load), before) << "the old value is painted over (no erase asked)";
}

TEST_F(TimerScreenTest, PreviousLoadTimeIsShownOnlyWhileLoadIsInAuto) {
  gui::Window* oog = panel(resources::OUT_OF_GRAIN_CHILD_WINDOW);
  const auto none = client_pixels(oog);
  state().previous_load_time.store(754);  // 12:34
  link::request_redraw(link::RedrawTarget::OutOfGrainPanel);
  const auto measured = client_pixels(oog);
  EXPECT_NE(measured, none);

  set_mirror(179, 0x08);
  link::request_redraw(link::RedrawTarget::OutOfGrainPanel);
  const auto not_auto = client_pixels(oog);
  EXPECT_NE(not_auto, measured);
  state().previous_load_time.store(99);
  link::request_redraw(link::RedrawTarget::OutOfGrainPanel);
  EXPECT_EQ(client_pixels(oog), not_auto) << "the duration is not shown outside Auto";
}

// The fan panel shows its two timers' minutes and seconds on one line each: a language whose
// word for minutes is long pushes the seconds on instead of writing them over it.
TEST_F(TimerScreenTest, OneLineTimersKeepTheSecondsClearOfALongMinutesWord) {
  std::vector<std::u16string> lines = screen_strings();
  lines[50 - 1] = u"MINUTES";
  disk_.write_lines("Languages/EN/EnglishStrings.txt", lines);
  texts::reset_texts();
  gui::enable_text_recording();
  gui::invalidate(panel(resources::FAN_DELAY_CHILD_WINDOW));
  gui::paint_pending();
  std::map<int, std::vector<std::pair<int, std::string>>> rows;  // y -> (x, text)
  std::istringstream in(gui::describe_texts(resources::FAN_DELAY_CHILD_WINDOW));
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string cls;
    int x = 0, y = 0;
    words >> cls >> x >> y;
    rows[y].emplace_back(x, line.substr(line.find('"')));
  }
  int pairs = 0;
  for (const auto& [y, runs] : rows) {
    if (runs.size() != 2 || runs[0].second.find("MINUTES") == std::string::npos) continue;
    ++pairs;
    const auto& [minutes_x, minutes] = runs[0].first < runs[1].first ? runs[0] : runs[1];
    const auto& [seconds_x, seconds] = runs[0].first < runs[1].first ? runs[1] : runs[0];
    EXPECT_NE(seconds.find("SEC"), std::string::npos) << seconds;
    // "000 MINUTES" in the value face is wider than the 88 px the seconds stand at otherwise.
    EXPECT_GT(seconds_x - minutes_x, 88) << minutes << " " << seconds;
  }
  EXPECT_EQ(pairs, 2) << "the fan delay and the second fan timer";
}

TEST_F(TimerScreenTest, ReturnButtonGoesToTheSetupMenu) {
  at(10, [] { click("SETUP"); });
  gui::advance_virtual(100);
  EXPECT_FALSE(screen_->is_shown());
  EXPECT_TRUE(menu_->is_shown());
}

// ---- Line wrap ----

// The lines as views into `text`, which must outlive them.
std::vector<std::string_view> wrap(std::string_view text) {
  std::array<std::string_view, 16> out;
  const size_t n = wrap_lines(text, out);
  return {out.begin(), out.begin() + std::min(n, out.size())};
}

TEST(TimerScreenLineWrap, BreaksAtTheLastSpaceWithinFortyCharacters) {
  const auto lines =
      wrap("Time from pressing START until the load auger starts, so that the fans run.");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Time from pressing START until the load");
  EXPECT_EQ(lines[1], "auger starts, so that the fans run.");
  for (const auto l : lines) EXPECT_LE(l.size(), 40u);
}

TEST(TimerScreenLineWrap, ExactFitsLongWordsAndEmptyTexts) {
  const std::string forty(40, 'x');
  EXPECT_EQ(wrap(forty), std::vector<std::string_view>{forty});
  const std::string forty_and_one = forty + " y";
  EXPECT_EQ(wrap(forty_and_one), (std::vector<std::string_view>{forty, "y"}));
  const std::string long_word(50, 'w');
  EXPECT_EQ(wrap(long_word),
            (std::vector<std::string_view>{std::string_view(long_word).substr(0, 40),
                                           std::string_view(long_word).substr(40)}));
  EXPECT_TRUE(wrap("").empty());
  EXPECT_TRUE(wrap("    ").empty());
  EXPECT_EQ(wrap("  a   b  "), std::vector<std::string_view>{"a   b"});
}

TEST(TimerScreenLineWrap, CountsCharactersNotBytes) {
  // 40 Cyrillic letters are 80 bytes: still one line. A cut never splits a character.
  std::string cyrillic;
  for (int i = 0; i < 40; ++i) cyrillic += "\u0416";
  EXPECT_EQ(wrap(cyrillic).size(), 1u);
  const std::string longer = cyrillic + "\u0416\u0416";
  const auto cut = wrap(longer);
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0], cyrillic);
  EXPECT_EQ(cut[1], "\u0416\u0416");
}

TEST(TimerScreenLineWrap, CountsEveryLineEvenWhenOnlySomeFit) {
  std::array<std::string_view, 1> one;
  EXPECT_EQ(wrap_lines(std::string(100, 'a'), one), 3u);
  EXPECT_EQ(one[0].size(), 40u);
}

}  // namespace
}  // namespace corvex::settings
