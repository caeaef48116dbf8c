#pragma once
// The window system: window classes and procedures, the window tree, messages, invalidation
// and coalesced paints, hit-testing, timers with direct callbacks, the message loop and nested
// modal loops. Everything here runs on the GUI thread, except the calls marked thread-safe,
// which may come from the exchange thread and are carried out on the GUI thread.
#include <array>
#include <cassert>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/geometry.h"

namespace platform::gui {

// What of a client area waits to be painted: a few separate rectangles, so that small changes
// far apart (the turning fans of the status picture) are each painted on their own; one more
// than fit joins the piece it adds the least area to.
struct DirtyArea {
  static constexpr int kMaxPieces = 4;
  std::array<Rect, kMaxPieces> pieces{};
  int count = 0;

  bool empty() const { return count == 0; }
  void add(const Rect& r);
  Rect united() const;
};

class Window;

enum class MessageKind : uint16_t {
  Create,           // after the window exists; lparam = create parameter
  Destroy,          // before the window and its children go away
  Paint,            // lparam = PaintContext*
  EraseBackground,  // lparam = PaintContext*; return nonzero when handled
  Command,   // wparam low 16 bits = command id, high 16 = notification; lparam = Window* of the
             // control or 0
  Timer,     // wparam = timer id (timers without a routine)
  DrawItem,  // owner-drawn control; lparam = DrawItemContext*
  HScroll,   // wparam = ScrollCode, lparam = Window* of the scroll bar
  VScroll,
  PointerDown,  // wparam = x, lparam = y, in window coordinates
  PointerUp,
  PointerMove,
  Show,  // wparam = 1 shown, 0 hidden
  Close,
  InitDialog,    // lparam = the init parameter of the dialog
  Notify,        // lparam = const Notification*
  Enable,        // wparam = 1 enabled, 0 disabled
  TextsChanged,  // the program's texts changed (another language); see broadcast_message
  User,          // user-defined; wparam, lparam are the sender's
};

struct Message {
  MessageKind kind = MessageKind::User;
  intptr_t wparam = 0;
  intptr_t lparam = 0;
};

using WindowProc = intptr_t (*)(Window& w, const Message& m);

// The platform's handling of a message no procedure took: erase with the class background,
// paint nothing, pointer handling of controls, close destroys.
intptr_t default_window_procedure(Window& w, const Message& m);

struct WindowClass {
  std::string name;
  WindowProc procedure = nullptr;
  Color background = colors::kBlack;
  bool has_background = true;  // false: the erase message paints nothing
};

// Registers (or replaces) a class; windows are created by class name.
void register_class(const WindowClass& wc);
bool class_registered(std::string_view name);

// Window styles.
namespace style {
constexpr uint32_t kVisible = 1u << 0;
constexpr uint32_t kDisabled = 1u << 1;
constexpr uint32_t kChild = 1u << 2;
constexpr uint32_t kBorder = 1u << 3;   // one-pixel black frame
constexpr uint32_t kCaption = 1u << 4;  // title bar with the window text (includes a border)
constexpr uint32_t kTopmost = 1u << 5;
constexpr uint32_t kPopup = 1u << 6;       // a top-level window above the main window (dialogs)
constexpr uint32_t kOwnerDraw = 1u << 7;   // controls: the parent draws it through DrawItem
constexpr uint32_t kMultiLine = 1u << 8;   // controls: text wraps
constexpr uint32_t kRaisedEdge = 1u << 9;  // 3-D raised frame (dialogs, message boxes)
}  // namespace style

constexpr int kCaptionHeight = 20;

struct CreateParams {
  std::string class_name;
  std::string text;
  uint32_t style = style::kVisible;
  Rect rect;  // relative to the parent's client area (screen for top level)
  Window* parent = nullptr;
  int id = 0;
  intptr_t create_param = 0;
};

// Creates a window; sends Create; returns nullptr for an unknown class.
Window* create_window(const CreateParams& p);
// Sends Destroy to the window and its children, then frees them.
void destroy_window(Window* w);

class Window {
 public:
  const std::string& class_name() const { return class_name_; }
  const std::string& text() const { return text_; }
  int id() const { return id_; }
  uint32_t style() const { return style_; }
  Window* parent() const { return parent_; }
  // Children, bottom of the z-order first.
  const std::vector<std::unique_ptr<Window>>& children() const { return children_; }

  bool is_visible() const;  // this window and every ancestor shown
  bool is_shown() const { return (style_ & style::kVisible) != 0; }
  bool is_enabled() const { return (style_ & style::kDisabled) == 0; }
  bool is_topmost() const { return (style_ & style::kTopmost) != 0; }

  // The rectangle relative to the parent's client area, and in screen coordinates.
  Rect rect() const { return rect_; }
  Rect screen_rect() const;
  // The client area (inside frame and caption) in window coordinates: always starts at (0, 0).
  Rect client_rect() const;
  // Screen position of the client area's top-left corner.
  Point client_origin() const;

  // Per-window data of the program (the procedure's state) and of a control.
  intptr_t user_data = 0;
  std::shared_ptr<void> control_state;

  WindowProc procedure() const { return procedure_; }
  void set_procedure(WindowProc p) { procedure_ = p; }

  // The window a popup (dialog, message box) belongs to; it goes when its owner goes.
  Window* owner() const { return owner_; }

 private:
  friend struct WindowAccess;
  std::string class_name_;
  std::string text_;
  int id_ = 0;
  uint32_t style_ = 0;
  Rect rect_;
  Window* parent_ = nullptr;
  std::vector<std::unique_ptr<Window>> children_;
  WindowProc procedure_ = nullptr;
  DirtyArea dirty_;  // client coordinates; empty when nothing to paint
  bool erase_pending_ = false;
  Rect exposed_;  // window coordinates, frame included: repainted with erase
  Window* owner_ = nullptr;
  uint64_t serial_ = 0;  // tells a live window from a new one at a freed address
  int class_index_ = -1;
  uint8_t life_ = 0;  // alive, being destroyed, destroyed (freed once dispatch unwinds)
};

// The root of every top-level window (the screen). Top-level windows are its children.
Window& desktop();

struct PaintContext {
  Canvas* canvas;  // clipped to the dirty part of the client area, origin at the client's (0, 0)
  Rect dirty;      // in client coordinates
};

struct DrawItemContext {
  Window* control;
  int id;
  Canvas* canvas;  // clipped to the control, origin at its (0, 0)
  Rect rect;       // the control's client rectangle
  bool pressed;
  bool disabled;
};

// The context of a Paint or EraseBackground message and of a DrawItem message. The paint pass
// and the owner-drawn buttons always send one; asking a message of another kind for it is a
// programming error.
inline const PaintContext& paint_context(const Message& m) {
  assert((m.kind == MessageKind::Paint || m.kind == MessageKind::EraseBackground) && m.lparam != 0);
  return *reinterpret_cast<const PaintContext*>(m.lparam);
}
inline const DrawItemContext& draw_item_context(const Message& m) {
  assert(m.kind == MessageKind::DrawItem && m.lparam != 0);
  return *reinterpret_cast<const DrawItemContext*>(m.lparam);
}
// The messages that carry them; the context must outlive the send.
inline Message paint_message(MessageKind kind, const PaintContext& pc) {
  return {kind, 0, reinterpret_cast<intptr_t>(&pc)};
}
inline Message draw_item_message(const DrawItemContext& item) {
  return {MessageKind::DrawItem, item.id, reinterpret_cast<intptr_t>(&item)};
}

// True while the paint pass has a window's erase or paint on the stack. A paint only draws:
// opening a modal loop (a dialog, a message box) or changing the window tree (creating,
// destroying, showing, hiding, moving or restacking a window) from inside one is a programming
// error, which asserts and is refused (run_modal returns 0, the change does not happen). What a
// window shows is decided where its state changes, not when it happens to be painted: a covered
// window is not painted.
bool painting();

// Sends a message to the window procedure now and returns its result.
intptr_t send_message(Window* w, const Message& m);
// Queues a message for the window. Thread-safe.
void post_message(Window* w, const Message& m);
// Queues a command: command id in the low half of wparam, lparam 0. Thread-safe.
void post_command(Window* w, int command_id);
inline int command_id(const Message& m) { return int(m.wparam & 0xFFFF); }
inline int command_notification(const Message& m) { return int((m.wparam >> 16) & 0xFFFF); }

// Window operations. Those marked thread-safe may be called from any thread: off the GUI thread
// they are handed to it and carried out there, in order.
void show_window(Window* w, bool show);      // thread-safe
void enable_window(Window* w, bool enable);  // thread-safe
enum class Erase { No, Yes };
void invalidate(Window* w, Erase erase = Erase::Yes);  // thread-safe; whole client area
void invalidate_rect(Window* w, const Rect& r,
                     Erase erase = Erase::Yes);  // thread-safe; client coordinates
// The same, addressed to every window of a class; nothing happens when none exists. Thread-safe.
void invalidate_class(std::string_view class_name, Erase erase = Erase::Yes);
void invalidate_class_rect(std::string_view class_name, const Rect& r, Erase erase = Erase::Yes);
void show_class(std::string_view class_name, bool show);
void move_window(Window* w, const Rect& r, bool repaint = true);
void set_window_text(Window* w, std::string_view text);
void set_topmost(Window* w, bool topmost);
// Moves a window to the top of its siblings' z-order.
void bring_to_front(Window* w);
// Paints the window now if anything of it is dirty.
void update_window(Window* w);

// Look-ups. find_window: a top-level window of that class (and title, when given).
Window* find_window(std::string_view class_name, const std::string* title = nullptr);
// The first window of that class anywhere in the tree, depth-first.
Window* find_window_by_class(std::string_view class_name);
// Sends the message now to every window, hidden ones included, each parent before its children.
// A window that a handler destroys on the way gets nothing more. GUI thread only.
void broadcast_message(const Message& m);
// A direct child with that id.
Window* child_by_id(Window* parent, int id);
// The topmost visible, enabled window under a screen point (nullptr: none).
Window* window_at(Point screen);

// Timers. A timer with a routine calls it directly on the GUI thread; without one the window
// gets a Timer message. A routine already running (for instance inside a message box it
// opened) is not entered again. Setting an existing id re-arms it.
using TimerRoutine = void (*)(Window* w, int timer_id);
void set_timer(Window* w, int timer_id, int period_ms, TimerRoutine routine = nullptr);
void kill_timer(Window* w, int timer_id);

// The message loop. run_message_loop returns the exit code given to post_quit. after_message
// (may be empty) runs after every message the main loop handles; modal loops do not call it.
int run_message_loop(const std::function<void()>& after_message = {});
void post_quit(int exit_code);
bool quit_posted();

// Runs a nested loop until end_modal(w, result) is called for that window; returns the result.
// Other top-level windows take no pointer input meanwhile.
intptr_t run_modal(Window* w);
void end_modal(Window* w, intptr_t result);
// The innermost window running a modal loop, or nullptr.
Window* active_modal();

// The framebuffer every window paints into (640 x 480).
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
Bitmap& framebuffer();
// Paints every dirty window now (normally done when the queue is empty).
void paint_pending();

// Pointer input in screen coordinates, as the backends and the automation deliver it.
// Thread-safe: off the GUI thread the input is queued. The window that took the PointerDown
// gets the moves and the PointerUp wherever the pointer goes.
void inject_pointer_down(Point screen);
void inject_pointer_up();
void inject_pointer_move(Point screen);
// The window holding the press now (it took the PointerDown and the PointerUp has not come),
// or nullptr. Hiding, disabling or destroying it, or a modal loop starting, ends the press.
Window* pressed_window();
// Where the pointer was last seen, in screen coordinates.
Point pointer_position();

// The GUI thread is the one that called init().
void init();
bool on_gui_thread();

// True while the window exists (created and not destroyed).
bool is_window(const Window* w);

// What ends the program when the operator closes the window, a signal arrives or the
// automation says quit: the program sets it to destroy its main window. Without one,
// request_quit posts quit with exit code 0. Thread-safe; the handler runs on the GUI thread.
void set_quit_handler(std::function<void()> handler);
void request_quit();

// The end of the program, on the GUI thread once its loop has returned and after the program
// has stopped the threads it started: destroys the backend while everything it uses still
// exists. Threads that cannot be stopped (a script reader blocked on its input, the
// single-instance listener) may go on calling into the window system until the process is
// gone; their messages and wakes are dropped. init() and install_backend open it again.
void shut_down();

// Virtual time only: moves the clock on by ms, running every timer that falls due on the way,
// each followed by the queue and the paints it caused, as the automation `wait` does.
void advance_virtual(int64_t ms);

// Destroys every window, timer and queued message and clears the screen: a fresh start for
// the next test. Registered classes stay.
void reset();

}  // namespace platform::gui
