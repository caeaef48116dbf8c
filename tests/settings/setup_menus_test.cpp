// The setup menu and the extended setup menu: every picture button in its place with its
// image, the visibility rules, moving between the menus and back to the main screen, and the
// dialogs of later versions they ask for.
#include "settings/setup_menus.h"

#include <array>

#include "link/command_builder.h"
#include "link/redraw.h"
#include "link/status_decoder.h"
#include "platform/gfx/bitmap.h"
#include "resources/window_classes.h"
#include "tests/settings/setup_test_support.h"
#include "texts/localized_bitmaps.h"
#include "texts/texts.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;

class SetupMenuTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    register_setup_menu_classes();
    // As the shell creates them: children of the main window, framed with a caption, hidden.
    const auto make = [&](const char* cls, const char* title) {
      return gui::create_window(
          {cls, title,
           gui::style::kChild | gui::style::kBorder | gui::style::kCaption | gui::style::kTopmost,
           Rect::from_xywh(0, 0, 640, 475), owner});
    };
    setup =
        make(resources::SETUP_SELECTION_WINDOW, " SELECT HARDWARE SETUP PARAMETER TO MODIFY - 03");
    extended = make(resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW,
                    " SELECT SETUP PARAMETER TO MODIFY - 06");
    ASSERT_NE(setup, nullptr);
    ASSERT_NE(extended, nullptr);
  }
  static bool shown(gui::Window* menu, int id) {
    gui::Window* b = gui::child_by_id(menu, id);
    return b != nullptr && b->is_visible();
  }
  static std::string visibility() {
    const auto of = [](const char* cls) {
      gui::Window* w = gui::find_window_by_class(cls);
      return std::string(w && w->is_shown() ? "shown" : "hidden");
    };
    return of(resources::SETUP_SELECTION_WINDOW) + " " +
           of(resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW);
  }

  gui::Window* setup = nullptr;
  gui::Window* extended = nullptr;
};

struct Place {
  int id;
  int bitmap;
  int x;
  int row;
};

TEST_F(SetupMenuTest, EveryPictureButtonInItsPlaceWithItsImage) {
  const Place setup_places[] = {
      {kSetupDryingModeButton, 23, 10, 0},          {kSetupDryingSetupButton, 24, 10, 1},
      {kSetupAutoStartButton, 73, 10, 2},           {kSetupUnloadParametersButton, 25, 222, 0},
      {kSetupTemperatureManagerButton, 26, 222, 1}, {kSetupBurnerModeButton, 27, 222, 2},
      {kSetupCalibrationButton, 28, 440, 0},        {kSetupExtendedButton, 29, 440, 1}};
  const Place extended_places[] = {{kExtendedDiagnosticsButton, 30, 10, 0},
                                   {kExtendedBurnerDifferentialButton, 31, 10, 1},
                                   {kExtendedMeteringRollReverseButton, 33, 10, 2},
                                   {kExtendedUnloadBushelsButton, 35, 222, 0},
                                   {kExtendedTimeDateButton, 36, 222, 1},
                                   {kExtendedUnitsButton, 37, 222, 2},
                                   {kExtendedHardwareButton, 38, 222, 3},
                                   {kExtendedDataLoggerButton, 39, 440, 0},
                                   {kExtendedUserSettingsButton, 40, 440, 1},
                                   {kExtendedClearBatchButton, 63, 440, 2}};
  set_mirror(280, 0x40);  // auto-start offered while continuous flow
  const auto check = [&](gui::Window* menu, const auto& places, int return_id) {
    gui::show_window(menu, true);
    gui::paint_pending();
    gui::paint_pending();  // the caption set during the paint shows on the next one
    screenshot(menu->class_name());
    int previous_bottom = 0;
    for (const Place& p : places) {
      gui::Window* b = gui::child_by_id(menu, p.id);
      ASSERT_NE(b, nullptr) << p.id;
      EXPECT_EQ(b->text(), texts::localized_bitmap_control_name(p.bitmap));
      EXPECT_EQ(b->rect(), Rect::from_xywh(p.x, 40 + 80 * p.row, 175, 50)) << b->text();
      // The localized image is what the operator sees.
      const auto image = texts::load_localized_bitmap(p.bitmap);
      ASSERT_TRUE(image.has_value()) << b->text();
      const Rect r = b->screen_rect();
      int same = 0, looked = 0;
      for (int y = 2; y < 50; y += 6) {
        for (int x = 2; x < 175; x += 6, ++looked) {
          same += gui::framebuffer().pixel(r.left + x, r.top + y) == image->pixel(x, y);
        }
      }
      EXPECT_EQ(same, looked) << b->text();
      previous_bottom = std::max(previous_bottom, b->rect().bottom);
    }
    gui::Window* back = gui::child_by_id(menu, return_id);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->text(), "SCREEN_EXIT_BUTTON");
    EXPECT_EQ(back->rect().width(), 158);
    EXPECT_GT(back->rect().top, previous_bottom) << "the return button is at the bottom";
    EXPECT_TRUE(menu->screen_rect().contains(back->screen_rect()));
    gui::show_window(menu, false);
  };
  check(setup, setup_places, kSetupReturnButton);
  set_mirror(8, 1);  // batch mode: clear batch counter offered
  check(extended, extended_places, kExtendedReturnButton);
  EXPECT_EQ(setup->text(), "SELECT SETUP PARAMETER TO MODIFY");
  EXPECT_EQ(extended->text(), "SELECT EXTENDED SETUP PARAMETER TO MODIFY");
  gui::Window* language = gui::child_by_id(extended, kExtendedLanguageButton);
  ASSERT_NE(language, nullptr);
  EXPECT_EQ(language->text(), "LANGUAGE");
  EXPECT_EQ(language->rect().width(), language->rect().height());
  EXPECT_TRUE(extended->screen_rect().contains(language->screen_rect()));
}

TEST_F(SetupMenuTest, AutoStartButtonOnlyForContinuousFlowWithAutoStartAvailable) {
  struct Case {
    uint8_t mode, type, b280;
    bool shown;
  };
  const Case cases[] = {{0, 0x10, 0x40, true},
                        {1, 0x10, 0x40, false},
                        {0, 0x21, 0x40, false},
                        {0, 0x10, 0xBF, false},
                        {0, 0x40, 0x40, true}};
  for (const Case& c : cases) {
    set_mirror(8, c.mode);
    set_mirror(225, c.type);
    set_mirror(280, c.b280);
    gui::show_window(setup, true);
    gui::paint_pending();
    EXPECT_EQ(shown(setup, kSetupAutoStartButton), c.shown)
        << int(c.mode) << " " << int(c.type) << " " << int(c.b280);
    gui::show_window(setup, false);
  }
  // While the menu is open, status frames that change the drying mode, the dryer type or the
  // offer bit take the button away and bring it back, through the decoder's redraw requests.
  set_mirror(8, 0);
  set_mirror(225, 0);
  set_mirror(280, 0x40);
  gui::show_window(setup, true);
  gui::paint_pending();
  ASSERT_TRUE(shown(setup, kSetupAutoStartButton));
  std::array<uint8_t, link::kStatusFrameBytes> frame{};
  frame[280] = 0x40;
  const auto receive = [&](int offset, uint8_t value) {
    frame[size_t(offset)] = value;
    link::decode_status_frame(frame.data());
    gui::paint_pending();
    return shown(setup, kSetupAutoStartButton);
  };
  EXPECT_FALSE(receive(8, 2)) << "batch mode";
  EXPECT_TRUE(receive(8, 0));
  EXPECT_FALSE(receive(225, 0x21)) << "numbered model";
  EXPECT_TRUE(receive(225, 0));
  EXPECT_FALSE(receive(280, 0)) << "auto-start no longer offered";
  EXPECT_TRUE(receive(280, 0x40));
  // The same frames reach a covered menu: it is right when it shows again.
  gui::show_window(setup, false);
  receive(280, 0);
  gui::show_window(setup, true);
  gui::paint_pending();
  EXPECT_FALSE(shown(setup, kSetupAutoStartButton));
}

// A new language renames the menus as it is chosen, though neither shows nor is painted.
TEST_F(SetupMenuTest, ANewLanguageRenamesMenusThatAreNotShowing) {
  texts::set_language(0);
  ASSERT_FALSE(setup->is_shown());
  ASSERT_FALSE(extended->is_shown());
  const std::string english = setup->text();
  EXPECT_EQ(english, texts::localized_text(461));
  texts::set_language(11);  // Russian
  EXPECT_EQ(setup->text(), texts::localized_text(461));
  EXPECT_NE(setup->text(), english);
  EXPECT_EQ(extended->text(), texts::localized_text(470));
  texts::set_language(0);
  EXPECT_EQ(setup->text(), english);
}

TEST_F(SetupMenuTest, ClearBatchCounterOnlyInBatchModes) {
  set_mirror(8, 0);
  gui::show_window(extended, true);
  gui::paint_pending();
  EXPECT_FALSE(shown(extended, kExtendedClearBatchButton));
  gui::show_window(extended, false);
  set_mirror(8, 3);
  gui::show_window(extended, true);
  gui::paint_pending();
  EXPECT_TRUE(shown(extended, kExtendedClearBatchButton));
}

TEST_F(SetupMenuTest, ClearBatchCounterFollowsTheDryingModeWhileTheMenuIsOpen) {
  gui::show_window(extended, true);
  gui::paint_pending();
  ASSERT_FALSE(shown(extended, kExtendedClearBatchButton));
  // Status frames from the controller, through the decoder and the repaint it asks for.
  std::array<uint8_t, link::kStatusFrameBytes> frame{};
  for (const uint8_t mode : {1, 0, 3}) {
    frame[8] = mode;
    link::decode_status_frame(frame.data());
    gui::paint_pending();
    EXPECT_EQ(shown(extended, kExtendedClearBatchButton), mode != 0) << "mode " << int(mode);
  }
}

TEST_F(SetupMenuTest, StaleClearBatchCounterPressInContinuousFlowSendsNothing) {
  set_mirror(8, 1);
  link::request_redraw(link::RedrawTarget::ExtendedSetupMenu);
  gui::show_window(extended, true);
  gui::paint_pending();
  ASSERT_TRUE(shown(extended, kExtendedClearBatchButton));
  // The mode turns 0 and the press lands before the menu is repainted.
  const int press = add_probe([this] {
    set_mirror(8, 0);
    gui::post_message(extended, {gui::MessageKind::Command, kExtendedClearBatchButton, 0});
    return std::string("pressed");
  });
  // Answers whether the question came up (and closes it unanswered if it did).
  const int look = add_probe([this] {
    gui::Window* question = gui::active_modal();
    if (question != nullptr) gui::post_message(question, {gui::MessageKind::Close, 0, 0});
    return std::string(question != nullptr ? "asked" : "not asked") +
           (shown(extended, kExtendedClearBatchButton) ? " shown" : " hidden");
  });
  const auto out = answers(run(nullptr, "probe " + std::to_string(press) + "\nwait 20\nprobe " +
                                            std::to_string(look) + "\nwait 20"));
  EXPECT_EQ(out, (std::vector<std::string>{"pressed", "not asked hidden"}));
  EXPECT_TRUE(raised_writes().empty());
  uint8_t tx[link::kTransmitBufferBytes] = {};
  EXPECT_FALSE(link::build_command_frame(tx));
  EXPECT_EQ(std::vector<uint8_t>(tx, tx + 2), (std::vector<uint8_t>{0x04, 0x00}))
      << "no record 00 DD 02 00 00";

  // In a batch mode the same press asks, and Yes clears the counter.
  set_mirror(8, 1);
  link::request_redraw(link::RedrawTarget::ExtendedSetupMenu);
  run(nullptr, "click CLEAR_BATCH_COUNT_BUTTON\nclick Yes");
  ASSERT_TRUE(link::build_command_frame(tx));
  EXPECT_EQ(std::vector<uint8_t>(tx, tx + tx[0] - 2),
            (std::vector<uint8_t>{0x09, 0x01, 0x00, 0xDD, 0x02, 0x00, 0x00}));
}

TEST_F(SetupMenuTest, BetweenTheMenusAndBackToTheMainScreen) {
  link::dryer_state().main_screen_shown.store(0);
  set_mirror(224, 0x15);
  gui::show_window(setup, true);
  const int where = add_probe(visibility);
  const std::string w = "probe " + std::to_string(where) + "\n";
  const auto out =
      answers(run(nullptr, w + "click EXTENDED_SETUP_BUTTON\n" + w + "click SCREEN_EXIT_BUTTON\n" +
                               w + "click SCREEN_EXIT_BUTTON\n" + w));
  EXPECT_EQ(out, (std::vector<std::string>{"shown hidden", "hidden shown", "shown hidden",
                                           "hidden hidden"}));
  EXPECT_EQ(link::dryer_state().main_screen_shown.load(), 1);
  EXPECT_EQ(desired(224), 0x15);
  EXPECT_TRUE(raised_writes().empty()) << "the return only prepares the slot";
}

TEST_F(SetupMenuTest, ButtonsOpenTheirDialogs) {
  set_mirror(8, 1);       // staged batch
  set_mirror(225, 0x22);  // a numbered model: burner mode does nothing
  gui::show_window(setup, true);
  gui::show_window(extended, false);
  const int caption = add_probe(modal_caption);
  const std::string probe = "probe " + std::to_string(caption) + "\n";
  EXPECT_EQ(answers(run(nullptr, "click DRYING_MODE_BUTTON\n" + probe + "click ACCEPT\n" +
                                     "click BURNER_MODE_BUTTON\n" + probe +
                                     "click EXTENDED_SETUP_BUTTON\n" +
                                     "click DIAGNOSTICS_BUTTON\n" + probe + "click Exit")),
            (std::vector<std::string>{"DRYING MODE SELECTION", "SYSTEM DIAGNOSTICS"}))
      << "the localized captions; burner mode opens nothing on a numbered model";
  // With any other dryer the burner mode opens.
  set_mirror(8, 0);
  set_mirror(225, 0x10);
  gui::show_window(extended, false);
  gui::show_window(setup, true);
  const auto out =
      answers(run(nullptr, "click BURNER_MODE_BUTTON\n" + probe +
                               "click CANCEL\nclick MC_SETUP_BUTTON\n" + probe + "click ACCEPT"));
  EXPECT_EQ(out, (std::vector<std::string>{"SELECT BURNER MODE", "CONTINUOUS FLOW SETUP"}));
}

}  // namespace
}  // namespace corvex::settings
