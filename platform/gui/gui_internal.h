#pragma once
// State and helpers that the window system's own files share; nothing outside platform/gui
// and platform/backend includes this.
#include <atomic>
#include <cstdint>
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
  static Rect& dirty(Window& w) { return w.dirty_; }
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
    Message, PointerDown, PointerUp, PointerMove,
    Show, Enable, Invalidate, InvalidateClass, ShowClass,
  };
  Kind kind = Kind::Message;
  bool flag = false;         // show / enable / whole client area
  bool from_automation = false;
  Erase erase = Erase::Yes;
  Window* window = nullptr;
  uint64_t serial = 0;       // 0: queued off the GUI thread, checked by address only
  int class_index = -1;
  Message message{};
  Rect rect{};
  Point point{};
};

struct ItemFields {
  Window* window = nullptr;
  bool flag = false;
  Erase erase = Erase::Yes;
  Rect rect{};
  int class_index = -1;
  Point point{};
  bool from_automation = false;
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
  item.from_automation = f.from_automation;
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
bool modal_running_for(const Window* w);
void end_modal_frames_of(const Window* w);

// timers.cpp
int64_t next_timer_due();   // INT64_MAX when no timer can fire
bool fire_due_timer();
void kill_timers_of(const Window* w);
void clear_timers();

// input.cpp
void dispatch_pointer(QueueItem::Kind kind, Point screen);
void forget_window_input(const Window* w);
void cancel_press();

// automation.cpp: served by every message loop when it has nothing else to do.
bool automation_service();
int64_t automation_deadline();  // INT64_MAX when no real-time wait runs
int64_t automation_virtual_target();  // -1 when no virtual wait runs
void automation_input_taken();
void reset_automation();
// Text in double quotes as `windows` and `texts` print it: quotes, backslashes and line breaks
// escaped with a backslash.
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
