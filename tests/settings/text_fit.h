#pragma once
// Whether the screen's texts fit: the `texts` listing read back as runs, and the runs that
// stick out of the control (or window) they start in, measured in a face the caller names for
// each place. The languages with the longest texts, English last.
#include <sstream>
#include <string>
#include <vector>

#include "platform/gfx/font.h"
#include "platform/gui/automation.h"
#include "platform/gui/controls.h"
#include "platform/gui/window.h"

namespace corvex::setup_testing {

struct TextRun {
  int x;
  int y;
  std::string text;
};

// The `texts` listing as runs: CLASS x y "text" (escapes \" and \\ undone).
inline std::vector<TextRun> text_runs() {
  std::vector<TextRun> runs;
  std::istringstream in(platform::gui::describe_texts());
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string cls;
    TextRun r{};
    words >> cls >> r.x >> r.y;
    const size_t open = line.find('"');
    const size_t close = line.rfind('"');
    if (open == std::string::npos || close <= open) continue;
    for (size_t i = open + 1; i < close; ++i) {
      if (line[i] == '\\' && i + 1 < close) ++i;
      r.text += line[i];
    }
    runs.push_back(r);
  }
  return runs;
}

// The smallest of `top` and its visible descendants whose screen rectangle holds the point.
inline platform::gui::Window* holder(platform::gui::Window* top, platform::Point p) {
  for (const auto& c : top->children()) {
    if (c->is_shown() && c->screen_rect().contains(p)) return holder(c.get(), p);
  }
  return top;
}

// The face a run at a point of a window is measured in.
using FontAt = platform::FontSpec (*)(platform::gui::Window*, platform::Point);

// The runs inside `top` that stick out of the window they start in, as "text" pieces; runs
// drawn on `top` itself only when `with_top`.
inline std::string cut_texts(platform::gui::Window* top, FontAt font_at, bool with_top = true) {
  std::string cut;
  for (const TextRun& r : text_runs()) {
    if (!top->screen_rect().contains(platform::Point{r.x, r.y})) continue;
    platform::gui::Window* w = holder(top, {r.x, r.y});
    if (w == top && !with_top) continue;
    const platform::FontSpec font = font_at(w, {r.x, r.y});
    const platform::Size size = platform::measure_text_line(r.text, font);
    const platform::Rect box = w->screen_rect();
    if (r.x < box.left || r.x + size.width > box.right ||
        r.y + platform::font_line_height(font) > box.bottom + 1)
      cut += "\"" + r.text + "\" ";
  }
  return cut;
}

// The bold face of the keys, never narrower than the faces the screens use at that size.
inline platform::FontSpec key_font(platform::gui::Window*, platform::Point) { return {16, 700}; }

// The face each place draws in: a window's caption bar in the bold caption face, statics in the
// control font, the platform's buttons, check boxes, radio buttons and group boxes as it fits
// their texts, owner-drawn keys and the rest in the bold key face.
inline platform::FontSpec control_font(platform::gui::Window* w, platform::Point p) {
  namespace gui = platform::gui;
  namespace cs = gui::control_style;
  if (p.y < w->client_origin().y) return {14, 700};
  if (gui::window_is_class(w, gui::kStaticClass)) return gui::kControlFont;
  if (gui::window_is_class(w, gui::kButtonClass)) {
    const uint32_t kind = w->style() & cs::kButtonKindMask;
    if (kind != cs::kPushButton || (w->style() & gui::style::kOwnerDraw) == 0)
      return gui::label_font(*w);
  }
  return key_font(w, p);
}

struct LongLanguage {
  int index;
  const char* code;
};
inline constexpr LongLanguage kLongLanguages[] = {{10, "ro"}, {9, "pt"}, {1, "bg"},
                                                  {11, "ru"}, {7, "hu"}, {0, "en"}};

}  // namespace corvex::setup_testing
