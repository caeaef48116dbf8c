#pragma once
// Calls out of the link into the screens that later work provides. Each hook is a function
// pointer that defaults to nothing; start-up fills them in. They are atomics so that a hook may
// be set while the exchange thread runs.
//
// The status-area rule and the add-a-shutdown-record operation are called on the exchange
// thread and may use only the thread-safe window operations (show, hide, enable, invalidate by
// class). The button-bar layout is called on the GUI thread by the 175 ms tick.
#include <atomic>
#include <cstdint>

#include "link/redraw.h"

namespace corvex::link {

using LinkHook = void (*)();
using ShutdownRecordHook = void (*)(uint8_t node_code, uint8_t warning_number);

struct LinkHooks {
  // What the right side of the main screen shows (status byte 8, bit 6 of status byte 266).
  std::atomic<LinkHook> status_area_rule{nullptr};
  // Places the bar buttons for bit 0 of status byte 279 (auto-start running).
  std::atomic<LinkHook> button_bar_layout{nullptr};
  // Adds a record to the shutdown history.
  std::atomic<ShutdownRecordHook> add_shutdown_record{nullptr};
};

LinkHooks& link_hooks();
// Back to the defaults (every hook empty).
void reset_link_hooks();

// Runs a hook when one is set.
void call_status_area_rule();
void call_button_bar_layout();
void call_add_shutdown_record(uint8_t node_code, uint8_t warning_number);

// Work the decoder hands to the GUI thread, as bits of DryerState::gui_work.
enum LinkGuiWork : uint32_t {
  kGuiWorkBatchButtonRule = 1u << 0,
  kGuiWorkRedrawMiscButton = 1u << 1,
  kGuiWorkRedrawUnloadStatusButton = 1u << 2,
  kGuiWorkRedrawRules = 1u << 3,
};

// A redraw rule brings a screen's controls (which of its buttons show) in line with the status
// whenever the link asks for the screen to be redrawn, before the redraw: a paint only draws, and
// a screen that is covered is not painted at all. A rule runs on the GUI thread: at once when the
// request is made there, otherwise on the GUI thread's next tick (service_link_gui_work). A rule
// must only look the screen up and show or hide its controls; nullptr removes it.
void set_redraw_rule(RedrawTarget target, LinkHook rule);

// A redraw filter answers whether the target's window would draw anything new if it were
// painted now. A request the GUI thread makes for the whole target is dropped when the filter
// answers false; requests of the exchange thread and requests for a part always go through. A
// window that is exposed is repainted by the window system whatever its filter says, so a
// filter need only compare what the window last put on the screen with what it would draw.
// nullptr removes it.
using RedrawFilter = bool (*)();
void set_redraw_filter(RedrawTarget target, RedrawFilter filter);

// Carries out on the GUI thread what the decoder handed over: the batch button rule, the redraw
// rules and the redraw of the bar controls no class name reaches. The link's ticks call it; the
// message loop may too. Returns the work bits that were carried out.
uint32_t service_link_gui_work();

// Batch button rule: shows and hides the HI HEAT, LO HEAT and DRY buttons of the batch drying
// screen for the drying mode (status byte 8) and the dual-plenum bit (bit 1 of status byte
// 257), and enables DRY. On the GUI thread it acts at once; from the exchange thread it is
// handed to the GUI thread's next tick, since windows are looked up only there.
void apply_batch_button_rule();

}  // namespace corvex::link
