// The one cache of localized bitmaps every screen draws from, the localized caption helper and
// the help topic the viewer takes from the temperature editor's opener.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/gfx/bmp.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "tests/texts/text_test_support.h"
#include "texts/help_viewer.h"
#include "texts/localized_bitmaps.h"
#include "texts/localized_controls.h"

namespace corvex::texts {
namespace {

namespace gui = platform::gui;
using platform::rgb;
using testing::TempDisk;

constexpr int kPlenum1Image = 17;
constexpr int kGermanIndex = 6;
const int kImages[] = {kPlenum1Image};

void write_image(const TempDisk& disk, const char* folder, platform::Color color) {
  const std::string dir = std::string("Languages/") + folder + "/Bitmaps";
  std::filesystem::create_directories(disk.path(dir));
  const std::string name(localized_bitmap_name(kPlenum1Image));
  ASSERT_TRUE(platform::write_bmp_file(disk.path(dir + "/" + name).string(),
                                       platform::Bitmap(150, 50, color)));
}

platform::Color colour_of(const platform::Bitmap* b) { return b ? b->pixel(10, 10) : 0; }

class LocalizedImageCache : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_.write_text("CorvexLangConfig.txt", "English");
    ensure_texts_loaded();
    release_localized_images(kImages);
  }
  void TearDown() override {
    release_localized_images(kImages);
    release_localized_pictures();
  }
  TempDisk disk_;
};

TEST_F(LocalizedImageCache, KeepsAnImageUntilTheLanguageChangesOrItIsReleased) {
  write_image(disk_, "EN", rgb(10, 20, 30));
  const platform::Bitmap* first = localized_image(kPlenum1Image);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(colour_of(first), rgb(10, 20, 30));

  // A screen drawing again gets the kept image, not a fresh read of the file.
  write_image(disk_, "EN", rgb(40, 50, 60));
  EXPECT_EQ(localized_image(kPlenum1Image), first);
  EXPECT_EQ(colour_of(localized_image(kPlenum1Image)), rgb(10, 20, 30));

  write_image(disk_, "DE", rgb(70, 80, 90));
  set_language_index(kGermanIndex);
  EXPECT_EQ(colour_of(localized_image(kPlenum1Image)), rgb(70, 80, 90))
      << "a new language reads its own folder";

  set_language_index(0);
  EXPECT_EQ(colour_of(localized_image(kPlenum1Image)), rgb(40, 50, 60));
  write_image(disk_, "EN", rgb(1, 2, 3));
  release_localized_images(kImages);
  EXPECT_EQ(colour_of(localized_image(kPlenum1Image)), rgb(1, 2, 3)) << "released, read again";

  EXPECT_EQ(localized_image(0), nullptr);
  EXPECT_EQ(localized_image(kLocalizedBitmapCount), nullptr);
  EXPECT_EQ(localized_image(-1), nullptr);
}

TEST_F(LocalizedImageCache, AMissingFileIsNotTriedAgainUntilTheLanguageChanges) {
  EXPECT_EQ(localized_image(kPlenum1Image), nullptr);
  write_image(disk_, "EN", rgb(10, 20, 30));
  EXPECT_EQ(localized_image(kPlenum1Image), nullptr) << "every paint would read the disk";
  set_language_index(kGermanIndex);
  EXPECT_EQ(localized_image(kPlenum1Image), nullptr) << "no German image";
  set_language_index(0);
  EXPECT_EQ(colour_of(localized_image(kPlenum1Image)), rgb(10, 20, 30));
}

TEST_F(LocalizedImageCache, PicturesByPathStayUntilReleasedAndFailuresAreNotKept) {
  const std::string path = localized_bitmap_path(kPlenum1Image);
  EXPECT_EQ(localized_picture(path), nullptr);
  write_image(disk_, "EN", rgb(10, 20, 30));
  const platform::Bitmap* kept = localized_picture(path);
  EXPECT_EQ(colour_of(kept), rgb(10, 20, 30)) << "a failed read is tried again next time";

  write_image(disk_, "EN", rgb(40, 50, 60));
  EXPECT_EQ(localized_picture(path), kept);
  EXPECT_EQ(colour_of(localized_picture(path)), rgb(10, 20, 30));
  release_localized_pictures();
  EXPECT_EQ(colour_of(localized_picture(path)), rgb(40, 50, 60));

  // More pictures than the cache keeps: each still comes back whole.
  for (int n = 0; n < 8; ++n) {
    const std::string name = "Languages/EN/Bitmaps/P" + std::to_string(n) + ".BMP";
    ASSERT_TRUE(platform::write_bmp_file(disk_.path(name).string(),
                                         platform::Bitmap(20, 20, rgb(n, 0, 0))));
    const std::string panel = "\\Hard Disk\\Languages\\EN\\Bitmaps\\P" + std::to_string(n) + ".BMP";
    EXPECT_EQ(colour_of(localized_picture(panel)), rgb(n, 0, 0)) << n;
  }
}

class LocalizedControls : public ::testing::Test {
 protected:
  void SetUp() override {
    gui::init();
    gui::register_controls();
    window_ = gui::create_window({.class_name = std::string(gui::kButtonClass),
                                  .text = "TEMPLATE",
                                  .style = gui::style::kVisible,
                                  .rect = platform::Rect::from_xywh(0, 0, 100, 40)});
    ASSERT_NE(window_, nullptr);
    help_state().topic.store(0);
    help_state().editor_topic.store(0);
  }
  void TearDown() override {
    if (window_ != nullptr) gui::destroy_window(window_);
    gui::paint_pending();
    help_state().topic.store(0);
    help_state().available.store(0);
    help_state().editor_topic.store(0);
  }
  TempDisk disk_;
  gui::Window* window_ = nullptr;
};

TEST_F(LocalizedControls, CaptionTakesTheLocalizedStringAndKeepsTheTemplateWithoutOne) {
  set_localized_caption(window_, 2);
  EXPECT_EQ(window_->text(), "TEMPLATE") << "no language file";

  disk_.write_text("CorvexLangConfig.txt", "German");
  disk_.write_lines("Languages/DE/GermanStrings.txt", {u"Eins", u"Zwei \u00C4", u""});
  reset_texts();
  set_localized_caption(window_, 2);
  EXPECT_EQ(window_->text(), "Zwei \xC3\x84");
  set_localized_caption(window_, 3);
  EXPECT_EQ(window_->text(), "Zwei \xC3\x84") << "an empty string keeps the caption";
  set_localized_caption(window_, 900);
  EXPECT_EQ(window_->text(), "Zwei \xC3\x84") << "a number past the table keeps it too";
  set_localized_caption(nullptr, 1);
}

// The temperature editor's opener names the help topic; the viewer makes it the topic when it
// opens, and the edit request itself carries no help.
TEST_F(LocalizedControls, HelpViewerTakesTheTopicTheEditorsOpenerNamed) {
  register_text_dialogs();
  help_state().topic.store(17);
  help_state().editor_topic.store(5);
  set_help_viewer_warning(2, 5);
  gui::Window* viewer = gui::create_dialog(kHelpViewerResource, window_, &help_viewer_procedure);
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(help_state().topic.load(), 5u);
  EXPECT_EQ(help_state().available.load(), 1);
  gui::send_message(viewer, {gui::MessageKind::Command, kHelpCloseId, 0});
  gui::paint_pending();
}

}  // namespace
}  // namespace corvex::texts
