// Recording of text runs: what draw_text laid out, kept per off-screen bitmap and handed to the
// open recording's sink when it reaches the recording's target. Everything here belongs to the
// thread that opened the recording (the GUI thread); other threads' canvases record nothing.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gfx/canvas.h"

namespace platform {

namespace {

// Bounds that keep a runaway paint from growing the record: far more lines than a 640 x 480
// screen can show, and more off-screen copies than the program keeps.
constexpr size_t kMaxRunsPerBitmap = 256;
constexpr size_t kMaxKeptBitmaps = 16;

struct KeptRun {
  Rect box;  // in the bitmap's coordinates
  std::string text;
};

// The runs drawn into one off-screen bitmap. The bitmap is known by its address and its pixel
// buffer, so that a bitmap freed and another made in its place does not inherit its text.
struct KeptBitmap {
  const Bitmap* bitmap = nullptr;
  const uint32_t* pixels = nullptr;
  Size size;
  uint64_t last_use = 0;
  std::vector<KeptRun> runs;

  bool is(const Bitmap& b) const { return bitmap == &b && pixels == b.data() && size == b.size(); }
};

struct Recording {
  const Bitmap* target = nullptr;
  TextRunSink* sink = nullptr;
  uint64_t uses = 0;
  std::vector<KeptBitmap> kept;
};

thread_local Recording t_recording;

KeptBitmap* find_kept(const Bitmap& b) {
  for (KeptBitmap& k : t_recording.kept) {
    if (k.is(b)) return &k;
  }
  return nullptr;
}

// The record of bitmap b, made when text first goes into it; the least recently used record
// makes room when there are too many.
KeptBitmap& kept_of(const Bitmap& b) {
  Recording& r = t_recording;
  KeptBitmap* k = find_kept(b);
  if (k == nullptr) {
    if (r.kept.size() >= kMaxKeptBitmaps) {
      const auto oldest = std::min_element(
          r.kept.begin(), r.kept.end(),
          [](const KeptBitmap& x, const KeptBitmap& y) { return x.last_use < y.last_use; });
      r.kept.erase(oldest);
    }
    k = &r.kept.emplace_back();
    k->bitmap = &b;
    k->pixels = b.data();
    k->size = b.size();
  }
  k->last_use = ++r.uses;
  return *k;
}

}  // namespace

void open_text_recording(const Bitmap& target, TextRunSink* sink) {
  t_recording.target = &target;
  t_recording.sink = sink;
}

void close_text_recording() {
  t_recording.target = nullptr;
  t_recording.sink = nullptr;
}

bool text_recording_open() { return t_recording.sink != nullptr; }

// Records one laid-out line whose box (target coordinates) is at least partly inside the clip.
void Canvas::record_line(std::string_view text, const Rect& box) const {
  Recording& r = t_recording;
  if (r.sink == nullptr || text.find_first_not_of(" \t") == std::string_view::npos) return;
  if (&target_ == r.target) {
    r.sink->add_run(box, text);
    return;
  }
  KeptBitmap& k = kept_of(target_);
  std::erase_if(k.runs, [&](const KeptRun& run) { return run.box == box; });
  if (k.runs.size() < kMaxRunsPerBitmap) k.runs.push_back({box, std::string(text)});
}

// Forgets the kept runs that a fill or an opaque copy over `area` (target coordinates, already
// clipped) paints over entirely.
void Canvas::forget_runs_under(const Rect& area) const {
  if (t_recording.sink == nullptr || &target_ == t_recording.target || area.empty()) return;
  if (KeptBitmap* k = find_kept(target_)) {
    const Rect bitmap = target_.rect();
    std::erase_if(k->runs,
                  [&](const KeptRun& run) { return area.contains(run.box.intersected(bitmap)); });
  }
}

// Carries the runs of src that lie in the copied part src_rect to where it lands (dst, target
// coordinates): onto the target they go to the sink, into another bitmap they are kept with it.
void Canvas::replay_runs(const Bitmap& src, const Rect& src_rect, Point dst) const {
  Recording& r = t_recording;
  if (r.sink == nullptr || &src == &target_) return;
  KeptBitmap* from = find_kept(src);
  if (from == nullptr || from->runs.empty()) return;
  from->last_use = ++r.uses;
  const int dx = dst.x - src_rect.left;
  const int dy = dst.y - src_rect.top;
  // Copied first: keeping runs for another bitmap may add to the records and move them.
  std::vector<KeptRun> runs;
  for (const KeptRun& run : from->runs) {
    if (!run.box.intersected(src_rect).empty()) runs.push_back(run);
  }
  for (const KeptRun& run : runs) record_line(run.text, run.box.translated(dx, dy));
}

}  // namespace platform
