// What the decoder hands to the GUI thread: the batch button rule and the bar-control redraws,
// against real windows of the window system.
#include <gtest/gtest.h>

#include <thread>

#include "link/link_hooks.h"
#include "link/redraw.h"
#include "link_test_support.h"
#include "platform/gui/controls.h"
#include "platform/gui/window.h"
#include "resources/window_classes.h"

namespace corvex::link::test {
namespace {

namespace gui = platform::gui;

gui::Window* make(const char* cls, gui::Window* parent, int id, platform::Rect r) {
  gui::CreateParams p;
  p.class_name = cls;
  p.rect = r;
  p.parent = parent;
  p.id = id;
  p.style = gui::style::kVisible | (parent ? gui::style::kChild : 0);
  return gui::create_window(p);
}

class GuiWork : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    gui::init();
    gui::register_controls();
    for (const char* cls :
         {"LINK_TEST_MAIN", resources::BATCH_DRYING_WINDOW, resources::DRYER_PIC_WINDOW})
      gui::register_class({cls, &gui::default_window_procedure});
    main_ = make("LINK_TEST_MAIN", nullptr, 0, {0, 0, 640, 480});
    ASSERT_NE(main_, nullptr);
    make(resources::DRYER_PIC_WINDOW, main_, 0, {0, 0, 240, 420});
    misc_ = make("BUTTON", main_, resources::kMiscButtonId, {516, 427, 621, 467});
    screen_ = make(resources::BATCH_DRYING_WINDOW, main_, 0, {240, 40, 640, 245});
    hi_ = make("BUTTON", screen_, resources::kBatchHiHeatButtonId, {0, 0, 80, 40});
    lo_ = make("BUTTON", screen_, resources::kBatchLoHeatButtonId, {0, 40, 80, 80});
    dry_ = make("BUTTON", screen_, resources::kBatchDryButtonId, {0, 80, 80, 120});
    ASSERT_TRUE(hi_ && lo_ && dry_ && misc_);
    gui::enable_window(dry_, false);
  }
  void TearDown() override {
    gui::reset();
    LinkTest::TearDown();
  }
  gui::Window *main_ = nullptr, *screen_ = nullptr, *misc_ = nullptr;
  gui::Window *hi_ = nullptr, *lo_ = nullptr, *dry_ = nullptr;
};

TEST_F(GuiWork, BatchButtonRuleByDryingModeAndDualPlenum) {
  struct Case {
    uint8_t mode, criteria;
    bool heat;
  } cases[] = {{0, 0x02, false}, {3, 0x00, true}, {1, 0x02, true}, {1, 0x00, false},
               {2, 0x02, true}};
  for (const Case& c : cases) {
    set_mirror(8, c.mode);
    set_mirror(257, c.criteria);
    apply_batch_button_rule();
    EXPECT_EQ(hi_->is_shown(), c.heat) << int(c.mode);
    EXPECT_EQ(lo_->is_shown(), c.heat) << int(c.mode);
    EXPECT_EQ(dry_->is_shown(), !c.heat) << int(c.mode);
    EXPECT_TRUE(dry_->is_enabled());
  }
}

TEST_F(GuiWork, FromTheExchangeThreadTheRuleWaitsForTheGuiThread) {
  set_mirror(8, 3);
  std::thread exchange([] { apply_batch_button_rule(); });
  exchange.join();
  EXPECT_TRUE(dry_->is_shown());  // nothing done off the GUI thread
  EXPECT_EQ(service_link_gui_work(), uint32_t(kGuiWorkBatchButtonRule));
  EXPECT_FALSE(dry_->is_shown());
  EXPECT_TRUE(hi_->is_shown());
  EXPECT_EQ(service_link_gui_work(), 0u);
}

TEST_F(GuiWork, ControlRedrawsAreHandedToTheGuiThread) {
  set_redraw_sink(nullptr);  // the platform's own invalidation
  std::thread exchange([] {
    request_redraw(RedrawTarget::MiscButton, Erase::No);
    request_redraw(RedrawTarget::UnloadStatusButton, Erase::No);  // its window does not exist
  });
  exchange.join();
  EXPECT_EQ(service_link_gui_work(),
            uint32_t(kGuiWorkRedrawMiscButton | kGuiWorkRedrawUnloadStatusButton));
  // Requests to windows that do not exist are ignored.
  request_redraw(RedrawTarget::MeteringRollDialog, Erase::Yes);
  request_redraw_rect(RedrawTarget::LineGraph, {5, 145, 235, 170}, Erase::No);
}

}  // namespace
}  // namespace corvex::link::test
