// The unload status window: its two buttons, and the status frames that change what it shows
// repaint it (presets on the speed button, bushels per hour and the count on the bushels button).
#include <array>

#include "link/dryer_state.h"
#include "link/link_hooks.h"
#include "link/status_decoder.h"
#include "resources/calibration_dialogs.h"
#include "resources/metering_roll_dialog.h"
#include "resources/window_classes.h"
#include "settings/calibration_dialogs.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

class UnloadStatusTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    gui::enable_text_recording();
    register_unload_status_class();
    gui::CreateParams p;
    p.class_name = res::UNLOAD_STATUS_WINDOW;
    p.text = " UNLOAD STATUS";
    p.style =
        gui::style::kChild | gui::style::kBorder | gui::style::kCaption | gui::style::kVisible;
    p.rect = platform::Rect::from_xywh(0, 245, 240, 175);
    p.parent = owner;
    window = gui::create_window(p);
    ASSERT_NE(window, nullptr);
    for (size_t k = 0; k < link::kStatusBytes; ++k) frame[k] = mirror(int(k));
  }
  // Decodes a frame of the current mirror with `changes` applied, then paints.
  void decode(std::initializer_list<std::pair<int, uint8_t>> changes) {
    for (const auto& [offset, value] : changes) frame[size_t(offset)] = value;
    link::decode_status_frame(frame.data());
    // The shell's loop hands the link's control redraws to the GUI thread after every message.
    link::service_link_gui_work();
    gui::advance_virtual(1);
    gui::paint_pending();
  }
  static bool shows(const std::string& text) {
    return gui::describe_texts().find("\"" + text + "\"") != std::string::npos;
  }
  std::array<uint8_t, link::kStatusFrameBytes> frame{};
  gui::Window* window = nullptr;
};

TEST_F(UnloadStatusTest, StatusFramesRepaintTheLargeValuePresetsAndBushels) {
  gui::paint_pending();
  EXPECT_TRUE(shows(" HIGH: 0000 "));
  EXPECT_TRUE(shows(" 0")) << gui::describe_texts();
  decode({{156, 45}, {158, 3}});
  EXPECT_TRUE(shows(" HIGH: 0450 ")) << gui::describe_texts();
  EXPECT_TRUE(shows(" LOW:  0030 "));
  decode({{173, 0x01}, {174, 0x2C}});  // 300 bushels per hour
  EXPECT_TRUE(shows(" 300")) << gui::describe_texts();
  decode({{164, 0x20}, {165, 0x1C}});  // 7200: 2 total bushels
  EXPECT_TRUE(shows(" 2")) << gui::describe_texts();
  decode({{197, 0x01}, {198, 0xC5}});
  EXPECT_TRUE(shows("45.3"));
  // Bit 5 of the dryer-type byte: the same bytes are hundredths.
  decode({{225, 0x20}, {198, 0xC6}});
  EXPECT_TRUE(shows("4.54")) << gui::describe_texts();
}

TEST_F(UnloadStatusTest, SpeedButtonOpensTheMeteringRollDialogAndTheBushelsButtonNothing) {
  const int open = add_probe([] {
    gui::Window* d = gui::active_modal();
    return std::string(d && gui::dialog_item(d, res::kMrIncrease) ? "metering roll" : "none");
  });
  const std::string p = "probe " + std::to_string(open) + "\n";
  const auto out =
      answers(run(nullptr, "click UNLOAD_STATUS_SELECT_BUTTON\n" + p +
                               "click UNLOAD_MR_SPEED_SELECT_BUTTON\n" + p + "click EXIT\n" + p));
  EXPECT_EQ(out, (std::vector<std::string>{"none", "metering roll", "none"}));
}

}  // namespace
}  // namespace corvex::settings
