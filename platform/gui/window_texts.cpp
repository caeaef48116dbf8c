// The text runs each window's last paint drew, for the automation's `texts`. The paint pass
// opens a capture around every window it paints; the canvas hands over each line of text that
// reaches the screen, directly or through an off-screen copy. A paint of part of a window
// replaces the runs in that part and keeps the rest, so a window that is not repainted keeps
// its last runs.
#include <unordered_map>
#include <vector>

#include "platform/gui/automation.h"
#include "platform/gui/controls.h"
#include "platform/gui/gui_internal.h"

namespace platform::gui {

namespace {

// Far more lines than one window can show; a paint that draws more keeps the first ones.
constexpr size_t kMaxRunsPerWindow = 256;
// Records of destroyed windows are dropped once this many records exist.
constexpr size_t kPruneAbove = 512;

struct Run {
  Rect box;  // screen coordinates
  std::string text;
};

struct WindowTexts {
  uint64_t serial = 0;  // tells the window from a later one at the same address
  std::vector<Run> runs;
};

struct Capture final : TextRunSink {
  WindowTexts* texts = nullptr;
  Rect area;
  void add_run(const Rect& box, std::string_view text) override {
    if (box.intersected(area).empty() || texts->runs.size() >= kMaxRunsPerWindow) return;
    texts->runs.push_back({box, std::string(text)});
  }
};

struct Store {
  bool enabled = false;
  std::unordered_map<const Window*, WindowTexts> windows;  // elements stay put on rehash
  std::vector<Capture> captures;  // a paint inside a paint nests
};

Store& store() {
  static Store s;
  return s;
}

bool current(const Window& w, const WindowTexts& t) {
  return detail::is_alive(&w) && WindowAccess::serial(w) == t.serial;
}

void prune() {
  std::erase_if(store().windows, [](const auto& entry) { return !current(*entry.first, entry.second); });
}

void open_innermost() {
  Store& s = store();
  if (s.captures.empty()) {
    close_text_recording();
  } else {
    open_text_recording(framebuffer(), &s.captures.back());
  }
}

void describe(Window& parent, std::string_view class_name, std::string& out) {
  const auto& kids = parent.children();
  for (size_t i = kids.size(); i-- > 0;) {
    Window& w = *kids[i];
    if (!w.is_shown()) continue;
    if (class_name.empty() || same_class_name(w.class_name(), class_name)) {
      const auto it = store().windows.find(&w);
      if (it != store().windows.end() && current(w, it->second)) {
        for (const Run& run : it->second.runs) {
          out += w.class_name() + " " + std::to_string(run.box.left) + " " +
                 std::to_string(run.box.top) + " \"" + detail::escaped_text(run.text) + "\"\n";
        }
      }
    }
    describe(w, class_name, out);
  }
}

}  // namespace

namespace detail {

void begin_window_texts(Window& w, const Rect& area) {
  Store& s = store();
  if (!s.enabled) return;
  if (s.windows.size() > kPruneAbove) prune();
  WindowTexts& t = s.windows[&w];
  if (t.serial != WindowAccess::serial(w)) {
    t.serial = WindowAccess::serial(w);
    t.runs.clear();
  }
  std::erase_if(t.runs, [&](const Run& run) { return !run.box.intersected(area).empty(); });
  Capture& c = s.captures.emplace_back();
  c.texts = &t;
  c.area = area;
  open_innermost();
}

void end_window_texts() {
  Store& s = store();
  if (!s.enabled || s.captures.empty()) return;
  s.captures.pop_back();
  open_innermost();
}

void reset_window_texts() {
  Store& s = store();
  s.windows.clear();
  s.captures.clear();
  close_text_recording();
}

}  // namespace detail

void enable_text_recording() { store().enabled = true; }

std::string describe_texts(std::string_view class_name) {
  std::string out;
  describe(desktop(), class_name, out);
  return out;
}

}  // namespace platform::gui
