// The batch drying timers screen: which timer buttons it shows for the drying mode, when the
// drying column shows the averaging words, and each button's timer and limits in the editor.
#include "settings/batch_drying_window.h"

#include "resources/window_classes.h"
#include "tests/settings/setup_test_support.h"

namespace corvex::settings {
namespace {

using namespace setup_testing;
namespace res = resources;

class BatchDryingTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    register_batch_drying_class();
    screen = gui::create_window({res::BATCH_DRYING_WINDOW, " BATCH DRYING TIMERS",
                                 gui::style::kVisible | gui::style::kChild | gui::style::kCaption,
                                 Rect::from_xywh(240, 40, 400, 205), owner});
    ASSERT_NE(screen, nullptr);
  }
  std::string shown_buttons() {
    gui::invalidate(screen);
    run(nullptr, "wait 100");  // the paint, then the buttons follow the mode
    std::string s;
    for (int id : {res::kBatchHiHeatButtonId, res::kBatchLoHeatButtonId, res::kBatchDryButtonId,
                   res::kBatchCoolButtonId, res::kBatchUnloadButtonId}) {
      gui::Window* b = gui::child_by_id(screen, id);
      if (b != nullptr && b->is_shown()) s += (s.empty() ? "" : " ") + b->text();
    }
    return s;
  }
  gui::Window* screen = nullptr;
};

TEST_F(BatchDryingTest, HeatPhasesReplaceDryForModeThreeOrDualPlenum) {
  EXPECT_EQ(shown_buttons(), "DRY COOL UNLOAD");
  set_mirror(257, 0x02);  // dual plenum, but continuous flow
  EXPECT_EQ(shown_buttons(), "DRY COOL UNLOAD");
  set_mirror(8, 1);
  EXPECT_EQ(shown_buttons(), "HI HEAT LO HEAT COOL UNLOAD");
  set_mirror(257, 0x00);
  EXPECT_EQ(shown_buttons(), "DRY COOL UNLOAD");
  set_mirror(8, 3);
  EXPECT_EQ(shown_buttons(), "HI HEAT LO HEAT COOL UNLOAD");
  screenshot("batch_drying");
}

TEST_F(BatchDryingTest, AveragingWordsOnlyInBatchMoistureDrying) {
  set_mirror(257, 0x40);
  set_mirror(187, 0x86);
  EXPECT_TRUE(batch_moisture_drying());
  for (const auto& [offset, value] : {std::pair{171, 0x80}, std::pair{13, 0x01}, std::pair{256, 0x01}}) {
    set_mirror(offset, uint8_t(value));
    EXPECT_FALSE(batch_moisture_drying()) << offset;
    set_mirror(offset, 0);
  }
  set_mirror(187, 0x85);
  EXPECT_FALSE(batch_moisture_drying());
}

TEST_F(BatchDryingTest, EachButtonEditsItsTimerWithItsDefault) {
  set_mirror(8, 1);
  set_mirror(257, 0x02);
  set_mirror(16, 5);
  set_mirror(21, 7);
  set_mirror(254, 9);
  gui::paint_pending();
  run(nullptr,
      "click COOL\nclick DEFAULT\nclick ACCEPT\nclick UNLOAD\nclick DEFAULT\nclick ACCEPT\n"
      "click \"LO HEAT\"\nclick DEFAULT\nclick ACCEPT");
  EXPECT_EQ(desired(16), 20);
  EXPECT_EQ(desired(21), 10);
  EXPECT_EQ(desired(254), 60);
  EXPECT_EQ(raised_writes(), (std::vector<std::string>{"254", "16", "21"}));
}

}  // namespace
}  // namespace corvex::settings
