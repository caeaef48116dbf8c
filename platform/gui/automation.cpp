// The automation protocol: a reader thread collects command lines; the GUI thread carries them
// out one at a time whenever a message loop has nothing else to do, so commands work the same
// inside a modal dialog. The automation is an ordinary client of the loops: it gives them its
// idle work and its deadlines, and queues its input like any other source, followed by a call
// that tells it the loop has dispatched that input.
#include "platform/gui/automation.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/gfx/png.h"
#include "platform/gui/controls.h"
#include "platform/gui/gui_internal.h"
#include "platform/io/clock.h"

namespace platform::gui {

namespace {

using detail::QueueItem;

enum class Phase { Idle, AwaitInput, RealWait, VirtualWait };

struct Automation {
  std::mutex mutex;  // guards lines, started and input_ended (the reader thread adds lines)
  std::deque<std::string> lines;
  bool started = false;
  bool input_ended = false;
  // GUI thread only.
  Phase phase = Phase::Idle;
  int64_t target = 0;
  int outstanding_input = 0;
  std::map<std::string, AutomationHandler, std::less<>> commands;
  std::function<void(std::string_view)> sink;
};

bool serve();
int64_t real_deadline();
int64_t virtual_target();
void forget();

// Never destroyed: a reader thread blocked on standard input may outlive main(). The loops
// serve it from its first use on, which is on the GUI thread (a command is registered or a
// script started before any reader thread exists).
Automation& automation() {
  static Automation& a = []() -> Automation& {
    detail::add_loop_client({&serve, &real_deadline, &virtual_target, &forget});
    return *new Automation;
  }();
  return a;
}

void emit(std::string_view line) {
  Automation& a = automation();
  if (a.sink) {
    a.sink(line);
    return;
  }
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void answer_ok() { emit("ok"); }
void answer_error(std::string_view reason) { emit("error: " + std::string(reason)); }

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// A '#' starts a comment unless it stands inside double quotes (click "#").
std::string_view strip_comment(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == '#' && !quoted) return line.substr(0, i);
  }
  return line;
}

bool parse_int(std::string_view s, int* out) {
  s = trim(s);
  if (s.empty()) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return ec == std::errc() && end == s.data() + s.size();
}

bool parse_point(std::string_view args, Point* p, std::string* reason) {
  args = trim(args);
  const size_t space = args.find_first_of(" \t");
  if (space == std::string_view::npos || !parse_int(args.substr(0, space), &p->x) ||
      !parse_int(args.substr(space + 1), &p->y)) {
    *reason = "expected X Y";
    return false;
  }
  if (p->x < 0 || p->x >= kScreenWidth || p->y < 0 || p->y >= kScreenHeight) {
    *reason = "point " + std::to_string(p->x) + " " + std::to_string(p->y) + " is off the screen";
    return false;
  }
  return true;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (ca != cb && std::tolower(ca) != std::tolower(cb)) return false;
  }
  return true;
}

struct ClickTarget {
  bool by_id = false;
  int id = 0;
  std::string text;
  bool matches(const Window& w) const {
    return by_id ? w.id() == id : equal_ignoring_case(w.text(), text);
  }
};

// Depth-first, top of the z-order first, through shown and enabled windows only: a disabled
// window and its children take no input.
Window* find_control(Window& root, const ClickTarget& t) {
  const auto& kids = root.children();
  for (size_t i = kids.size(); i-- > 0;) {
    Window& c = *kids[i];
    if (!c.is_shown() || !c.is_enabled()) continue;
    if (t.matches(c)) return &c;
    if (Window* deeper = find_control(c, t)) return deeper;
  }
  return nullptr;
}

Window* lookup(const ClickTarget& t) {
  if (Window* modal = active_modal(); modal != nullptr && modal->is_visible() &&
                                      modal->is_enabled()) {
    if (t.matches(*modal)) return modal;
    if (Window* w = find_control(*modal, t)) return w;
  }
  return find_control(desktop(), t);
}

void input_dispatched(intptr_t) {
  Automation& a = automation();
  if (a.outstanding_input > 0) --a.outstanding_input;
}

// Queues touch input; the command answers once the loop has dispatched it (and whatever modal
// loop it opened has come to rest).
void queue_input(QueueItem::Kind kind, Point p) {
  detail::queue_item(detail::make_item(kind, {.point = p}));
  ++automation().outstanding_input;
  detail::queue_call(&input_dispatched, 0);
  automation().phase = Phase::AwaitInput;
}

void start_tap(Point p) {
  queue_input(QueueItem::Kind::PointerDown, p);
  queue_input(QueueItem::Kind::PointerUp, p);
}

void command_click(std::string_view args) {
  args = trim(args);
  ClickTarget t;
  if (args.size() >= 2 && args.front() == '"' && args.back() == '"') {
    t.text = std::string(args.substr(1, args.size() - 2));
  } else if (parse_int(args, &t.id)) {
    t.by_id = true;
  } else {
    t.text = std::string(args);
  }
  if (!t.by_id && t.text.empty()) return answer_error("click needs an id or a text");
  Window* w = lookup(t);
  const std::string name = t.by_id ? "id " + std::to_string(t.id) : "\"" + t.text + "\"";
  if (w == nullptr) return answer_error("no visible, enabled control " + name);
  const Rect r = detail::visible_screen_rect(*w);
  if (r.empty()) return answer_error("control " + name + " lies outside the screen");
  start_tap({(r.left + r.right - 1) / 2, (r.top + r.bottom - 1) / 2});
}

void command_wait(std::string_view args) {
  int ms = 0;
  if (!parse_int(args, &ms) || ms < 0) return answer_error("expected a number of milliseconds");
  Automation& a = automation();
  a.target = clock::now_ms() + ms;
  a.phase = clock::is_virtual() ? Phase::VirtualWait : Phase::RealWait;
}

void command_screenshot(std::string_view args) {
  std::string_view path = trim(args);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  if (path.empty()) return answer_error("screenshot needs a path");
  paint_pending();
  std::string error;
  if (!write_png_file(std::string(path), framebuffer(), &error)) return answer_error(error);
  answer_ok();
}

void emit_lines(std::string_view text) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    emit(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

void run_extension(const AutomationHandler& handler, std::string_view args) {
  bool ok = true;
  const std::string answer = handler(args, &ok);
  if (!ok) return answer_error(answer.empty() ? "failed" : answer);
  emit_lines(answer);
  answer_ok();
}

// Carries out one line; commands that need the loop (input, wait) answer later.
void execute(std::string_view line) {
  line = trim(strip_comment(line));
  if (line.empty()) return;
  const size_t space = line.find_first_of(" \t");
  const std::string_view word = line.substr(0, space);
  const std::string_view args = space == std::string_view::npos ? "" : trim(line.substr(space));
  std::string reason;
  Point p;
  if (word == "tap") {
    if (!parse_point(args, &p, &reason)) return answer_error(reason);
    start_tap(p);
  } else if (word == "down") {
    if (!parse_point(args, &p, &reason)) return answer_error(reason);
    queue_input(QueueItem::Kind::PointerDown, p);
  } else if (word == "up") {
    queue_input(QueueItem::Kind::PointerUp, pointer_position());
  } else if (word == "click") {
    command_click(args);
  } else if (word == "wait") {
    command_wait(args);
  } else if (word == "screenshot") {
    command_screenshot(args);
  } else if (word == "windows") {
    emit_lines(describe_windows());
    answer_ok();
  } else if (word == "texts") {
    paint_pending();
    emit_lines(describe_texts(args));
    answer_ok();
  } else if (word == "quit") {
    answer_ok();
    request_quit();
  } else if (auto it = automation().commands.find(word); it != automation().commands.end()) {
    run_extension(it->second, args);
  } else {
    answer_error("unknown command " + std::string(word));
  }
}

}  // namespace

std::string detail::escaped_text(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

namespace {

// One line of `windows` for a row of a list view or an item of a list box: its index, its
// rectangle on screen as far as it shows (0 0 0 0 when scrolled out of view), whether it is
// selected, and its cells.
void describe_row(const Window& list, int index, Rect client_rect, bool selected,
                  const std::vector<std::string>& cells, int depth, std::string& out) {
  const Point o = list.client_origin();
  Rect r = client_rect.translated(o.x, o.y).intersected(detail::visible_screen_rect(list));
  if (r.empty()) r = {};
  out.append(size_t(depth) * 4, ' ');
  out += "row " + std::to_string(index) + " " + std::to_string(r.left) + " " +
         std::to_string(r.top) + " " + std::to_string(r.width()) + " " +
         std::to_string(r.height());
  if (selected) out += " selected";
  for (const std::string& cell : cells) out += " \"" + detail::escaped_text(cell) + "\"";
  out += '\n';
}

void describe_rows(const Window& w, int depth, std::string& out) {
  std::vector<std::string> cells;
  if (window_is_class(&w, kListViewClass)) {
    const int columns = list_view_column_count(&w);
    const int selection = list_view_selection(&w);
    for (int row = 0; row < list_view_row_count(&w); ++row) {
      cells.clear();
      for (int c = 0; c < columns; ++c) cells.push_back(list_view_cell(&w, row, c));
      describe_row(w, row, list_view_row_rect(&w, row), row == selection, cells, depth, out);
    }
  } else if (window_is_class(&w, kListBoxClass)) {
    const int selection = list_box_selection(&w);
    for (int item = 0; item < list_box_count(&w); ++item) {
      cells.assign(1, list_box_text(&w, item));
      describe_row(w, item, list_box_item_rect(&w, item), item == selection, cells, depth, out);
    }
  }
}

void describe(Window& parent, int depth, std::string& out) {
  const auto& kids = parent.children();
  for (size_t i = kids.size(); i-- > 0;) {
    Window& w = *kids[i];
    if (!w.is_shown()) continue;
    const Rect r = w.screen_rect();
    out.append(size_t(depth) * 4, ' ');
    out += w.class_name() + " " + std::to_string(w.id()) + " " + std::to_string(r.left) + " " +
           std::to_string(r.top) + " " + std::to_string(r.width()) + " " +
           std::to_string(r.height());
    if (w.is_enabled()) out += " enabled";
    if (button_shows_checked(&w)) out += " checked";
    if (pressed_window() == &w && r.contains(pointer_position())) out += " pressed";
    if (detail::modal_running_for(&w)) out += " modal";
    out += " \"" + detail::escaped_text(w.text()) + "\"\n";
    describe_rows(w, depth + 1, out);
    describe(w, depth + 1, out);
  }
}

bool take_line(std::string* line) {
  Automation& a = automation();
  std::lock_guard lock(a.mutex);
  if (a.lines.empty()) return false;
  *line = std::move(a.lines.front());
  a.lines.pop_front();
  return true;
}

void read_lines(FILE* f) {
  char* buffer = nullptr;
  size_t capacity = 0;
  ssize_t n = 0;
  while ((n = getline(&buffer, &capacity, f)) >= 0) {
    std::string_view line(buffer, size_t(n));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    {
      std::lock_guard lock(automation().mutex);
      automation().lines.emplace_back(line);
    }
    detail::wake_gui();
  }
  std::free(buffer);
  if (f != stdin) std::fclose(f);
  {
    std::lock_guard lock(automation().mutex);
    automation().input_ended = true;
  }
  detail::wake_gui();
}

// Finishes the running command when its time has come, else starts the next line; returns
// whether it did anything.
bool serve() {
  Automation& a = automation();
  switch (a.phase) {
    case Phase::AwaitInput:
      if (a.outstanding_input > 0) return false;
      a.phase = Phase::Idle;
      answer_ok();
      return true;
    case Phase::RealWait:
    case Phase::VirtualWait:
      if (clock::now_ms() < a.target) return false;
      a.phase = Phase::Idle;
      answer_ok();
      return true;
    case Phase::Idle: {
      std::string line;
      if (!take_line(&line)) return false;
      execute(line);
      return true;
    }
  }
  return false;
}

int64_t real_deadline() {
  const Automation& a = automation();
  return a.phase == Phase::RealWait ? a.target : INT64_MAX;
}

int64_t virtual_target() {
  const Automation& a = automation();
  return a.phase == Phase::VirtualWait ? a.target : -1;
}

void forget() {
  Automation& a = automation();
  {
    std::lock_guard lock(a.mutex);
    a.lines.clear();
    a.input_ended = false;
    a.started = false;
  }
  a.phase = Phase::Idle;
  a.outstanding_input = 0;
}

}  // namespace

void register_automation_command(std::string_view name, AutomationHandler handler) {
  automation().commands[std::string(name)] = std::move(handler);
}

bool start_automation(const std::string& path, std::string* error) {
  FILE* f = path == "-" ? stdin : std::fopen(path.c_str(), "r");
  if (f == nullptr) {
    if (error != nullptr) *error = path + ": " + std::strerror(errno);
    return false;
  }
  enable_text_recording();
  {
    std::lock_guard lock(automation().mutex);
    automation().started = true;
    automation().input_ended = false;
  }
  std::thread(read_lines, f).detach();
  return true;
}

void start_automation_script(std::string_view script) {
  enable_text_recording();
  Automation& a = automation();
  {
    std::lock_guard lock(a.mutex);
    a.started = true;
    while (!script.empty()) {
      const size_t end = script.find('\n');
      std::string_view line = script.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      a.lines.emplace_back(line);
      if (end == std::string_view::npos) break;
      script.remove_prefix(end + 1);
    }
    a.input_ended = true;
  }
  detail::wake_gui();
}

void set_automation_output(std::function<void(std::string_view line)> sink) {
  automation().sink = std::move(sink);
}

bool automation_finished() {
  Automation& a = automation();
  std::lock_guard lock(a.mutex);
  return a.input_ended && a.lines.empty() && a.phase == Phase::Idle;
}

std::string describe_windows() {
  std::string out;
  describe(desktop(), 0, out);
  return out;
}

}  // namespace platform::gui
