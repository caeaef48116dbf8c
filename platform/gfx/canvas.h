#pragma once
// Drawing into a Bitmap: fills, rectangles, lines of a width, dotted lines, polylines, text
// and bitmap blits, all clipped. The canvas keeps a save/restore stack of clip rectangle and
// origin; window paints start clipped to their window and its dirty rectangle.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/font.h"
#include "platform/gfx/geometry.h"

namespace platform {

// Text placement flags, combined with |.
namespace text_format {
constexpr unsigned kLeft = 0;
constexpr unsigned kCenter = 1;
constexpr unsigned kRight = 2;
constexpr unsigned kTop = 0;
constexpr unsigned kVCenter = 4;
constexpr unsigned kBottom = 8;
constexpr unsigned kSingleLine = 16;  // line breaks are not interpreted
constexpr unsigned kWordBreak = 32;   // wrap lines at word boundaries to the rectangle width
constexpr unsigned kExpandTabs = 64;  // a tab advances to the next multiple of 8 spaces
constexpr unsigned kNoClip = 128;     // text may run outside the rectangle
}  // namespace text_format

enum class TextBackground { Transparent, Opaque };

// Recording of the text draw_text lays out, line by line, for the automation's `texts`. While a
// recording is open on this thread, a line drawn into the recording's target goes to its sink
// in target coordinates. A line drawn into any other bitmap (an off-screen copy of a window)
// stays with that bitmap as long as its pixels do: a fill or an opaque copy that covers it
// forgets it, a line drawn in the same place replaces it, and a blit that brings it onto the
// target hands it to the sink, so a copy kept from an earlier paint still tells what it shows.
// Lines wholly outside the clip are not drawn and not recorded; outside a recording nothing
// is kept.
struct TextRunSink {
  virtual void add_run(const Rect& box, std::string_view text) = 0;

 protected:
  ~TextRunSink() = default;
};
void open_text_recording(const Bitmap& target, TextRunSink* sink);
void close_text_recording();
// True while a recording is open: a picture kept from a paint made without one tells nothing.
bool text_recording_open();

// The size draw_text would take for the text in a rectangle `width` wide (line breaks and word
// wrap applied); no canvas needed.
Size measure_text(std::string_view utf8, int width, const FontSpec& font, unsigned format);

class Canvas {
 public:
  explicit Canvas(Bitmap& target);

  Bitmap& target() { return target_; }

  // Clip and origin stack. clip() narrows the clip to r (in current coordinates);
  // translate() moves the origin. Prefer CanvasState, which cannot leave the stack unbalanced.
  void save();
  void restore();
  // How many saves are waiting for their restore.
  size_t saved_depth() const { return stack_.size(); }
  void clip(const Rect& r);
  void translate(int dx, int dy);
  // The clip rectangle in current coordinates.
  Rect clip_rect() const;
  Point origin() const { return origin_; }

  void fill_rect(const Rect& r, Color c);
  // Outline of r, `width` pixels wide, inside r.
  void frame_rect(const Rect& r, Color c, int width = 1);
  // Outline with the pen and the inside filled with `fill`.
  void draw_rectangle(const Rect& r, Color pen, Color fill, int pen_width = 1);
  // A line from a to b inclusive; wider lines grow around the centre line.
  void draw_line(Point a, Point b, Color c, int width = 1);
  // Dots of `on` pixels separated by `off` pixels along the line.
  void draw_dotted_line(Point a, Point b, Color c, int on = 1, int off = 1);
  void draw_polyline(std::span<const Point> points, Color c, int width = 1);
  void fill_polygon(std::span<const Point> points, Color c);
  void fill_ellipse(const Rect& r, Color c);
  void draw_ellipse(const Rect& r, Color c, int width = 1);

  // Draws UTF-8 text into r with the flags of text_format; returns the height of the text
  // drawn. With an opaque background the rectangle is first filled with `background`.
  int draw_text(std::string_view utf8, const Rect& r, const FontSpec& font, Color fg,
                unsigned format = text_format::kLeft,
                TextBackground bg = TextBackground::Transparent, Color background = colors::kWhite);
  // The size the same call of draw_text would take (line breaks and word wrap applied).
  Size measure_text(std::string_view utf8, int width, const FontSpec& font, unsigned format) const;

  // Copies src_rect of src to dst (top-left) at 1:1.
  void blit(const Bitmap& src, const Rect& src_rect, Point dst);
  void blit(const Bitmap& src, Point dst) { blit(src, src.rect(), dst); }
  // As blit, but pixels of colour `key` in the source are not copied.
  void blit_keyed(const Bitmap& src, const Rect& src_rect, Point dst, Color key);
  // Scales src_rect of src into dst_rect (nearest neighbour).
  void stretch_blit(const Bitmap& src, const Rect& src_rect, const Rect& dst_rect);

 private:
  struct State {
    Rect clip;
    Point origin;
  };
  Bitmap& target_;
  Rect clip_;     // in target coordinates
  Point origin_;  // in target coordinates
  std::vector<State> stack_;

  // Text recording (text_runs.cpp); each does nothing unless a recording is open.
  void record_line(std::string_view text, const Rect& box) const;
  void forget_runs_under(const Rect& area) const;
  void replay_runs(const Bitmap& src, const Rect& src_rect, Point dst) const;
};

// Saves the canvas's clip and origin and restores them at the end of the scope:
//   { CanvasState saved(canvas); canvas.clip(cell); ... }
class CanvasState {
 public:
  explicit CanvasState(Canvas& canvas) : canvas_(canvas) { canvas_.save(); }
  ~CanvasState() { canvas_.restore(); }
  CanvasState(const CanvasState&) = delete;
  CanvasState& operator=(const CanvasState&) = delete;

 private:
  Canvas& canvas_;
};

}  // namespace platform
