// The plenum view: the layout chosen by status bytes 225 and 3, each box's texts and colours
// from its fan/heater's bytes (state-text order, setpoints, both units, the single layout's
// extras), and the painted window: frames where the boxes are, black for an unknown layout,
// the caption from string 328 without repainting itself over and over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <array>

#include "link/dryer_state.h"
#include "link/redraw.h"
#include "link/status_decoder.h"
#include "platform/gfx/png.h"
#include "platform/gui/automation.h"
#include "platform/gui/window.h"
#include "resources/window_classes.h"
#include "status/plenum_view.h"
#include "tests/texts/text_test_support.h"

namespace corvex::status {
namespace {

namespace gui = platform::gui;
using platform::Color;
using platform::rgb;
using texts::testing::TempDisk;

constexpr Color kRed = rgb(255, 0, 0);
constexpr Color kGreen = rgb(0, 255, 0);
constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kOlive = rgb(200, 200, 0);
constexpr Color kOrange = rgb(200, 100, 0);
constexpr Color kGrey = rgb(128, 128, 128);

class PlenumViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_.write_text("CorvexLangConfig.txt", "English");
    disk_.write_lines("Languages/EN/EnglishStrings.txt", texts::testing::numbered_lines(600, u"S"));
  }

  static void set(int offset, uint8_t value) { link::dryer_state().mirror[offset].store(value); }
  static void set_word(int lo, int value) {
    set(lo, uint8_t(value & 0xFF));
    set(lo + 1, uint8_t((value >> 8) & 0xFF));
  }
  static PlenumLayout layout() { return plenum_layout(link::dryer_state()); }
  static PlenumBox box(PlenumLayout layout, int fan_heater) {
    PlenumBox b;
    compose_plenum_box(link::dryer_state(), layout, fan_heater, b);
    return b;
  }
  // The state text of fan/heater 1 for its state byte and burner bytes A and B.
  static std::pair<std::string, Color> state_of(PlenumLayout layout, uint8_t state,
                                                uint8_t burner_a, uint8_t burner_b) {
    set(148, state);
    set(130, burner_a);
    set(136, burner_b);
    const PlenumBox b = box(layout, 1);
    return {b.state, b.state_color};
  }

  TempDisk disk_;
};

TEST_F(PlenumViewTest, LayoutFromBytes225And3) {
  const PlenumLayout by_code[] = {PlenumLayout::Single, PlenumLayout::Two, PlenumLayout::Three,
                                  PlenumLayout::Four, PlenumLayout::Six};
  for (int code = 0; code < 5; ++code) {
    set(3, uint8_t(code));
    EXPECT_EQ(layout(), by_code[code]) << code;
  }
  set(3, 5);
  EXPECT_EQ(layout(), PlenumLayout::None);
  EXPECT_EQ(plenum_count(PlenumLayout::None), 0);
  set(225, 0xDF);  // every bit but 0x20
  EXPECT_EQ(layout(), PlenumLayout::None);
  set(3, 4);
  set(225, 0x20);
  EXPECT_EQ(layout(), PlenumLayout::Single);
  EXPECT_EQ(plenum_count(PlenumLayout::Six), 6);
}

TEST_F(PlenumViewTest, StateTextFirstMatchWins) {
  using P = std::pair<std::string, Color>;
  const PlenumLayout two = PlenumLayout::Two;
  EXPECT_EQ(state_of(two, 0x43, 0x06, 0x30), (P{"S522", kBlue}));
  EXPECT_EQ(state_of(two, 0x03, 0x06, 0x30), (P{"S314", kGreen}));
  EXPECT_EQ(state_of(two, 0x02, 0x06, 0x30), (P{"S315", kRed}));
  EXPECT_EQ(state_of(two, 0x00, 0x06, 0x30), (P{"S316", kOrange}));
  EXPECT_EQ(state_of(two, 0x00, 0x06, 0x10), (P{"S317", kOrange}));
  EXPECT_EQ(state_of(two, 0x00, 0x05, 0x00), (P{"S319", kGreen}));
  EXPECT_EQ(state_of(two, 0x00, 0x06, 0x00), (P{"S321", kRed}));
  EXPECT_EQ(state_of(two, 0x00, 0x02, 0x00), (P{"S320", kBlue}));
}

TEST_F(PlenumViewTest, SingleLayoutReportsString318WithBothBitsOf225) {
  set(225, 0x22);
  EXPECT_EQ(state_of(PlenumLayout::Single, 0, 0x06, 0),
            (std::pair<std::string, Color>{"S318", kRed}));
  EXPECT_EQ(state_of(PlenumLayout::Single, 0, 0x02, 0).first, "S318");
  EXPECT_EQ(state_of(PlenumLayout::Single, 0, 0x00, 0).first, "S319") << "burner bit 0x02 clear";
  EXPECT_EQ(state_of(PlenumLayout::Single, 0, 0x02, 0x10).first, "S317") << "earlier rows first";
  EXPECT_EQ(state_of(PlenumLayout::Two, 0, 0x06, 0).first, "S321") << "single layout only";
  set(225, 0x20);
  EXPECT_EQ(state_of(PlenumLayout::Single, 0, 0x06, 0).first, "S321");
}

TEST_F(PlenumViewTest, EachFanHeaterReadsItsOwnBytes) {
  for (int n = 1; n <= 6; ++n) {
    set_word(83 - 2 * n, 100 + n);  // temperature
    set_word(71 - 2 * n, 150 + n);  // setpoint
  }
  set(149 - 6, 0x01);         // fan/heater 6 state
  set(131 - 5, 0x04 | 0x02);  // fan/heater 5 burner A
  set(137 - 4, 0x20);         // fan/heater 4 burner B
  const PlenumBox six = box(PlenumLayout::Six, 6);
  EXPECT_STREQ(six.name, "S322");
  EXPECT_EQ(six.name_color, kBlue);
  EXPECT_STREQ(six.temperature.text, "106\u00B0F");
  EXPECT_EQ(six.temperature.color, kRed);
  EXPECT_STREQ(six.setpoint.text, "SP:  156 \u00B0F ");
  EXPECT_EQ(six.setpoint.color, kOlive);
  EXPECT_EQ(six.state_string, 314);
  EXPECT_EQ(box(PlenumLayout::Six, 5).state_string, 321);
  EXPECT_EQ(box(PlenumLayout::Six, 4).state_string, 316);
  EXPECT_EQ(box(PlenumLayout::Six, 3).state_string, 319);
  const PlenumBox first = box(PlenumLayout::Six, 1);
  EXPECT_STREQ(first.name, "S327");
  EXPECT_STREQ(first.temperature.text, "101\u00B0F");
  EXPECT_STREQ(first.setpoint.text, "SP:  151 \u00B0F ");
  EXPECT_FALSE(first.left_setpoint.shown);
}

TEST_F(PlenumViewTest, SiUnitsConvertSetpointAndTemperature) {
  set_word(81, 212);
  set_word(69, 0xFFF6);  // -10 F
  link::dryer_state().unit_flag.store(1);
  PlenumBox b = box(PlenumLayout::Two, 1);
  EXPECT_STREQ(b.temperature.text, "100\u00B0C");
  EXPECT_STREQ(b.setpoint.text, "SP:  -23 \u00B0C ");
  link::dryer_state().unit_flag.store(0);
  b = box(PlenumLayout::Two, 1);
  EXPECT_STREQ(b.temperature.text, "212\u00B0F");
  EXPECT_STREQ(b.setpoint.text, "SP:  -10 \u00B0F ");
}

TEST_F(PlenumViewTest, SingleLayoutSetpoints) {
  set_word(69, 180);
  set_word(260, 140);
  PlenumBox b = box(PlenumLayout::Single, 1);
  EXPECT_STREQ(b.name, "S312");
  EXPECT_EQ(b.name_color, kOlive);
  EXPECT_STREQ(b.setpoint.text, "SP:  180 \u00B0F ");
  EXPECT_EQ(b.setpoint.color, kOlive);
  EXPECT_FALSE(b.left_setpoint.shown);
  EXPECT_FALSE(b.right_setpoint.shown);

  set(257, 0x02);  // dual plenums, but not the staged batch mode
  EXPECT_FALSE(box(PlenumLayout::Single, 1).left_setpoint.shown);
  set(8, 1);
  b = box(PlenumLayout::Single, 1);
  EXPECT_STREQ(b.left_setpoint.text, "SP:  180 \u00B0F ");
  EXPECT_EQ(b.left_setpoint.color, kRed);
  EXPECT_STREQ(b.right_setpoint.text, "SP:  140 \u00B0F ");
  EXPECT_EQ(b.right_setpoint.color, kBlue);
  EXPECT_STREQ(b.setpoint.text, "SP:  180 \u00B0F ");
  EXPECT_EQ(b.setpoint.color, kRed);
  set(148, 0x10);
  b = box(PlenumLayout::Single, 1);
  EXPECT_STREQ(b.setpoint.text, "SP:  140 \u00B0F ");
  EXPECT_EQ(b.setpoint.color, kBlue);
  // The two-plenum layout shows plenum 1's own setpoint, whatever the mode.
  EXPECT_STREQ(box(PlenumLayout::Two, 1).setpoint.text, "SP:  180 \u00B0F ");
  EXPECT_FALSE(box(PlenumLayout::Two, 1).right_setpoint.shown);
}

// A procedure around the view's own that counts its paints.
int g_paints = 0;
intptr_t counting_procedure(gui::Window& w, const gui::Message& m) {
  if (m.kind == gui::MessageKind::Paint) ++g_paints;
  return plenum_view_procedure(w, m);
}

class PlenumViewPaintTest : public PlenumViewTest {
 protected:
  void SetUp() override {
    PlenumViewTest::SetUp();
    // The panel's own names and state texts, so the boxes are drawn with texts of real widths.
    std::vector<std::u16string> lines = texts::testing::numbered_lines(600, u"S");
    lines[312 - 1] = u"PLENUM";
    lines[320 - 1] = u"HEATING";
    lines[322 - 1] = u"PLENUM #6";
    lines[327 - 1] = u"PLENUM #1";
    lines[328 - 1] = u"PLENUM TEMPERATURES";
    disk_.write_lines("Languages/EN/EnglishStrings.txt", lines);
    gui::init();
    register_plenum_view_class();
    window_ = gui::create_window(
        {.class_name = resources::CUSTOM_VIEW_WINDOW,
         .text = "  PLENUM(S)",
         .style = gui::style::kVisible | gui::style::kBorder | gui::style::kCaption,
         .rect = platform::Rect::from_xywh(240, 245, 400, 175)});
    ASSERT_NE(window_, nullptr);
    window_->set_procedure(&counting_procedure);
    g_paints = 0;
    set_word(81, 180);
  }
  void TearDown() override { gui::reset(); }

  // Paints the view; with a name, the screen goes to NAME.png in the build folder to look at.
  void paint(const std::string& name = {}) {
    gui::invalidate(window_, gui::Erase::Yes);
    gui::paint_pending();
    if (name.empty()) return;
    const std::string dir = std::string(CORVEX_BUILD_DIR) + "/status_screenshots";
    std::filesystem::create_directories(dir);
    platform::write_png_file(dir + "/" + name + ".png", gui::framebuffer());
  }
  // Pixels of colour c in columns [x0, x1) of the client area.
  int count_in_columns(Color c, int x0, int x1) const {
    int n = 0;
    for (int y = 0; y < window_->client_rect().height(); ++y) {
      for (int x = x0; x < x1; ++x) n += at(x, y) == c;
    }
    return n;
  }
  Color at(int x, int y) const {
    const platform::Point o = window_->client_origin();
    return gui::framebuffer().pixel(o.x + x, o.y + y);
  }
  // Client rows in [top, bottom) that hold a pixel of blue.
  int blue_rows(int top, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y) {
      bool any = false;
      for (int x = 0; x < window_->client_rect().width() && !any; ++x) any = at(x, y) == kBlue;
      n += any;
    }
    return n;
  }
  int count(Color c) const {
    const platform::Rect client = window_->client_rect();
    int n = 0;
    for (int y = 0; y < client.height(); ++y) {
      for (int x = 0; x < client.width(); ++x) n += at(x, y) == c;
    }
    return n;
  }

  gui::Window* window_ = nullptr;
};

TEST_F(PlenumViewPaintTest, Byte225ForcesTheSingleLayout) {
  set(3, 4);
  set(225, 0x20);
  paint();
  const int w = window_->client_rect().width();
  const int h = window_->client_rect().height();
  EXPECT_EQ(at(0, h / 2), kGrey);
  EXPECT_EQ(at(w - 1, h / 2), kGrey);
  EXPECT_EQ(at(w / 2, 1), kGrey);
  EXPECT_NE(at(w / 3, h - 10), kGrey) << "no box boundary inside";
  EXPECT_GT(count(kRed), 200) << "the large temperature digits";

  set(225, 0);  // six boxes: three columns of two rows
  paint();
  EXPECT_EQ(at(w / 3, h - 10), kGrey);
  EXPECT_EQ(at(w / 6, h / 2), kGrey);
}

TEST_F(PlenumViewPaintTest, LargeDigitsStayInsideTheirBoxes) {
  for (int n = 1; n <= 6; ++n) {
    set_word(83 - 2 * n, 188);
    set_word(71 - 2 * n, 180);
  }
  const int w = window_->client_rect().width();
  set(3, 1);  // two boxes side by side, 80-pixel digits
  paint("plenum_two");
  EXPECT_GT(count_in_columns(kRed, 0, w / 2 - 2), 500);
  EXPECT_GT(count_in_columns(kRed, w / 2 + 2, w), 500);
  // The frame between the boxes is at w / 2; the text rectangles end 4 pixels inside it. Digits
  // cut off at their rectangle would reach into this band.
  EXPECT_EQ(count_in_columns(kRed, w / 2 - 8, w / 2 + 8), 0) << "digits cut at the frame";
  set(3, 2);
  paint("plenum_three");
  for (const int edge : {w / 3, 2 * w / 3}) {
    EXPECT_EQ(count_in_columns(kRed, edge - 8, edge + 8), 0) << edge;
  }
  set(3, 0);
  paint("plenum_single");
  set(3, 3);
  paint("plenum_four");
  set(3, 4);
  paint("plenum_six");
  for (const int edge : {w / 3, 2 * w / 3}) {
    EXPECT_EQ(count_in_columns(kRed, edge - 8, edge + 8), 0) << edge;
  }
}

TEST_F(PlenumViewPaintTest, UnknownLayoutCodeStaysBlack) {
  set(3, 1);
  paint();
  EXPECT_GT(count(kRed), 0);
  set(3, 5);
  paint();
  const platform::Rect client = window_->client_rect();
  EXPECT_EQ(count(platform::colors::kBlack), client.width() * client.height());
  EXPECT_EQ(gui::send_message(window_, {gui::MessageKind::EraseBackground, 0, 0}), 1);
}

TEST_F(PlenumViewPaintTest, CaptionIsString328AndSetOnlyOnChange) {
  paint();
  gui::paint_pending();
  EXPECT_EQ(window_->text(), "PLENUM TEMPERATURES");
  const int after_caption = g_paints;
  gui::paint_pending();
  EXPECT_EQ(g_paints, after_caption) << "an unchanged caption does not repaint the view";
  paint();
  EXPECT_EQ(g_paints, after_caption + 1);
}

TEST_F(PlenumViewPaintTest, SingleLayoutTellsTheSetpointInForceFromTheTwoSmallOnes) {
  set(3, 0);
  set_word(69, 180);
  set_word(260, 140);
  set(8, 1);
  set(257, 0x02);
  set(148, 0x10);
  gui::enable_text_recording();
  paint("plenum_single_dual");
  const std::string texts = gui::describe_texts(resources::CUSTOM_VIEW_WINDOW);
  // Three setpoint texts: the two small ones share a row of their own, above the one in force.
  std::vector<int> rows;
  for (size_t at = texts.find("\"SP:"); at != std::string::npos; at = texts.find("\"SP:", at + 1)) {
    const size_t line = texts.rfind('\n', at) + 1;
    int x = 0, y = 0;
    ASSERT_EQ(std::sscanf(texts.c_str() + line, "%*s %d %d", &x, &y), 2) << texts;
    rows.push_back(y);
  }
  ASSERT_EQ(rows.size(), 3u) << texts;
  int in_force = 0;
  for (const int y : rows) in_force = std::max(in_force, y);
  EXPECT_EQ(std::count(rows.begin(), rows.end(), in_force), 1) << texts;
  // The small ones are drawn smaller: the blue one on the right is shorter than the blue
  // setpoint in force.
  const platform::Point o = window_->client_origin();
  const int small_top = *std::min_element(rows.begin(), rows.end()) - o.y;
  EXPECT_LT(blue_rows(small_top, in_force - o.y), blue_rows(in_force - o.y, in_force - o.y + 24));
  EXPECT_GT(blue_rows(small_top, in_force - o.y), 5);
}

// The view repaints, within one status frame, whenever a byte that it shows changes.
class PlenumViewRepaintTest : public PlenumViewPaintTest {
 protected:
  void SetUp() override {
    PlenumViewPaintTest::SetUp();
    link::set_redraw_sink(nullptr);
    gui::enable_text_recording();
    frame_[81] = 180;
    decode_and_paint();
  }
  void decode_and_paint() {
    link::decode_status_frame(frame_.data());
    gui::paint_pending();
  }
  void word(int lo, int value) {
    frame_[size_t(lo)] = uint8_t(value & 0xFF);
    frame_[size_t(lo + 1)] = uint8_t(value >> 8);
  }
  static bool shows(const std::string& text) {
    return gui::describe_texts(resources::CUSTOM_VIEW_WINDOW).find("\"" + text + "\"") !=
           std::string::npos;
  }
  std::array<uint8_t, link::kStatusFrameBytes> frame_{};
};

TEST_F(PlenumViewRepaintTest, EverySetpointChangeOfTheSixPlenums) {
  frame_[3] = 4;
  for (int n = 1; n <= 6; ++n) word(71 - 2 * n, 180);
  decode_and_paint();
  ASSERT_TRUE(shows("SP:  180 \u00B0F ")) << gui::describe_texts(resources::CUSTOM_VIEW_WINDOW);
  for (int n = 6; n >= 1; --n) {
    word(71 - 2 * n, 150 + n);
    decode_and_paint();
    EXPECT_TRUE(shows("SP:  " + std::to_string(150 + n) + " \u00B0F ")) << "plenum #" << n;
  }
}

TEST_F(PlenumViewRepaintTest, SingleLayoutFollowsItsSecondSetpointAndWhatChoosesIt) {
  word(69, 180);
  word(260, 140);
  decode_and_paint();
  ASSERT_TRUE(shows("SP:  180 \u00B0F "));
  EXPECT_FALSE(shows("SP:  140 \u00B0F "));
  frame_[257] = 0x02;
  frame_[8] = 1;  // dual plenums in the staged batch: the two small setpoints appear
  decode_and_paint();
  EXPECT_TRUE(shows("SP:  140 \u00B0F "));
  word(260, 130);
  decode_and_paint();
  EXPECT_TRUE(shows("SP:  130 \u00B0F ")) << "bytes 260/261";
  frame_[257] = 0;
  decode_and_paint();
  EXPECT_FALSE(shows("SP:  130 \u00B0F ")) << "bit 1 of byte 257";
  frame_[257] = 0x02;
  decode_and_paint();
  ASSERT_TRUE(shows("SP:  130 \u00B0F "));
  frame_[8] = 0;
  decode_and_paint();
  EXPECT_FALSE(shows("SP:  130 \u00B0F ")) << "byte 8";
}

TEST_F(PlenumViewRepaintTest, ARepaintWithNothingNewShowsTheSameAndStillTellsItsTexts) {
  frame_[3] = 1;
  word(81, 175);
  word(79, 165);
  decode_and_paint();
  ASSERT_TRUE(shows("175\u00B0F")) << gui::describe_texts(resources::CUSTOM_VIEW_WINDOW);
  const std::string before = gui::describe_texts(resources::CUSTOM_VIEW_WINDOW);
  const platform::Rect client = window_->client_rect();
  const auto pixels = [&] {
    std::vector<Color> out;
    for (int y = 0; y < client.height(); ++y)
      for (int x = 0; x < client.width(); ++x) out.push_back(at(x, y));
    return out;
  };
  const std::vector<Color> drawn = pixels();
  paint();
  EXPECT_EQ(gui::describe_texts(resources::CUSTOM_VIEW_WINDOW), before);
  EXPECT_TRUE(pixels() == drawn);
  word(81, 190);
  decode_and_paint();
  EXPECT_TRUE(shows("190\u00B0F"));
  EXPECT_TRUE(shows("165\u00B0F"));
  EXPECT_FALSE(shows("175\u00B0F"));
  // Only the changed box was drawn again: the view is what drawing it whole gives.
  platform::Bitmap whole(client.width(), client.height());
  platform::Canvas canvas(whole);
  draw_plenum_view(canvas, {0, 0, client.width(), client.height()}, link::dryer_state());
  int different = 0;
  for (int y = 0; y < client.height(); ++y)
    for (int x = 0; x < client.width(); ++x) different += at(x, y) != whole.pixel(x, y);
  EXPECT_EQ(different, 0);
}

}  // namespace
}  // namespace corvex::status
