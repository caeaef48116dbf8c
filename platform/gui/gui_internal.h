#pragma once
// State and helpers that the window system's own files share; nothing outside platform/gui
// includes this.
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <vector>

#include "platform/gui/window.h"

namespace platform::gui {

// The one door to Window's private fields, for the window system's own files.
struct WindowAccess {
  static std::string& class_name(Window& w) { return w.class_name_; }
  static std::string& text(Window& w) { return w.text_; }
  static int& id(Window& w) { return w.id_; }
  static uint32_t& style(Window& w) { return w.style_; }
  static Rect& rect(Window& w) { return w.rect_; }
  static Window*& parent(Window& w) { return w.parent_; }
  static std::vector<std::unique_ptr<Window>>& children(Window& w) { return w.children_; }
  static DirtyArea& dirty(Window& w) { return w.dirty_; }
  static bool& erase_pending(Window& w) { return w.erase_pending_; }
  static Rect& exposed(Window& w) { return w.exposed_; }
  static Window*& owner(Window& w) { return w.owner_; }
  static uint64_t& serial(Window& w) { return w.serial_; }
  static int& class_index(Window& w) { return w.class_index_; }
  static uint8_t& life(Window& w) { return w.life_; }
  static uint64_t serial(const Window& w) { return w.serial_; }
  static int class_index(const Window& w) { return w.class_index_; }
  static uint8_t life(const Window& w) { return w.life_; }
};

namespace detail {

enum Life : uint8_t { kAlive = 0, kDestroying = 1, kDead = 2 };

// What the queue carries: posted messages, input, and the window operations that other
// threads hand to the GUI thread. Fixed size, so queueing never allocates once the ring has
// grown to what the program needs.
struct QueueItem {
  enum class Kind : uint8_t {
    Message,
    PointerDown,
    PointerUp,
    PointerMove,
    Show,
    Enable,
    Invalidate,
    InvalidateClass,
    ShowClass,
    Call,  // call(call_arg), in turn with everything queued around it
  };
  Kind kind = Kind::Message;
  bool flag = false;  // show / enable / whole client area
  Erase erase = Erase::Yes;
  Window* window = nullptr;
  uint64_t serial = 0;  // 0: queued off the GUI thread, checked by address only
  int class_index = -1;
  Message message{};
  Rect rect{};
  Point point{};
  void (*call)(intptr_t) = nullptr;
  intptr_t call_arg = 0;
};

struct ItemFields {
  Window* window = nullptr;
  bool flag = false;
  Erase erase = Erase::Yes;
  Rect rect{};
  int class_index = -1;
  Point point{};
};
inline QueueItem make_item(QueueItem::Kind kind, const ItemFields& f) {
  QueueItem item;
  item.kind = kind;
  item.window = f.window;
  item.flag = f.flag;
  item.erase = f.erase;
  item.rect = f.rect;
  item.class_index = f.class_index;
  item.point = f.point;
  return item;
}

// A thread-safe first-in first-out ring of QueueItems that only grows.
class ItemQueue {
 public:
  void push(const QueueItem& item);
  bool pop(QueueItem* item);
  bool empty();
  void clear();

 private:
  std::mutex mutex_;
  std::vector<QueueItem> ring_;
  size_t head_ = 0;
  size_t count_ = 0;
};

struct ModalFrame {
  Window* window = nullptr;
  bool done = false;
  intptr_t result = 0;
};

// A timer of set_timer.
struct Timer {
  Window* window = nullptr;
  int id = 0;
  int period_ms = 1;
  int64_t due = 0;
  TimerRoutine routine = nullptr;
  bool running = false;  // its routine is on the stack (say, inside a message box it opened)
  uint64_t armed = 0;    // arming order: timers due at the same moment fire in this order
};

// A window of the paint pass, in z-order.
struct PaintEntry {
  Window* window;
  Rect visible;
  bool opaque;  // erases all of itself when exposed, so it hides what lies under it
};

// The press the hold repeat counts: compared with the core's pressed window, never
// dereferenced unless it is that window.
struct HoldCount {
  const Window* window = nullptr;
  uint32_t press = 0;
  int ticks = 0;
};

// Something besides the window system that the loops serve, as the automation is: idle work
// done one piece per turn when a loop has nothing else to do, a real-time deadline the loops
// wake for, a virtual time they move the clock towards, and what reset() forgets. Any of them
// may be null.
struct LoopClient {
  bool (*idle)() = nullptr;               // returns whether it did something
  int64_t (*deadline)() = nullptr;        // INT64_MAX when none
  int64_t (*virtual_target)() = nullptr;  // -1 when none
  void (*reset)() = nullptr;
};

struct GuiState {
  std::atomic<bool> gui_thread_known{false};
  std::thread::id gui_thread;

  std::unordered_set<const Window*> live;
  std::vector<std::unique_ptr<Window>> graveyard;
  uint64_t next_serial = 1;
  int dispatch_depth = 0;

  ItemQueue queue;
  std::vector<ModalFrame> modal_stack;
  std::atomic<bool> quit{false};
  std::atomic<int> quit_code{0};
  std::mutex quit_handler_mutex;
  std::function<void()> quit_handler;
  std::atomic<bool> quit_requested{false};  // request_quit from another thread

  // Painting: something was invalidated since the last paint pass; screen areas that hidden,
  // moved or destroyed windows laid bare.
  bool any_dirty = false;
  std::vector<Rect> screen_damage;

  // Input.
  Window* capture = nullptr;
  uint64_t capture_serial = 0;
  Point pointer;

  // Virtual time target of advance_virtual (-1: none).
  int64_t pump_target = -1;
  std::vector<LoopClient> loop_clients;  // kept across reset()

  // Window classes. A window keeps its class by index, and a deque keeps every class where it
  // is when more are registered; the mutex lets other threads look classes up by name
  // (invalidate_class) while the GUI thread registers one.
  std::mutex class_mutex;
  std::deque<WindowClass> classes;

  // Few timers exist (three in the program, a handful in dialogs), so a plain vector serves.
  std::vector<Timer> timers;
  uint64_t timer_arm_count = 0;

  // The screen and the paint pass. The pass reuses its lists, so painting does not allocate
  // once they have grown; `painting` counts the erases and paints on the stack.
  Bitmap framebuffer{kScreenWidth, kScreenHeight, colors::kBlack};
  Canvas screen_canvas{framebuffer};
  std::vector<PaintEntry> paint_order;
  std::vector<Rect> paint_damage;
  int painting = 0;

  // Controls: the presses begun on them so far (read from any thread), and the one the hold
  // repeat is counting.
  std::atomic<uint32_t> control_presses{0};
  HoldCount hold;
};

GuiState& state();

// Counts the window system's own traversals and dispatches, so that windows destroyed meanwhile
// are freed only when everything on the stack is done with them.
struct DispatchScope {
  DispatchScope() { ++state().dispatch_depth; }
  ~DispatchScope() { --state().dispatch_depth; }
  DispatchScope(const DispatchScope&) = delete;
  DispatchScope& operator=(const DispatchScope&) = delete;
};
void free_destroyed_windows();

// Refuses, with an assertion, a modal loop or a change of the window tree while a paint runs;
// returns true when the caller must not go on.
bool refused_while_painting(const char* what);

// window.cpp
bool is_alive(const Window* w);
const WindowClass* class_of(const Window& w);
// Case-insensitive class look-up; -1 when not registered. Thread-safe.
int find_class_index(std::string_view name);
int frame_width(uint32_t style);
// The part of the window on screen: its rectangle clipped by every ancestor's client area.
Rect visible_screen_rect(const Window& w);
Rect client_screen_rect(const Window& w);
bool is_ancestor_or_self(const Window* ancestor, const Window* w);
void show_window_now(Window* w, bool show);
void enable_window_now(Window* w, bool enable);
// Calls f on every window of the tree under root (root included), parents first. A template,
// so that the decoder's invalidate_class calls cost no allocation.
template <class F>
void for_each_window(Window& root, F&& f) {
  f(root);
  for (size_t i = 0; i < root.children().size(); ++i) for_each_window(*root.children()[i], f);
}

// paint.cpp
void mark_exposed(Window& w);
void invalidate_now(Window* w, const Rect* r, Erase erase);
void add_screen_damage(const Rect& r);
bool paint_needed();
void draw_frame(Canvas& canvas, Window& w);
void reset_painting();

// message_loop.cpp
void wake_gui();
void queue_item(const QueueItem& item);
// Queues a call of fn(arg) on the GUI thread, behind everything queued before it: whoever queued
// input learns this way when the loop has dispatched it. Thread-safe.
void queue_call(void (*fn)(intptr_t), intptr_t arg);
// Adds a client the loops serve from now on. GUI thread.
void add_loop_client(const LoopClient& client);
bool modal_running_for(const Window* w);
void end_modal_frames_of(const Window* w);

// timers.cpp
int64_t next_timer_due();  // INT64_MAX when no timer can fire
bool fire_due_timer();
void kill_timers_of(const Window* w);
void clear_timers();

// input.cpp
void dispatch_pointer(QueueItem::Kind kind, Point screen);
void forget_window_input(const Window* w);
void cancel_press();

// automation.cpp: text in double quotes as `windows` and `texts` print it: quotes, backslashes and
// line breaks escaped with a backslash.
std::string escaped_text(std::string_view text);

// window_texts.cpp: the paint pass brackets each window's paint of `area` (screen coordinates)
// so that the text it draws is kept for the automation's `texts`.
void begin_window_texts(Window& w, const Rect& area);
void end_window_texts();
void reset_window_texts();

// backend.cpp
void present_frame(const Bitmap& frame, const Rect& dirty);

}  // namespace detail
}  // namespace platform::gui
