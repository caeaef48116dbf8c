// The warning window as the operator sees it, painted headless: the lost-link picture with its
// moving signal, and a fan/heater's warning 5 in both blink phases, checked for ink of the
// right colours where it must be (the screenshots are written to the build folder to look
// at). Also the help viewer's text list and the language selection dialog.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "platform/gfx/bmp.h"
#include "platform/gfx/png.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/io/clock.h"
#include "resources/warning_bitmaps.h"
#include "tests/texts/text_test_support.h"
#include "texts/help_viewer.h"
#include "texts/language_dialog.h"
#include "texts/warning_window.h"

namespace corvex::texts {
namespace {

namespace gui = platform::gui;
using platform::Color;
using platform::Rect;
using platform::rgb;
using testing::TempDisk;

// Strings the warning window and the dialogs draw.
std::vector<std::u16string> window_strings() {
  std::vector<std::u16string> lines(500);
  lines[329 - 1] = u" WARNING - DRYER SHUTTING DOWN!";
  lines[330 - 1] = u"DRYER SHUTDOWN";
  lines[331 - 1] = u"CHECK THE DRYER BEFORE RESTARTING";
  lines[332 - 1] = u"BURNER FLAME WAS LOST";
  lines[333 - 1] = u"CHECK THE GAS SUPPLY AND VALVES";
  lines[334 - 1] = u"RESET THE FAN/HEATER TO RESTART";
  lines[335 - 1] = u"COOLING THE GRAIN";
  lines[336 - 1] = u"WAIT FOR THE COOL DOWN";
  lines[337 - 1] = u"UNLOAD RUNNING";
  lines[338 - 1] = u"CONNECTION LOST";
  lines[339 - 1] = u"COOL DOWN";
  lines[462 - 1] = u"TIME LEFT";
  lines[459 - 1] = u"WARNING HELP";
  lines[145 - 1] = u"EXIT";
  lines[477 - 1] = u"English";
  lines[479 - 1] = u"Deutsch";
  return lines;
}

class WarningWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui::init();
    platform::clock::use_virtual(0);
    gui::register_controls();
    register_warning_window_class();
    disk_.write_text("CorvexLangConfig.txt", "English");
    disk_.write_lines("Languages/EN/EnglishStrings.txt", window_strings());
    disk_.write_lines("Languages/EN/WarningsFH2.txt",
                      {u"header", u"0301", u"0302", u"0303", u"0304",
                       u"0305 FAN/HEATER #2: FLAME FAILURE"});
    std::filesystem::create_directories(disk_.path("Languages/EN/Bitmaps"));
    ASSERT_TRUE(platform::write_bmp_file(
        disk_.path("Languages/EN/Bitmaps/GRAPHIC_072_WARNING_HELP_BUTTON.BMP").string(),
        platform::Bitmap(200, 50, kHelpFace)));
    window_ = gui::create_window({.class_name = kWarningWindowClass,
                                  .text = " WARNING - DRYER SHUTTING DOWN! - 05",
                                  .style = gui::style::kVisible | gui::style::kCaption,
                                  .rect = Rect::from_xywh(10, 20, 600, 325)});
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_ != nullptr) {
      gui::destroy_window(window_);
      // The window lives as long as the program: its destruction ends the message loop.
      EXPECT_TRUE(gui::quit_posted());
      EXPECT_EQ(gui::run_message_loop(), 0) << "consumes the quit so later loops run";
    }
    gui::paint_pending();
  }

  // Paints the window now and returns the screen, saved as NAME.png in the build folder.
  const platform::Bitmap& paint(const std::string& name) {
    gui::invalidate(window_);
    gui::paint_pending();
    gui::paint_pending();  // the caption set during the paint shows on the next one
    const std::string dir = std::string(CORVEX_BUILD_DIR) + "/texts_screenshots";
    std::filesystem::create_directories(dir);
    platform::write_png_file(dir + "/" + name + ".png", gui::framebuffer());
    return gui::framebuffer();
  }

  // Pixels of exactly `c` in a rectangle of the window's client area.
  int ink(const Rect& client_rect, Color c) const {
    const platform::Point o = window_->client_origin();
    const Rect r = client_rect.translated(o.x, o.y);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) n += gui::framebuffer().pixel(x, y) == c;
    }
    return n;
  }

  // True when the part `part` of the bitmap (all of it by default) is on the screen with the
  // bitmap's top-left corner at `at` in the client area.
  bool shows_bitmap(const platform::Bitmap& b, platform::Point at, Rect part = {}) const {
    const platform::Point o = window_->client_origin();
    if (part.empty()) part = b.rect();
    for (int y = part.top; y < part.bottom; y += 3) {
      for (int x = part.left; x < part.right; x += 3) {
        if (gui::framebuffer().pixel(o.x + at.x + x, o.y + at.y + y) != b.pixel(x, y)) {
          ADD_FAILURE() << "bitmap differs at " << x << ", " << y;
          return false;
        }
      }
    }
    return true;
  }

  void report_warning(int node, int warning, uint32_t blink) {
    auto& s = link::dryer_state();
    s.link_watchdog = 10;
    s.mirror[186] = uint8_t(node);
    s.mirror[185] = uint8_t(warning);
    s.blink_flags = blink;
  }

  static constexpr Color kHelpFace = rgb(12, 200, 180);
  TempDisk disk_;
  gui::Window* window_ = nullptr;
};

TEST_F(WarningWindowTest, LostLinkShowsThePanelTheCabinetAndTheMovingSignal) {
  link::dryer_state().link_watchdog = 0;
  paint("lost_link_step0");
  EXPECT_EQ(window_->text(), " CONNECTION TO DRYER LOST!");
  EXPECT_EQ(link::dryer_state().resync_request.load(), 1) << "the paint asks for a resync";
  EXPECT_TRUE(shows_bitmap(*resources::warning_resource_bitmap(259), {30, 40}));
  // The help button covers the foot of the cabinet.
  EXPECT_TRUE(shows_bitmap(*resources::warning_resource_bitmap(260), {250, 20}, {0, 0, 100, 105}));
  EXPECT_GT(ink({5, 5, 325, 50}, rgb(0, 0, 150)), 40) << "the lost-link text in blue";
  // The cable between them, green with dark edges; the signal at step 0 sits at 130..120?
  // No: at step 0 it runs from x 105 to 120, under the panel picture; in open cable from 130.
  EXPECT_GT(ink({135, 66, 245, 75}, rgb(0, 125, 0)), 400);
  EXPECT_GT(ink({135, 65, 245, 66}, rgb(20, 50, 20)), 100);
  EXPECT_EQ(ink({135, 67, 245, 74}, rgb(0, 0, 150)), 0);

  // Five pulses of 300 ms later the signal is at step 5: x 155..170.
  platform::clock::advance_ms(1500);
  paint("lost_link_step5");
  EXPECT_GT(ink({156, 68, 170, 72}, rgb(0, 0, 150)), 40);
  EXPECT_EQ(ink({175, 67, 245, 74}, rgb(0, 0, 150)), 0);
  EXPECT_EQ(signal_step_at(13 * 300), 13);
  EXPECT_EQ(signal_step_at(14 * 300), 12) << "the signal runs back";
  EXPECT_EQ(signal_step_at(26 * 300), 0);
}

TEST_F(WarningWindowTest, FanHeaterWarning5InBothBlinkPhases) {
  report_warning(3, 5, link::kBlinkPhaseOn);
  paint("fan_heater_warning5_blink_on");
  EXPECT_EQ(window_->text(), " WARNING - DRYER SHUTTING DOWN!");
  // The headline and the red line run over the sign's right part and its middle.
  EXPECT_TRUE(shows_bitmap(*resources::warning_resource_bitmap(517), {20, 1}, {0, 0, 28, 47}));
  EXPECT_TRUE(shows_bitmap(*resources::warning_resource_bitmap(517), {20, 1}, {0, 52, 100, 92}));
  EXPECT_TRUE(shows_bitmap(platform::Bitmap(200, 50, kHelpFace), {195, 125}))
      << "the help button carries bitmap 72";
  EXPECT_GT(ink({25, 49, 575, 52}, rgb(255, 0, 0)), 1000) << "the upper red line";
  EXPECT_GT(ink({25, 99, 575, 102}, rgb(255, 0, 0)), 1000) << "the lower red line";
  EXPECT_GT(ink({0, 60, 600, 85}, platform::colors::kWhite), 30) << "the warning text";
  EXPECT_GT(ink({125, 0, 575, 47}, rgb(255, 0, 0)), 300) << "the red headline";
  EXPECT_GT(ink({25, 200, 575, 222}, rgb(0, 255, 0)), 100) << "string 331 in green";
  EXPECT_GT(ink({25, 220, 575, 250}, rgb(0, 0, 200)), 100) << "string 332 in blue";
  EXPECT_GT(ink({25, 250, 575, 270}, rgb(175, 0, 0)), 100) << "string 333 in dark red";
  EXPECT_GT(ink({25, 270, 575, 295}, rgb(175, 0, 0)), 100) << "string 334 in dark red";

  report_warning(3, 5, 0);
  paint("fan_heater_warning5_blink_off");
  EXPECT_EQ(ink({125, 0, 575, 47}, rgb(255, 0, 0)), 0) << "the headline is off";
  EXPECT_GT(ink({0, 60, 600, 85}, platform::colors::kWhite), 30);
  EXPECT_GT(ink({25, 250, 575, 270}, rgb(175, 0, 0)), 100);
}

TEST_F(WarningWindowTest, CoolingAndCountdownHeadlines) {
  report_warning(3, 5, link::kBlinkPhaseOn);
  auto& mirror = link::dryer_state().mirror;
  mirror[188] = 0x10;  // cooling: blue headline, grain temperature, strings 335 and 336
  mirror[184] = 1;
  mirror[91] = 0x2C;
  mirror[92] = 0x01;  // 300 F
  paint("fan_heater_warning5_cooling");
  EXPECT_GT(ink({125, 0, 575, 26}, rgb(0, 0, 255)), 200);
  EXPECT_EQ(ink({125, 0, 575, 47}, rgb(255, 0, 0)), 0);
  EXPECT_GT(ink({50, 28, 575, 52}, rgb(0, 0, 100)), 40) << "the grain temperature line";
  EXPECT_GT(ink({25, 220, 575, 250}, rgb(175, 0, 0)), 100) << "string 335";
  EXPECT_EQ(ink({25, 220, 575, 250}, rgb(0, 0, 200)), 0) << "not string 332";

  mirror[188] = 0x02;  // unloading countdown: blue "TIME LEFT: m:ss" and string 337
  mirror[267] = 4;
  mirror[268] = 7;
  paint("fan_heater_warning5_countdown");
  EXPECT_GT(ink({125, 5, 575, 45}, rgb(0, 0, 255)), 300);
  EXPECT_GT(ink({25, 220, 575, 250}, rgb(0, 0, 200)), 100);
}

TEST_F(WarningWindowTest, SixtyCharactersOnOneLineSixtyOneOnTwo) {
  const std::u16string sixty = u"0306 " + std::u16string(55, u'N');
  const std::u16string sixty_one = u"0307 " + std::u16string(27, u'N') + u" " +
                                   std::u16string(28, u'N');
  ASSERT_EQ(sixty.size(), 60u);
  ASSERT_EQ(sixty_one.size(), 61u);
  disk_.write_lines("Languages/EN/WarningsFH2.txt",
                    {u"h", u"1", u"2", u"3", u"4", u"5", sixty, sixty_one});
  load_warning_texts();
  report_warning(3, 6, 0);
  paint("warning_60_characters");
  EXPECT_GT(ink({0, 64, 600, 80}, platform::colors::kWhite), 30);
  EXPECT_EQ(ink({0, 84, 600, 105}, platform::colors::kWhite), 0);
  report_warning(3, 7, 0);
  paint("warning_61_characters");
  // Split at the last space before half: "0307" above, the two long words below.
  EXPECT_GT(ink({0, 60, 600, 78}, platform::colors::kWhite), 5);
  EXPECT_EQ(ink({0, 60, 250, 78}, platform::colors::kWhite), 0);
  EXPECT_GT(ink({0, 84, 600, 105}, platform::colors::kWhite), 30);
}

TEST_F(WarningWindowTest, HelpViewerListsTheTextWithTabsAsFourSpaces) {
  disk_.write("Languages/EN/WarningBitmaps/NID_02_WARNING_ID_05.txt",
              testing::utf16le(u"FLAME FAILURE\r\n\tCheck the gas\r\n\r\nlast line"));
  std::filesystem::create_directories(disk_.path("Languages/EN/WarningBitmaps"));
  ASSERT_TRUE(platform::write_bmp_file(
      disk_.path("Languages/EN/WarningBitmaps/NID_02_WARNING_ID_05.bmp").string(),
      platform::Bitmap(500, 400, rgb(40, 90, 160))));
  register_text_dialogs();
  // Opened modeless here, as the modal loop would block the test; the procedure is the same.
  // Fan/heater 4 (node id 5) reads the files of node 2.
  set_help_viewer_warning(5, 5);
  gui::Window* viewer = gui::create_dialog(kHelpViewerResource, window_, &help_viewer_procedure);
  ASSERT_NE(viewer, nullptr);
  gui::paint_pending();
  EXPECT_EQ(link::dryer_state().warning_help_dialog, viewer);
  gui::Window* list = gui::dialog_item(viewer, kHelpListId);
  ASSERT_EQ(gui::list_box_count(list), 4);
  EXPECT_EQ(gui::list_box_text(list, 0), "FLAME FAILURE");
  EXPECT_EQ(gui::list_box_text(list, 1), "    Check the gas");
  EXPECT_EQ(gui::list_box_text(list, 2), "");
  EXPECT_EQ(gui::list_box_text(list, 3), "last line");
  EXPECT_EQ(viewer->text(), "WARNING HELP");
  EXPECT_EQ(gui::dialog_item(viewer, kHelpCloseId)->text(), "EXIT");
  EXPECT_FALSE(help_viewer_state().picture_missing);
  const platform::Point o = viewer->client_origin();
  EXPECT_EQ(gui::framebuffer().pixel(o.x + 200, o.y + 100), rgb(40, 90, 160));
  gui::send_message(viewer, {gui::MessageKind::Command, kHelpCloseId, 0});
  gui::paint_pending();
  EXPECT_EQ(link::dryer_state().warning_help_dialog, nullptr);
}

// The 300 ms repaint of the signal crosses the warning text: after a change of warning, no
// paint may show part of the new description beside the rest of the old one.
TEST_F(WarningWindowTest, AChangedWarningIsNeverShownHalfOldHalfNew) {
  disk_.write_lines("Languages/EN/WarningsFH2.txt",
                    {u"h", u"0301 FIRST WARNING: THE BURNER FLAME IS OUT",
                     u"0302 SECOND WARNING: THE FAN MOTOR OVERLOADED"});
  load_warning_texts();
  const auto client_picture = [this] {
    const Rect r = window_->screen_rect();
    platform::Bitmap b(r.width(), r.height());
    for (int y = 0; y < r.height(); ++y) {
      for (int x = 0; x < r.width(); ++x) {
        b.set_pixel(x, y, gui::framebuffer().pixel(r.left + x, r.top + y));
      }
    }
    return b;
  };
  report_warning(3, 1, 0);
  paint("warning_first");
  const platform::Bitmap first = client_picture();
  report_warning(3, 2, 0);
  paint("warning_second");
  const platform::Bitmap second = client_picture();
  ASSERT_NE(first, second);

  report_warning(3, 1, 0);
  paint("warning_first_again");
  ASSERT_EQ(client_picture(), first);
  report_warning(3, 2, 0);
  gui::invalidate_rect(window_, {105, 65, 260, 75}, gui::Erase::No);
  gui::paint_pending();
  const platform::Bitmap between = client_picture();
  EXPECT_TRUE(between == first || between == second) << "a mix of the two warnings";
  gui::paint_pending();
  EXPECT_EQ(client_picture(), second) << "the whole description follows at once";

  // Partial repaints of an unchanged warning still draw only what was asked for.
  gui::invalidate_rect(window_, {105, 65, 260, 75}, gui::Erase::No);
  gui::paint_pending();
  EXPECT_EQ(client_picture(), second);
}

TEST_F(WarningWindowTest, HelpViewerWrapsLinesWiderThanTheList) {
  const std::u16string wide =
      u"\tПри изключване на горелката вентилаторът продължава да работи, докато "
      u"температурата в камерата падне под зададената стойност за охлаждане.";
  const std::u16string unbroken = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ" + std::u16string(60, u'W');
  disk_.write("Languages/EN/WarningBitmaps/NID_15_WARNING_ID_02.txt",
              testing::utf16le(u"SHORT LINE\r\n" + wide + u"\r\n" + unbroken + u"\r\nend\r\n"));
  register_text_dialogs();
  set_help_viewer_warning(15, 2);
  gui::Window* viewer = gui::create_dialog(kHelpViewerResource, window_, &help_viewer_procedure);
  ASSERT_NE(viewer, nullptr);
  gui::paint_pending();
  gui::Window* list = gui::dialog_item(viewer, kHelpListId);
  const int count = gui::list_box_count(list);
  ASSERT_GT(count, 6);
  EXPECT_EQ(gui::list_box_text(list, 0), "SHORT LINE");
  EXPECT_EQ(gui::list_box_text(list, count - 1), "end");

  std::string shown;  // every item without its spaces, in order
  size_t indent = 0;
  for (int i = 0; i < count; ++i) {
    const std::string item = gui::list_box_text(list, i);
    // Each item, scrolled into view, fits the text part of its row (4 pixels in from each side).
    gui::list_box_set_top_index(list, i);
    const Rect row = gui::list_box_item_rect(list, i);
    ASSERT_FALSE(row.empty()) << i;
    EXPECT_LE(platform::measure_text_line(item, gui::kListFont).width, row.width() - 8) << item;
    for (const char ch : item) {
      if (ch != ' ') shown += ch;
    }
    // Continuations go four spaces past their line's own indentation: the wide line starts
    // four in (its tab), the unbroken word at the margin.
    if (item.rfind("    При", 0) == 0) {
      indent = 8;
    } else if (item.rfind("ABC", 0) == 0) {
      indent = 4;
    } else if (i > 0 && i < count - 1) {
      EXPECT_EQ(item.find_first_not_of(' '), indent) << item;
    }
  }
  std::string expected;
  for (const std::u16string& line :
       {std::u16string(u"SHORT LINE"), wide, unbroken, std::u16string(u"end")}) {
    for (const char ch : to_utf8(line)) {
      if (ch != ' ' && ch != '\t') expected += ch;
    }
  }
  EXPECT_EQ(shown, expected) << "every word of the text, in order";
  paint("help_viewer_wrapped");
  gui::destroy_window(viewer);
}

// Every line of every warning help text of every language, wrapped to the viewer's list:
// no piece wider than the list, every word kept in order.
TEST_F(WarningWindowTest, EveryHelpTextOfEveryLanguageFitsTheList) {
  register_text_dialogs();
  set_help_viewer_warning(15, 2);
  gui::Window* viewer = gui::create_dialog(kHelpViewerResource, window_, &help_viewer_procedure);
  ASSERT_NE(viewer, nullptr);
  const int width = help_list_text_width(*gui::dialog_item(viewer, kHelpListId));
  gui::destroy_window(viewer);
  ASSERT_GT(width, 400);
  const auto without_spaces = [](std::string_view text) {
    std::string kept;
    for (const char ch : text) {
      if (ch != ' ') kept += ch;
    }
    return kept;
  };
  namespace fs = std::filesystem;
  const fs::path sources = fs::path(CORVEX_SOURCE_DIR) / "data" / "lang";
  int files = 0, wrapped = 0;
  for (const Language& language : languages()) {
    const fs::path folder = sources / std::string(language.folder) / "warning_help";
    if (!fs::exists(folder)) continue;
    for (const auto& entry : fs::directory_iterator(folder)) {
      ++files;
      std::ifstream in(entry.path());
      std::string line;
      while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        for (size_t tab; (tab = line.find('\t')) != std::string::npos;) {
          line.replace(tab, 1, "    ");
        }
        const std::vector<std::string> pieces = wrap_help_line(line, width);
        wrapped += pieces.size() > 1;
        std::string joined;
        for (const std::string& piece : pieces) {
          EXPECT_LE(platform::measure_text_line(piece, gui::kListFont).width, width)
              << entry.path() << ": " << piece;
          joined += without_spaces(piece);
        }
        EXPECT_EQ(joined, without_spaces(line)) << entry.path();
      }
    }
  }
  if (files == 0) GTEST_SKIP() << "no help text sources";
  EXPECT_GT(wrapped, 0) << "some help lines are wider than the list";
  std::cout << files << " help files, " << wrapped << " lines wrapped\n";
}

TEST_F(WarningWindowTest, HelpViewerWithoutFilesSaysSo) {
  register_text_dialogs();
  set_help_viewer_warning(15, 9);
  gui::Window* viewer = gui::create_dialog(kHelpViewerResource, window_, &help_viewer_procedure);
  ASSERT_NE(viewer, nullptr);
  gui::paint_pending();
  gui::Window* list = gui::dialog_item(viewer, kHelpListId);
  ASSERT_EQ(gui::list_box_count(list), 1);
  EXPECT_EQ(gui::list_box_text(list, 0), "NO TEXT FILE AVAILABLE.");
  EXPECT_TRUE(help_viewer_state().picture_missing) << "the Retry/Cancel question is due";
  gui::destroy_window(viewer);
}

TEST_F(WarningWindowTest, LanguageDialogLabelsChecksAndSwitches) {
  disk_.write_lines("Languages/DE/GermanStrings.txt", window_strings());
  register_text_dialogs();
  gui::Window* dialog =
      gui::create_dialog(kLanguageDialogResource, window_, &language_dialog_procedure);
  ASSERT_NE(dialog, nullptr);
  gui::paint_pending();
  EXPECT_EQ(gui::dialog_item(dialog, 1492)->text(), "English\n(English)");
  EXPECT_EQ(gui::dialog_item(dialog, 1497)->text(), "Deutsch\n(German)");
  EXPECT_EQ(gui::dialog_item(dialog, 1504)->text(), "\n(Dutch)");
  for (const Language& l : languages()) {
    const Rect r = gui::dialog_item(dialog, l.button_id)->screen_rect();
    EXPECT_GE(r.height(), 40);
    EXPECT_TRUE((Rect{0, 0, 640, 480}).contains(r)) << l.name;
  }
  gui::send_message(dialog, {gui::MessageKind::Command, 1497, 0});
  gui::paint_pending();
  EXPECT_EQ(language_index(), 6);
  EXPECT_EQ(disk_.read_text("CorvexLangConfig.txt"), "German");
}

}  // namespace
}  // namespace corvex::texts
