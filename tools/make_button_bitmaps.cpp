// Generator of the localized bitmaps: for every language that has sources, the 73 labelled
// button images (labels from data/lang/CODE/buttons.txt, English where a label is not
// translated) and the four rear-discharge pictures, in OUT_ROOT/Languages/CODE/Bitmaps/ as
// 8-bit palette BMP files (24-bit for an image of more than 256 colours); identical images of
// different languages are hard links to one file.
//
//   make_button_bitmaps SOURCE_ROOT OUT_ROOT
#include <array>
#include <cmath>

#include "texts/localized_bitmaps.h"
#include "tools/button_art.h"
#include "tools/generator_support.h"
#include "tools/palette_bmp.h"

namespace {

using namespace corvex;
using namespace corvex::tools;
using platform::Point;
using platform::Rect;
using platform::rgb;

constexpr platform::Color kKernel = rgb(214, 160, 38);
constexpr platform::Color kKernelShade = rgb(150, 104, 20);

void draw_kernel(platform::Canvas& c, int x, int y) {
  c.fill_ellipse({x - 3, y - 2, x + 4, y + 3}, kKernel);
  c.fill_rect({x + 1, y, x + 3, y + 2}, kKernelShade);
}

// The rear of the dryer with its discharge: the tower's rear wall on the left, the discharge
// hopper and chute at its foot, and grain falling from the chute onto a growing pile. Frame
// 0..3 moves the stream on by a quarter of the kernel spacing; the pile grows with the frames.
// Everything that matters lies in the upper 250 rows, above the viewer's text list.
platform::Bitmap draw_rear_discharge(int frame) {
  platform::Bitmap b(500, 400, rgb(236, 238, 240));
  platform::Canvas c(b);
  c.fill_rect({0, 0, 500, 245}, rgb(196, 214, 232));
  c.fill_rect({0, 245, 500, 400}, rgb(120, 112, 98));
  // The tower on its legs: a corrugated steel wall with its column screens.
  c.fill_rect({50, 150, 58, 245}, rgb(70, 74, 80));
  c.fill_rect({212, 150, 220, 245}, rgb(70, 74, 80));
  c.draw_rectangle({40, 10, 230, 130}, rgb(50, 54, 60), rgb(176, 182, 188), 2);
  for (int x = 52; x < 226; x += 12) c.draw_line({x, 14}, {x, 126}, rgb(150, 156, 162));
  c.draw_rectangle({70, 26, 110, 116}, rgb(60, 64, 70), rgb(110, 116, 124));
  c.draw_rectangle({160, 26, 200, 116}, rgb(60, 64, 70), rgb(110, 116, 124));
  // Hopper and the rear discharge chute sloping down to the right.
  const std::array<Point, 4> hopper = {Point{60, 130}, Point{210, 130}, Point{165, 158},
                                       Point{115, 158}};
  c.fill_polygon(hopper, rgb(140, 146, 152));
  const std::array<Point, 4> chute = {Point{150, 150}, Point{300, 186}, Point{296, 200},
                                      Point{146, 164}};
  c.fill_polygon(chute, rgb(96, 102, 110));
  c.draw_line({150, 150}, {300, 186}, rgb(40, 44, 50), 2);
  // Grain running down the chute and falling from its lip onto the pile.
  const int shift = frame * 5;
  for (int i = 0; i < 7; ++i) {
    const int s = (i * 20 + shift) % 140;
    draw_kernel(c, 158 + s, 157 + s * 36 / 150);
  }
  const int height = 18 + 8 * frame;
  for (int i = 0; i < 8; ++i) {
    const double t = ((i * 20 + shift) % 160) / 160.0;
    const int y = 192 + int((244 - height - 192) * t * t);
    draw_kernel(c, 302 + int(38 * t), y);
  }
  // The pile under the stream, growing over the four frames.
  const std::array<Point, 3> pile = {Point{290, 244}, Point{340, 244 - height}, Point{390, 244}};
  c.fill_polygon(pile, kKernel);
  c.draw_line({290, 244}, {340, 244 - height}, kKernelShade, 2);
  // The flow arrow along the chute.
  c.draw_line({330, 120}, {410, 140}, rgb(200, 30, 30), 6);
  const std::array<Point, 3> head = {Point{406, 124}, Point{436, 146}, Point{400, 154}};
  c.fill_polygon(head, rgb(200, 30, 30));
  return b;
}

std::map<int, std::string> read_labels(const fs::path& src, int language) {
  auto labels =
      read_numbered(source_dir(src, language) / "buttons.txt", 1, texts::kLastLabelledBitmap, 100);
  return labels ? *labels : std::map<int, std::string>{};
}

SharedFileWriter writer;
int full_colour = 0;

void write_bitmap(const fs::path& file, const platform::Bitmap& bitmap) {
  bool palette = true;
  writer.write(file, encode_panel_picture(bitmap, &palette));
  if (!palette) ++full_colour;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_button_bitmaps SOURCE_ROOT OUT_ROOT\n");
    return 2;
  }
  const fs::path src = argv[1];
  const fs::path out = argv[2];
  const std::map<int, std::string> english = read_labels(src, texts::kEnglish);
  std::array<platform::Bitmap, 4> rear;
  for (int f = 0; f < 4; ++f) rear[f] = draw_rear_discharge(f);
  for (const int language : languages_present(src)) {
    const std::string code(texts::languages()[language].folder);
    const std::map<int, std::string> own = read_labels(src, language);
    const fs::path dir = output_dir(out, language) / "Bitmaps";
    int borrowed = 0;
    for (int i = 1; i <= texts::kLastLabelledBitmap; ++i) {
      std::string label;
      if (own.count(i)) {
        label = own.at(i);
      } else if (english.count(i)) {
        label = english.at(i);
        ++borrowed;
      } else {
        note(code + ": no label for button " + std::to_string(i));
      }
      const platform::Size size = texts::localized_bitmap_size(i);
      if (label_font_for(label, size) == 0) {
        note(code + ": the label of button " + std::to_string(i) + " does not fit " +
             std::to_string(size.width) + " x " + std::to_string(size.height));
      }
      write_bitmap(dir / std::string(texts::localized_bitmap_name(i)), draw_button(label, size));
    }
    if (borrowed > 0 && language != texts::kEnglish) {
      note(code + ": " + std::to_string(borrowed) + " button labels not translated, English used");
    }
    for (int f = 0; f < 4; ++f) {
      write_bitmap(
          dir / std::string(texts::localized_bitmap_name(texts::kFirstRearDischargeImage + f)),
          rear[f]);
    }
  }
  if (full_colour > 0) {
    note(std::to_string(full_colour) +
         " button images have more than 256 colours: kept in 24 bits");
  }
  return 0;
}
