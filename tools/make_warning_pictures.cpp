// Generator of the warning pictures: for every language that has sources and every warning
// that a warnings file defines, a 500 x 400 picture of the node that reports it, with the
// component the warning names ringed in red and the warning's own text across the top, written as
// OUT_ROOT/Languages/CODE/WarningBitmaps/NID_nn_WARNING_ID_mm.bmp (fan/heaters under node 02):
// 8-bit palette BMP files (24-bit for a picture of more than 256 colours), identical pictures
// hard-linked to one file.
// The help viewer's text list covers the picture below row 250, so the drawing stays above it.
//
//   make_warning_pictures SOURCE_ROOT OUT_ROOT
#include <array>
#include <cctype>
#include <cmath>

#include "platform/gfx/canvas.h"
#include "tools/generator_support.h"
#include "tools/palette_bmp.h"

namespace {

using namespace corvex;
using namespace corvex::tools;
using platform::Canvas;
using platform::Point;
using platform::Rect;
using platform::rgb;

constexpr platform::Color kSteel = rgb(176, 182, 188);
constexpr platform::Color kOutline = rgb(44, 48, 54);
constexpr platform::Color kAlarm = rgb(220, 24, 24);

// A part of the drawing that a warning can name, found by words of its English text.
struct Component {
  Rect area;
  std::vector<std::string_view> words;
};

void draw_display_io(Canvas& c) {
  c.draw_rectangle({60, 70, 220, 200}, kOutline, rgb(60, 62, 68), 3);
  c.fill_rect({74, 82, 206, 170}, rgb(40, 70, 120));
  c.draw_rectangle({270, 80, 440, 200}, kOutline, rgb(40, 120, 60), 2);
  for (int i = 0; i < 6; ++i) c.fill_rect({285 + 25 * i, 100, 300 + 25 * i, 120}, rgb(30, 30, 30));
  for (int i = 0; i < 4; ++i)
    c.fill_ellipse({290 + 36 * i, 150, 306 + 36 * i, 166}, rgb(240, 200, 40));
  c.draw_line({220, 140}, {270, 140}, rgb(0, 125, 0), 6);
}

const std::vector<Component>& display_io_components() {
  static const std::vector<Component> parts = {
      {{266, 76, 444, 204}, {"SWITCH", "LIGHT", "OUTPUT", "INPUT", "BOARD", "RELAY"}},
      {{216, 128, 274, 152}, {"COMM", "LINK", "CABLE", "NETWORK"}},
      {{56, 66, 224, 204}, {"SCREEN", "PANEL", "TOUCH", "MEMORY", "DISK", "CLOCK"}},
  };
  return parts;
}

void draw_fan_heater(Canvas& c) {
  c.draw_rectangle({40, 60, 200, 220}, kOutline, kSteel, 3);
  c.fill_ellipse({60, 80, 180, 200}, rgb(90, 96, 104));
  // Four swept blades round the hub.
  for (int i = 0; i < 4; ++i) {
    const double a = i * 1.5707963 + 0.5;
    const auto at = [&](double r, double da) {
      return Point{120 + int(r * std::cos(a + da)), 140 + int(r * std::sin(a + da))};
    };
    const std::array<Point, 4> blade = {at(10, -0.5), at(54, -0.35), at(56, 0.25), at(10, 0.5)};
    c.fill_polygon(blade, rgb(210, 214, 218));
  }
  c.fill_ellipse({108, 128, 132, 152}, rgb(60, 64, 70));
  c.draw_rectangle({200, 110, 300, 170}, kOutline, rgb(130, 136, 142), 2);
  const std::array<Point, 5> flame = {Point{300, 140}, Point{340, 115}, Point{380, 140},
                                      Point{340, 165}, Point{300, 140}};
  c.fill_polygon(flame, rgb(250, 140, 20));
  c.draw_rectangle({380, 70, 470, 220}, kOutline, rgb(200, 200, 196), 2);
  c.fill_rect({420, 90, 428, 150}, rgb(30, 30, 30));
  c.fill_ellipse({414, 146, 434, 166}, rgb(220, 40, 40));
  c.draw_rectangle({220, 190, 280, 220}, kOutline, rgb(240, 200, 40), 2);
}

const std::vector<Component>& fan_heater_components() {
  static const std::vector<Component> parts = {
      {{290, 100, 390, 180}, {"FLAME", "IGNIT", "PILOT"}},
      {{196, 104, 304, 176}, {"BURNER", "GAS", "VAPOR", "VAPOUR", "PRESSURE", "VALVE", "FUEL"}},
      {{376, 66, 474, 224}, {"HIGH LIMIT", "HI LIMIT", "PLENUM", "TEMP", "SENSOR", "PROBE"}},
      {{216, 186, 284, 224}, {"AIRFLOW", "AIR FLOW", "AIR SWITCH", "SAIL"}},
      {{36, 56, 204, 224}, {"FAN", "MOTOR", "OVERLOAD", "VIBRATION"}},
  };
  return parts;
}

void draw_main_io(Canvas& c) {
  c.draw_rectangle({150, 70, 300, 210}, kOutline, kSteel, 3);
  for (int x = 165; x < 300; x += 15) c.draw_line({x, 74}, {x, 206}, rgb(150, 156, 162));
  c.draw_rectangle({60, 52, 300, 68}, kOutline, rgb(120, 126, 134), 2);
  c.draw_rectangle({150, 212, 420, 228}, kOutline, rgb(120, 126, 134), 2);
  c.draw_rectangle({20, 70, 90, 200}, kOutline, rgb(200, 200, 190), 2);
  const std::array<Point, 4> chute = {Point{300, 176}, Point{382, 196}, Point{378, 208},
                                      Point{300, 190}};
  c.fill_polygon(chute, rgb(96, 102, 110));
  c.fill_ellipse({420, 70, 470, 120}, rgb(200, 20, 20));
  c.fill_ellipse({432, 82, 458, 108}, rgb(250, 220, 40));
}

const std::vector<Component>& main_io_components() {
  static const std::vector<Component> parts = {
      {{296, 170, 394, 212}, {"REAR", "DISCHARGE"}},
      {{146, 208, 424, 232}, {"UNLOAD"}},
      {{16, 66, 94, 204}, {"WET BIN", "BIN"}},
      {{56, 48, 304, 72}, {"LOAD", "FILL", "AUGER"}},
      {{416, 66, 474, 124}, {"STOP", "EMERGENCY", "E-STOP"}},
      {{146, 66, 304, 214}, {"GRAIN", "EMPTY", "COLUMN", "OUT OF"}},
  };
  return parts;
}

void draw_moisture_control(Canvas& c) {
  c.draw_rectangle({60, 60, 220, 220}, kOutline, kSteel, 3);
  for (int i = 0; i < 3; ++i)
    c.fill_ellipse({80 + 45 * i, 170, 116 + 45 * i, 206}, rgb(90, 96, 104));
  c.draw_rectangle({90, 90, 190, 140}, kOutline, rgb(40, 120, 60), 2);
  c.draw_rectangle({300, 80, 440, 200}, kOutline, rgb(60, 62, 68), 2);
  c.fill_rect({315, 95, 425, 140}, rgb(30, 40, 30));
  c.draw_line({220, 115}, {300, 115}, rgb(0, 125, 0), 5);
}

const std::vector<Component>& moisture_control_components() {
  static const std::vector<Component> parts = {
      {{76, 166, 214, 210}, {"METER", "ROLL"}},
      {{86, 86, 194, 144}, {"SENSOR", "MOIST", "PROBE"}},
      {{296, 76, 444, 204}, {"CONTROL", "MODULE", "SETPOINT", "CALIB"}},
      {{216, 103, 304, 127}, {"COMM", "LINK", "CABLE", "NETWORK"}},
  };
  return parts;
}

std::string upper(std::string s) {
  for (char& ch : s) ch = char(std::toupper(uint8_t(ch)));
  return s;
}

// The part the English text names first in the order of the list, if any.
const Component* named_component(const std::vector<Component>& parts, const std::string& english) {
  // The node's own name ("FAN/HEATER #1:", "DISPLAY I/O") names no part.
  const size_t colon = english.find(':');
  std::string text = upper(colon == std::string::npos ? english : english.substr(colon + 1));
  if (const size_t at = text.find("DISPLAY I/O"); at != std::string::npos) text.erase(at, 11);
  for (const Component& p : parts) {
    for (const std::string_view word : p.words) {
      if (text.find(word) != std::string::npos) return &p;
    }
  }
  return nullptr;
}

platform::Bitmap draw_picture(int node_id, std::string text, const std::string& english) {
  // All fan/heaters share these pictures: their title gives the cause without the code and
  // the name of the fan/heater whose file defined it.
  if (node_id == 2 && text.find(':') != std::string::npos) {
    text = text.substr(text.find(':') + 1);
    text.erase(0, text.find_first_not_of(' '));
  }
  platform::Bitmap b(500, 400, rgb(236, 238, 240));
  Canvas c(b);
  c.fill_rect({0, 0, 500, 48}, rgb(150, 20, 20));
  c.draw_text(text, {8, 2, 492, 46}, {15, 700}, platform::colors::kWhite,
              platform::text_format::kCenter | platform::text_format::kVCenter |
                  platform::text_format::kWordBreak);
  const std::vector<Component>* parts = nullptr;
  switch (node_id) {
    case 1:
      draw_display_io(c);
      parts = &display_io_components();
      break;
    case 2:
      draw_fan_heater(c);
      parts = &fan_heater_components();
      break;
    case 14:
      draw_main_io(c);
      parts = &main_io_components();
      break;
    default:
      draw_moisture_control(c);
      parts = &moisture_control_components();
      break;
  }
  if (const Component* p = named_component(*parts, english)) {
    c.draw_ellipse(p->area.inflated(8, 8), kAlarm, 4);
  }
  c.fill_rect({0, 246, 500, 250}, rgb(150, 20, 20));
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_warning_pictures SOURCE_ROOT OUT_ROOT\n");
    return 2;
  }
  const fs::path src = argv[1];
  const fs::path out = argv[2];
  SharedFileWriter writer;
  int full_colour = 0;
  for (const int language : languages_present(src)) {
    for (const WarningNode& node : warning_nodes()) {
      const auto english = node_warnings(src, texts::kEnglish, node);
      for (const auto& [w, text] : node_warnings(src, language, node)) {
        const fs::path file = output_dir(out, language) / "WarningBitmaps" /
                              (warning_file_stem(node.node_id, w) + ".bmp");
        const auto en = english.find(w);
        const platform::Bitmap picture =
            draw_picture(node.node_id, text, en != english.end() ? en->second : text);
        bool palette = true;
        writer.write(file, encode_panel_picture(picture, &palette));
        if (!palette) ++full_colour;
      }
    }
  }
  if (full_colour > 0) {
    note(std::to_string(full_colour) +
         " warning pictures have more than 256 colours: kept in 24 bits");
  }
  return 0;
}
