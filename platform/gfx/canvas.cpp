// Canvas: clip/origin stack, fills, lines, polygons, ellipses and blits. Every primitive works
// in target coordinates with 64-bit arithmetic and only ever visits pixels inside the clip, so
// no argument (negative, huge or empty) can reach outside the target or run for long.
#include "platform/gfx/canvas.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// Coordinates are kept within +-2^29 after translation so that widths never overflow an int;
// the clip always lies inside the target, so clamping never changes what is drawn.
constexpr int64_t kFar = int64_t(1) << 29;

int clamp_coord(int64_t v) { return static_cast<int>(std::clamp(v, -kFar, kFar)); }

Rect shifted(const Rect& r, Point o) {
  return {clamp_coord(int64_t(r.left) + o.x), clamp_coord(int64_t(r.top) + o.y),
          clamp_coord(int64_t(r.right) + o.x), clamp_coord(int64_t(r.bottom) + o.y)};
}

void fill_clipped(Bitmap& bm, const Rect& clip, const Rect& r, Color c) {
  const Rect d = r.intersected(clip);
  if (d.empty()) return;
  if (d.width() < 8) {
    for (int y = d.top; y < d.bottom; ++y) std::fill(bm.row(y) + d.left, bm.row(y) + d.right, c);
    return;
  }
  uint32_t* const first = bm.row(d.top) + d.left;
  std::fill(first, first + d.width(), c);
  // The other rows copy the first: a block copy is several times faster than a pixel loop.
  const size_t bytes = size_t(d.width()) * sizeof(uint32_t);
  for (int y = d.top + 1; y < d.bottom; ++y) std::memcpy(bm.row(y) + d.left, first, bytes);
}

// Fills x0..x1 inclusive on row y, clipped.
void fill_span(Bitmap& bm, const Rect& clip, int64_t y, int64_t x0, int64_t x1, Color c) {
  if (y < clip.top || y >= clip.bottom) return;
  x0 = std::max<int64_t>(x0, clip.left);
  x1 = std::min<int64_t>(x1, clip.right - 1);
  if (x0 > x1) return;
  uint32_t* row = bm.row(static_cast<int>(y));
  std::fill(row + x0, row + x1 + 1, c);
}

// Fills y0..y1 inclusive in column x, clipped.
void fill_column(Bitmap& bm, const Rect& clip, int64_t x, int64_t y0, int64_t y1, Color c) {
  if (x < clip.left || x >= clip.right) return;
  y0 = std::max<int64_t>(y0, clip.top);
  y1 = std::min<int64_t>(y1, clip.bottom - 1);
  for (int64_t y = y0; y <= y1; ++y) bm.row(static_cast<int>(y))[x] = c;
}

// a / n rounded to nearest, halves away from zero, for n > 0.
int64_t rounded_ratio(__int128 a, int64_t n) {
  const __int128 magnitude = a < 0 ? -a : a;
  const __int128 q = (2 * magnitude + n) / (2 * __int128(n));
  return static_cast<int64_t>(a < 0 ? -q : q);
}

struct LinePattern {
  int width = 1;  // pen width; spans perpendicular to the major axis
  int on = 1;     // with off == 0 the line is solid
  int off = 0;
};

// Steps along the major axis of a->b, visiting only the steps whose major coordinate lies
// in the clip; at each step a span of the pen width is laid across the minor axis. The span
// is lengthened by the line's slope so that diagonal lines keep their perpendicular width.
void plot_line(Bitmap& bm, const Rect& clip, int64_t ax, int64_t ay, int64_t bx, int64_t by,
               Color c, const LinePattern& p) {
  const int64_t dx = bx - ax;
  const int64_t dy = by - ay;
  const bool x_major = std::llabs(dx) >= std::llabs(dy);
  const int64_t n = x_major ? std::llabs(dx) : std::llabs(dy);
  const int width = std::max(1, p.width);
  if (n == 0) {
    if (p.on <= 0) return;
    const int64_t lo = -(width / 2);
    const int64_t y_end = std::min<int64_t>(ay + lo + width, clip.bottom);
    for (int64_t y = std::max<int64_t>(ay + lo, clip.top); y < y_end; ++y) {
      fill_span(bm, clip, y, ax + lo, ax + lo + width - 1, c);
    }
    return;
  }
  int64_t span = 1;
  if (width > 1) {
    const double length = std::hypot(double(dx), double(dy));
    span = std::max<int64_t>(1, std::llround(width * length / double(n)));
  }
  const int64_t lo_offset = -(span / 2);
  const int64_t hi_offset = lo_offset + span - 1;
  const int64_t m0 = x_major ? ax : ay;
  const int64_t k0 = x_major ? ay : ax;
  const int64_t dm = x_major ? dy : dx;
  const int64_t sign = (x_major ? dx : dy) >= 0 ? 1 : -1;
  const int64_t clip_lo = x_major ? clip.left : clip.top;
  const int64_t clip_hi = (x_major ? clip.right : clip.bottom) - 1;
  int64_t i_lo = sign > 0 ? clip_lo - m0 : m0 - clip_hi;
  int64_t i_hi = sign > 0 ? clip_hi - m0 : m0 - clip_lo;
  i_lo = std::max<int64_t>(i_lo, 0);
  i_hi = std::min<int64_t>(i_hi, n);
  const int64_t period = int64_t(p.on) + std::max(0, p.off);
  for (int64_t i = i_lo; i <= i_hi; ++i) {
    if (p.off > 0 && i % period >= p.on) continue;
    const int64_t major = m0 + sign * i;
    const int64_t minor = k0 + rounded_ratio(__int128(i) * dm, n);
    if (x_major) {
      fill_column(bm, clip, major, minor + lo_offset, minor + hi_offset, c);
    } else {
      fill_span(bm, clip, major, minor + lo_offset, minor + hi_offset, c);
    }
  }
}

struct EllipseGeometry {
  double cx, cy, rx, ry;
};

EllipseGeometry ellipse_of(int64_t l, int64_t t, int64_t r, int64_t b) {
  return {(double(l) + double(r)) / 2, (double(t) + double(b)) / 2, (double(r) - double(l)) / 2,
          (double(b) - double(t)) / 2};
}

// The pixel columns lo..hi (inclusive) whose centres lie inside the ellipse on row y; false
// when the row misses the ellipse.
bool ellipse_row(const EllipseGeometry& e, int64_t y, int64_t& lo, int64_t& hi) {
  if (e.rx <= 0 || e.ry <= 0) return false;
  const double dy = (double(y) + 0.5 - e.cy) / e.ry;
  if (dy <= -1 || dy >= 1) return false;
  const double half = e.rx * std::sqrt(1 - dy * dy);
  lo = static_cast<int64_t>(std::ceil(e.cx - half - 0.5));
  hi = static_cast<int64_t>(std::floor(e.cx + half - 0.5));
  return lo <= hi;
}

}  // namespace

Canvas::Canvas(Bitmap& target) : target_(target), clip_(target.rect()) {}

// Pushes the clip rectangle and origin.
void Canvas::save() { stack_.push_back({clip_, origin_}); }

// Pops the last saved clip and origin. A restore without its save is a programming error: it
// asserts, and where assertions are off it keeps the current state.
void Canvas::restore() {
  assert(!stack_.empty() && "Canvas::restore without a matching save");
  if (stack_.empty()) return;
  clip_ = stack_.back().clip;
  origin_ = stack_.back().origin;
  stack_.pop_back();
}

// Narrows the clip; it can only shrink.
void Canvas::clip(const Rect& r) { clip_ = clip_.intersected(shifted(r, origin_)); }

// Moves the origin by (dx, dy).
void Canvas::translate(int dx, int dy) {
  origin_ = {clamp_coord(int64_t(origin_.x) + dx), clamp_coord(int64_t(origin_.y) + dy)};
}

// The clip rectangle in the caller's coordinates.
Rect Canvas::clip_rect() const {
  return clip_.empty() ? Rect{} : clip_.translated(-origin_.x, -origin_.y);
}

// Fills r clipped.
void Canvas::fill_rect(const Rect& r, Color c) {
  const Rect t = shifted(r, origin_);
  fill_clipped(target_, clip_, t, c);
  forget_runs_under(t.intersected(clip_));
}

// Draws the outline bands of r, each `width` pixels wide and inside r.
void Canvas::frame_rect(const Rect& r, Color c, int width) {
  const Rect t = shifted(r, origin_);
  if (t.empty() || width <= 0) return;
  const int w = std::min({width, t.width(), t.height()});
  fill_clipped(target_, clip_, {t.left, t.top, t.right, t.top + w}, c);
  fill_clipped(target_, clip_, {t.left, t.bottom - w, t.right, t.bottom}, c);
  fill_clipped(target_, clip_, {t.left, t.top + w, t.left + w, t.bottom - w}, c);
  fill_clipped(target_, clip_, {t.right - w, t.top + w, t.right, t.bottom - w}, c);
}

// Fills the inside of r and outlines it with the pen; a pen of width 0 leaves no outline.
void Canvas::draw_rectangle(const Rect& r, Color pen, Color fill, int pen_width) {
  const Rect t = shifted(r, origin_);
  const int w = std::clamp(pen_width, 0, int(kFar));
  fill_clipped(target_, clip_, {t.left + w, t.top + w, t.right - w, t.bottom - w}, fill);
  frame_rect(r, pen, w);
  forget_runs_under(t.intersected(clip_));
}

// Draws a solid line from a to b inclusive.
void Canvas::draw_line(Point a, Point b, Color c, int width) {
  plot_line(target_, clip_, int64_t(a.x) + origin_.x, int64_t(a.y) + origin_.y,
            int64_t(b.x) + origin_.x, int64_t(b.y) + origin_.y, c, {width, 1, 0});
}

// Draws a one-pixel line of `on` dots and `off` gaps, the pattern starting at a.
void Canvas::draw_dotted_line(Point a, Point b, Color c, int on, int off) {
  if (on <= 0) return;
  plot_line(target_, clip_, int64_t(a.x) + origin_.x, int64_t(a.y) + origin_.y,
            int64_t(b.x) + origin_.x, int64_t(b.y) + origin_.y, c, {1, on, std::max(0, off)});
}

// Draws connected segments; wide pens get round joins so corners have no notches.
void Canvas::draw_polyline(std::span<const Point> points, Color c, int width) {
  if (points.size() == 1) draw_line(points[0], points[0], c, width);
  for (size_t i = 1; i < points.size(); ++i) {
    draw_line(points[i - 1], points[i], c, width);
    if (width > 2 && i + 1 < points.size()) {
      const Point p = points[i];
      const int lo = width / 2;
      fill_ellipse({p.x - lo, p.y - lo, p.x - lo + width, p.y - lo + width}, c);
    }
  }
}

// Fills the polygon with the even-odd rule, sampling pixel centres; vertices are pixel corners,
// so the polygon (0,0) (4,0) (4,4) (0,4) fills exactly 4 x 4 pixels.
void Canvas::fill_polygon(std::span<const Point> points, Color c) {
  if (points.size() < 3 || clip_.empty()) return;
  int64_t min_y = INT64_MAX, max_y = INT64_MIN;
  for (const Point& p : points) {
    min_y = std::min<int64_t>(min_y, int64_t(p.y) + origin_.y);
    max_y = std::max<int64_t>(max_y, int64_t(p.y) + origin_.y);
  }
  const int64_t y_begin = std::max<int64_t>(min_y, clip_.top);
  const int64_t y_end = std::min<int64_t>(max_y, clip_.bottom);
  double local[64];
  std::vector<double> spill;
  double* crossings = local;
  if (points.size() > std::size(local)) {
    spill.resize(points.size());
    crossings = spill.data();
  }
  for (int64_t y = y_begin; y < y_end; ++y) {
    const double yc = double(y) + 0.5;
    size_t count = 0;
    for (size_t i = 0; i < points.size(); ++i) {
      const Point& p = points[i];
      const Point& q = points[(i + 1) % points.size()];
      const double py = double(p.y) + origin_.y, qy = double(q.y) + origin_.y;
      if ((yc < py) == (yc < qy)) continue;
      const double px = double(p.x) + origin_.x, qx = double(q.x) + origin_.x;
      crossings[count++] = px + (yc - py) * (qx - px) / (qy - py);
    }
    std::sort(crossings, crossings + count);
    for (size_t i = 0; i + 1 < count; i += 2) {
      const double lo = std::clamp(std::ceil(crossings[i] - 0.5), double(-kFar), double(kFar));
      const double hi = std::clamp(std::ceil(crossings[i + 1] - 0.5), double(-kFar), double(kFar));
      fill_span(target_, clip_, y, int64_t(lo), int64_t(hi) - 1, c);
    }
  }
}

// Fills the ellipse inscribed in r: every pixel whose centre lies inside it.
void Canvas::fill_ellipse(const Rect& r, Color c) {
  const int64_t l = int64_t(r.left) + origin_.x, t = int64_t(r.top) + origin_.y;
  const EllipseGeometry e =
      ellipse_of(l, t, int64_t(r.right) + origin_.x, int64_t(r.bottom) + origin_.y);
  const int64_t y_begin = std::max<int64_t>(t, clip_.top);
  const int64_t y_end = std::min<int64_t>(int64_t(r.bottom) + origin_.y, clip_.bottom);
  for (int64_t y = y_begin; y < y_end; ++y) {
    int64_t lo, hi;
    if (ellipse_row(e, y, lo, hi)) fill_span(target_, clip_, y, lo, hi, c);
  }
}

// Draws the ring between the ellipse inscribed in r and the one `width` pixels inside it. On
// each row the inner hole is narrowed to the outer span of the neighbouring row farther from
// the centre, so that steep parts of a thin ring stay connected.
void Canvas::draw_ellipse(const Rect& r, Color c, int width) {
  const int w = std::clamp(width, 1, int(kFar));
  const int64_t l = int64_t(r.left) + origin_.x, t = int64_t(r.top) + origin_.y;
  const int64_t rr = int64_t(r.right) + origin_.x, b = int64_t(r.bottom) + origin_.y;
  const EllipseGeometry outer = ellipse_of(l, t, rr, b);
  const EllipseGeometry inner = ellipse_of(l + w, t + w, rr - w, b - w);
  const int64_t y_begin = std::max<int64_t>(t, clip_.top);
  const int64_t y_end = std::min<int64_t>(b, clip_.bottom);
  for (int64_t y = y_begin; y < y_end; ++y) {
    int64_t lo, hi;
    if (!ellipse_row(outer, y, lo, hi)) continue;
    int64_t in_lo, in_hi, out_lo, out_hi;
    const int64_t outward = double(y) + 0.5 < outer.cy ? y - 1 : y + 1;
    if (!ellipse_row(inner, y, in_lo, in_hi) || !ellipse_row(outer, outward, out_lo, out_hi)) {
      fill_span(target_, clip_, y, lo, hi, c);
      continue;
    }
    in_lo = std::max(in_lo, out_lo);
    in_hi = std::min(in_hi, out_hi);
    if (in_lo > in_hi) {
      fill_span(target_, clip_, y, lo, hi, c);
      continue;
    }
    fill_span(target_, clip_, y, lo, in_lo - 1, c);
    fill_span(target_, clip_, y, in_hi + 1, hi, c);
  }
}

namespace {

// The part of src_rect that exists in src and lands inside the clip, with where it lands.
struct BlitRegion {
  Rect src;   // in source coordinates
  Point dst;  // top-left in target coordinates
};

bool blit_region(const Bitmap& src, const Rect& src_rect, Point dst, const Rect& clip,
                 BlitRegion& out) {
  const Rect s = src_rect.intersected(src.rect());
  if (s.empty()) return false;
  const int64_t dx = int64_t(dst.x) + (s.left - int64_t(src_rect.left));
  const int64_t dy = int64_t(dst.y) + (s.top - int64_t(src_rect.top));
  const Rect placed{clamp_coord(dx), clamp_coord(dy), clamp_coord(dx + s.width()),
                    clamp_coord(dy + s.height())};
  const Rect d = placed.intersected(clip);
  if (d.empty()) return false;
  out.src = Rect::from_xywh(s.left + (d.left - placed.left), s.top + (d.top - placed.top),
                            d.width(), d.height());
  out.dst = {d.left, d.top};
  return true;
}

}  // namespace

// Copies src_rect of src to dst at 1:1; the target may be the source itself.
void Canvas::blit(const Bitmap& src, const Rect& src_rect, Point dst) {
  BlitRegion region;
  const Point at{clamp_coord(int64_t(dst.x) + origin_.x), clamp_coord(int64_t(dst.y) + origin_.y)};
  if (!blit_region(src, src_rect, at, clip_, region)) return;
  forget_runs_under(
      Rect::from_xywh(region.dst.x, region.dst.y, region.src.width(), region.src.height()));
  replay_runs(src, region.src, region.dst);
  const int h = region.src.height();
  const size_t bytes = size_t(region.src.width()) * sizeof(uint32_t);
  const bool upward = &src == &target_ && region.dst.y > region.src.top;
  for (int k = 0; k < h; ++k) {
    const int i = upward ? h - 1 - k : k;
    std::memmove(target_.row(region.dst.y + i) + region.dst.x,
                 src.row(region.src.top + i) + region.src.left, bytes);
  }
}

// Copies src_rect of src to dst, leaving the pixels of colour `key` untouched.
void Canvas::blit_keyed(const Bitmap& src, const Rect& src_rect, Point dst, Color key) {
  BlitRegion region;
  const Point at{clamp_coord(int64_t(dst.x) + origin_.x), clamp_coord(int64_t(dst.y) + origin_.y)};
  if (!blit_region(src, src_rect, at, clip_, region)) return;
  replay_runs(src, region.src, region.dst);
  const uint32_t k = key & 0xFFFFFFu;
  for (int i = 0; i < region.src.height(); ++i) {
    const uint32_t* from = src.row(region.src.top + i) + region.src.left;
    uint32_t* to = target_.row(region.dst.y + i) + region.dst.x;
    for (int x = 0; x < region.src.width(); ++x) {
      if ((from[x] & 0xFFFFFFu) != k) to[x] = from[x];
    }
  }
}

// Scales src_rect into dst_rect by sampling the source at the centre of each target pixel;
// target pixels whose sample falls outside the source are left alone.
void Canvas::stretch_blit(const Bitmap& src, const Rect& src_rect, const Rect& dst_rect) {
  if (src.empty() || src_rect.empty()) return;
  const Rect d = shifted(dst_rect, origin_);
  if (d.empty()) return;
  const Rect visible = d.intersected(clip_);
  if (visible.empty()) return;
  const int64_t sw = int64_t(src_rect.right) - src_rect.left;
  const int64_t sh = int64_t(src_rect.bottom) - src_rect.top;
  const int64_t dw = d.width(), dh = d.height();
  for (int y = visible.top; y < visible.bottom; ++y) {
    const int64_t sy = src_rect.top + int64_t((__int128(2 * (y - d.top) + 1) * sh) / (2 * dh));
    if (sy < 0 || sy >= src.height()) continue;
    const uint32_t* from = src.row(int(sy));
    uint32_t* to = target_.row(y);
    for (int x = visible.left; x < visible.right; ++x) {
      const int64_t sx = src_rect.left + int64_t((__int128(2 * (x - d.left) + 1) * sw) / (2 * dw));
      if (sx >= 0 && sx < src.width()) to[x] = from[sx];
    }
  }
}

}  // namespace platform
