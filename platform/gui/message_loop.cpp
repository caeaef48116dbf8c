// Messages and the loops that carry them: the queue (posted messages, input and the window
// operations other threads hand over), sending, the main loop with its after-message hook,
// nested modal loops, quitting, and moving virtual time.
#include <atomic>
#include <cassert>
#include <climits>
#include <cstdio>

#include "platform/gui/backend_port.h"
#include "platform/gui/gui_internal.h"
#include "platform/io/clock.h"

namespace platform::gui {

using detail::QueueItem;
using detail::state;

namespace {
// Set by shut_down: from then on other threads' messages and wakes are dropped.
std::atomic<bool> g_closed{false};
}  // namespace

namespace detail {

// Never destroyed: threads that outlive main() may still post to the queue.
GuiState& state() {
  static GuiState& s = *new GuiState;
  return s;
}

void ItemQueue::push(const QueueItem& item) {
  std::lock_guard lock(mutex_);
  if (count_ == ring_.size()) {
    std::vector<QueueItem> bigger(std::max<size_t>(64, ring_.size() * 2));
    for (size_t i = 0; i < count_; ++i) bigger[i] = ring_[(head_ + i) % ring_.size()];
    ring_.swap(bigger);
    head_ = 0;
  }
  ring_[(head_ + count_) % ring_.size()] = item;
  ++count_;
}

bool ItemQueue::pop(QueueItem* item) {
  std::lock_guard lock(mutex_);
  if (count_ == 0) return false;
  *item = ring_[head_];
  head_ = (head_ + 1) % ring_.size();
  --count_;
  return true;
}

bool ItemQueue::empty() {
  std::lock_guard lock(mutex_);
  return count_ == 0;
}

void ItemQueue::clear() {
  std::lock_guard lock(mutex_);
  head_ = 0;
  count_ = 0;
}

void free_destroyed_windows() {
  if (state().dispatch_depth == 0) state().graveyard.clear();
}

void wake_gui() { wake_backend(); }

void queue_item(const QueueItem& item) {
  if (g_closed.load(std::memory_order_acquire)) return;
  state().queue.push(item);
  if (!on_gui_thread()) detail::wake_gui();
}

void queue_call(void (*fn)(intptr_t), intptr_t arg) {
  QueueItem item;
  item.kind = QueueItem::Kind::Call;
  item.call = fn;
  item.call_arg = arg;
  queue_item(item);
}

void add_loop_client(const LoopClient& client) { state().loop_clients.push_back(client); }

bool refused_while_painting(const char* what) {
  if (state().painting == 0) return false;
  std::fprintf(stderr, "window system: %s refused while a paint runs\n", what);
  assert(!"a paint must not open a modal loop or change the window tree");
  return true;
}

bool modal_running_for(const Window* w) {
  for (const ModalFrame& f : state().modal_stack) {
    if (f.window == w && !f.done) return true;
  }
  return false;
}

// A modal window that goes away ends its loop; the result stays what end_modal gave, else 0.
void end_modal_frames_of(const Window* w) {
  for (ModalFrame& f : state().modal_stack) {
    if (f.window == w) f.done = true;
  }
}

}  // namespace detail

namespace {

bool item_window_alive(const QueueItem& item) {
  if (!detail::is_alive(item.window)) return false;
  return item.serial == 0 || item.window == &desktop() ||
         WindowAccess::serial(*item.window) == item.serial;
}

// Carries out one queued item; returns true when it was a message or input (the main loop's
// hook runs after those), false for a window operation handed over by another thread.
bool process_item(const QueueItem& item) {
  detail::DispatchScope scope;
  switch (item.kind) {
    case QueueItem::Kind::Message:
      if (item_window_alive(item)) send_message(item.window, item.message);
      return true;
    case QueueItem::Kind::PointerDown:
    case QueueItem::Kind::PointerUp:
    case QueueItem::Kind::PointerMove:
      detail::dispatch_pointer(item.kind, item.point);
      return true;
    case QueueItem::Kind::Show:
      if (item_window_alive(item)) detail::show_window_now(item.window, item.flag);
      return false;
    case QueueItem::Kind::Enable:
      if (item_window_alive(item)) detail::enable_window_now(item.window, item.flag);
      return false;
    case QueueItem::Kind::Invalidate:
      if (item_window_alive(item))
        detail::invalidate_now(item.window, item.flag ? nullptr : &item.rect, item.erase);
      return false;
    case QueueItem::Kind::InvalidateClass:
      detail::for_each_window(desktop(), [&](Window& w) {
        if (WindowAccess::class_index(w) == item.class_index)
          detail::invalidate_now(&w, item.flag ? nullptr : &item.rect, item.erase);
      });
      return false;
    case QueueItem::Kind::ShowClass:
      detail::for_each_window(desktop(), [&](Window& w) {
        if (WindowAccess::class_index(w) == item.class_index)
          detail::show_window_now(&w, item.flag);
      });
      return false;
    case QueueItem::Kind::Call:
      if (item.call != nullptr) item.call(item.call_arg);
      return false;
  }
  return false;
}

// Moves virtual time towards the nearest target of a running wait, stopping at the next timer
// due on the way; false when no wait asks for time.
bool advance_virtual_clock() {
  if (!clock::is_virtual()) return false;
  const int64_t now = clock::now_ms();
  int64_t target = INT64_MAX;
  for (const detail::LoopClient& client : state().loop_clients) {
    const int64_t wanted = client.virtual_target != nullptr ? client.virtual_target() : -1;
    if (wanted > now) target = std::min(target, wanted);
  }
  if (state().pump_target > now) target = std::min(target, state().pump_target);
  if (target == INT64_MAX) return false;
  const int64_t next = std::min(detail::next_timer_due(), target);
  if (next > now) clock::advance_ms(next - now);
  return true;
}

void run_quit_request() {
  std::function<void()> handler;
  {
    std::lock_guard lock(state().quit_handler_mutex);
    handler = state().quit_handler;
  }
  if (handler) {
    handler();
  } else {
    post_quit(0);
  }
}

enum class LoopKind { Main, Modal, Pump };

// Gives each client in turn the chance to do one piece of idle work.
bool serve_clients() {
  auto& clients = state().loop_clients;
  for (size_t i = 0; i < clients.size(); ++i) {
    if (clients[i].idle != nullptr && clients[i].idle()) return true;
  }
  return false;
}

// One turn of a loop: a queued item, else the paints, else a due timer, else a client's idle
// work (the automation's next command), else virtual time. Returns false when there is nothing to
// do but wait.
bool run_one(LoopKind kind, const std::function<void()>* after) {
  detail::free_destroyed_windows();
  if (state().quit_requested.exchange(false)) {
    run_quit_request();
    return true;
  }
  const bool main = kind == LoopKind::Main && after != nullptr && *after;
  QueueItem item;
  if (state().queue.pop(&item)) {
    if (process_item(item) && main) (*after)();
    return true;
  }
  // As on the panel's platform, a quit is taken once the messages posted before it are handled,
  // before any paint or timer.
  if (state().quit.load()) return false;
  if (detail::paint_needed()) {
    paint_pending();
    if (main) (*after)();
    return true;
  }
  if (detail::fire_due_timer()) {
    if (main) (*after)();
    return true;
  }
  if (serve_clients()) return true;
  return advance_virtual_clock();
}

// Blocks until the next timer or client deadline, input, or a wake from another thread.
void wait_for_work() {
  int64_t deadline = detail::next_timer_due();
  for (const detail::LoopClient& client : state().loop_clients) {
    if (client.deadline != nullptr) deadline = std::min(deadline, client.deadline());
  }
  int timeout = -1;
  if (deadline != INT64_MAX) {
    const int64_t left = deadline - clock::now_ms();
    if (left <= 0) {
      timeout = 0;
    } else if (!clock::is_virtual()) {
      timeout = int(std::min<int64_t>(left, INT_MAX));
    }
  }
  current_backend().wait_events(timeout);
}

}  // namespace

void init() {
  g_closed.store(false, std::memory_order_release);
  auto& st = state();
  st.gui_thread = std::this_thread::get_id();
  st.gui_thread_known.store(true, std::memory_order_release);
  (void)desktop();
  (void)framebuffer();
}

// Before init() every thread counts as the GUI thread, so a program that never starts a second
// thread needs no set-up.
bool on_gui_thread() {
  const auto& st = state();
  if (!st.gui_thread_known.load(std::memory_order_acquire)) return true;
  return st.gui_thread == std::this_thread::get_id();
}

// The platform's own handling of a message: erase with the class background, close destroys,
// everything else is ignored.
intptr_t default_window_procedure(Window& w, const Message& m) {
  switch (m.kind) {
    case MessageKind::EraseBackground: {
      const PaintContext& pc = paint_context(m);
      const WindowClass* wc = detail::class_of(w);
      const Color background = wc != nullptr ? wc->background : colors::kBlack;
      const bool has_background = wc == nullptr || wc->has_background;
      if (pc.canvas != nullptr && has_background) pc.canvas->fill_rect(pc.dirty, background);
      return 1;
    }
    case MessageKind::Close:
      destroy_window(&w);
      return 0;
    default:
      return 0;
  }
}

// Returns what the procedure returned, or 0 for a window that no longer exists. Off the GUI
// thread the message is posted instead (and 0 returned), since procedures run only there.
intptr_t send_message(Window* w, const Message& m) {
  if (w == nullptr || WindowAccess::life(*w) == detail::kDead) return 0;
  if (!on_gui_thread()) {
    post_message(w, m);
    return 0;
  }
  detail::DispatchScope scope;
  WindowProc proc = w->procedure() != nullptr ? w->procedure() : &default_window_procedure;
  return proc(*w, m);
}

void post_message(Window* w, const Message& m) {
  if (w == nullptr) return;
  QueueItem item = detail::make_item(QueueItem::Kind::Message, {.window = w});
  item.message = m;
  if (on_gui_thread()) {
    if (!detail::is_alive(w)) return;
    item.serial = WindowAccess::serial(*w);
  }
  detail::queue_item(item);
}

void post_command(Window* w, int command_id) {
  post_message(w, {MessageKind::Command, intptr_t(command_id & 0xFFFF), 0});
}

void show_window(Window* w, bool show) {
  if (!on_gui_thread()) {
    detail::queue_item(detail::make_item(QueueItem::Kind::Show, {.window = w, .flag = show}));
    return;
  }
  detail::show_window_now(w, show);
}

void enable_window(Window* w, bool enable) {
  if (!on_gui_thread()) {
    detail::queue_item(detail::make_item(QueueItem::Kind::Enable, {.window = w, .flag = enable}));
    return;
  }
  detail::enable_window_now(w, enable);
}

void show_class(std::string_view class_name, bool show) {
  const int index = detail::find_class_index(class_name);
  if (index < 0) return;
  if (!on_gui_thread()) {
    detail::queue_item(
        detail::make_item(QueueItem::Kind::ShowClass, {.flag = show, .class_index = index}));
    return;
  }
  detail::for_each_window(desktop(), [&](Window& w) {
    if (WindowAccess::class_index(w) == index) detail::show_window_now(&w, show);
  });
}

// Returns the exit code given to post_quit; the quit is consumed, so the loop can run again.
int run_message_loop(const std::function<void()>& after_message) {
  auto& st = state();
  while (true) {
    if (run_one(LoopKind::Main, &after_message)) continue;
    if (st.quit.load()) break;
    wait_for_work();
  }
  st.quit.store(false);
  return st.quit_code.load();
}

void post_quit(int exit_code) {
  state().quit_code.store(exit_code);
  state().quit.store(true);
  if (!on_gui_thread()) detail::wake_gui();
}

bool quit_posted() { return state().quit.load(); }

void set_quit_handler(std::function<void()> handler) {
  std::lock_guard lock(state().quit_handler_mutex);
  state().quit_handler = std::move(handler);
}

void request_quit() {
  if (on_gui_thread()) {
    run_quit_request();
    return;
  }
  state().quit_requested.store(true);
  detail::wake_gui();
}

// Returns the result given to end_modal; 0 when the window went away or the program is
// quitting, which ends every modal loop so that the main loop can return.
intptr_t run_modal(Window* w) {
  auto& st = state();
  if (!detail::is_alive(w) || !on_gui_thread()) return 0;
  if (detail::refused_while_painting("run_modal")) return 0;
  detail::cancel_press();
  st.modal_stack.push_back({w, false, 0});
  const size_t index = st.modal_stack.size() - 1;
  while (!st.modal_stack[index].done) {
    if (run_one(LoopKind::Modal, nullptr)) continue;
    if (st.modal_stack[index].done || st.quit.load()) break;
    wait_for_work();
  }
  const intptr_t result = st.modal_stack[index].result;
  st.modal_stack.resize(index);
  return result;
}

void end_modal(Window* w, intptr_t result) {
  auto& stack = state().modal_stack;
  for (size_t i = stack.size(); i-- > 0;) {
    if (stack[i].window == w && !stack[i].done) {
      stack[i].done = true;
      stack[i].result = result;
      return;
    }
  }
}

Window* active_modal() {
  const auto& stack = state().modal_stack;
  for (size_t i = stack.size(); i-- > 0;) {
    if (!stack[i].done && detail::is_alive(stack[i].window)) return stack[i].window;
  }
  return nullptr;
}

// Runs turns of the loop, moving the virtual clock, until the target time is reached and
// nothing is left to do; a modal loop opened on the way keeps moving the clock inside.
void advance_virtual(int64_t ms) {
  auto& st = state();
  if (!clock::is_virtual() || !on_gui_thread() || ms < 0) return;
  const int64_t previous = st.pump_target;
  st.pump_target = clock::now_ms() + ms;
  while (true) {
    if (run_one(LoopKind::Pump, nullptr)) continue;
    if (st.quit.load() || clock::now_ms() >= st.pump_target) break;
    wait_for_work();
  }
  st.pump_target = previous;
}

void shut_down() {
  g_closed.store(true, std::memory_order_release);
  shut_down_backend();
}

void reset() {
  auto& st = state();
  std::vector<Window*> tops;
  for (const auto& top : desktop().children()) tops.push_back(top.get());
  for (Window* top : tops) destroy_window(top);
  detail::clear_timers();
  st.queue.clear();
  st.modal_stack.clear();
  st.quit.store(false);
  st.quit_requested.store(false);
  st.pump_target = -1;
  detail::cancel_press();
  for (const detail::LoopClient& client : st.loop_clients) {
    if (client.reset != nullptr) client.reset();
  }
  detail::reset_window_texts();
  if (st.dispatch_depth == 0) st.graveyard.clear();
  detail::reset_painting();
  WindowAccess::dirty(desktop()) = {};
  WindowAccess::exposed(desktop()) = {};
}

}  // namespace platform::gui
