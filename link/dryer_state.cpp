#include "link/dryer_state.h"

#include <iterator>

namespace corvex::link {
namespace {

using PW = PendingWrite;

struct NamedFlag {
  PW flag;
  PendingWriteName name;
};

// The flags whose name carries a word besides the offset.
constexpr NamedFlag kNamed[] = {
    {PW::k159Copy, {159, "copy"}},     {PW::k159Block, {159, "block"}},
    {PW::k160Copy, {160, "copy"}},     {PW::k217Bit6, {217, "bit6"}},
    {PW::k218Bits, {218, "bits"}},     {PW::k218Trigger, {218, "trigger"}},
    {PW::k219Bits, {219, "bits"}},
};

// The offset of every flag, in enum order.
constexpr uint16_t kPlainOffsets[] = {
    3,   4,   5,   6,   7,   8,   11,  9,   254, 252, 16,  14,  21,  19,  26,  31,  41,  46,
    49,  50,  53,  59,  61,  63,  65,  67,  69,  95,  96,  97,  98,  99,  100, 101, 102, 103,
    104, 105, 106, 149, 151, 153, 159, 156, 157, 158, 159, 161, 163, 164, 187, 160, 159, 199,
    202, 203, 206, 208, 216, 217, 218, 218, 219, 221, 224, 226, 227, 228, 229, 232, 234, 236,
    237, 238, 241, 243, 246, 257, 258, 260, 266, 269, 274, 277, 279, 281, 283, 285, 287, 289,
    293};
static_assert(std::size(kPlainOffsets) == kPendingWriteCount);

DryerState g_state;

}  // namespace

PendingWriteName pending_write_name(PendingWrite w) {
  for (const NamedFlag& n : kNamed)
    if (n.flag == w) return n.name;
  return {kPlainOffsets[size_t(w)], nullptr};
}

DryerState& dryer_state() { return g_state; }

void reset_dryer_state() {
  DryerState& s = g_state;
  constexpr auto r = std::memory_order_relaxed;
  for (auto& b : s.mirror) b.store(0, r);
  for (auto& b : s.desired) b.store(0, r);
  for (auto& b : s.pending) b.store(0, r);
  s.receive_buffer.fill(0);
  s.transmit_buffer.fill(0);
  s.link_watchdog.store(kWatchdogReload, r);
  s.resync_request.store(0, r);
  s.resync_holdoff.store(0, r);
  s.exchange_tick_counter.store(0, r);
  s.unit_flag.store(0, r);
  s.recorded_warning_number.store(0, r);
  s.recorded_node_code.store(0, r);
  s.shutdown_suppression.store(0, r);
  s.timer_minimum.store(0, r);
  s.previous_load_time.store(0, r);
  s.metering_roll_request.store(0, r);
  s.defaults_switch_request.store(0, r);
  s.status_byte_251_request.store(0, r);
  s.defaults_notice_shown.store(0, r);
  s.batch_picture.store(0, r);
  s.remembered_266_bit6.store(0, r);
  s.moisture_display_countdown.store(2700, r);
  s.main_screen_shown.store(1, r);
  s.mr_speed_via_screen.store(0, r);
  s.metering_roll_dialog_visible.store(0, r);
  s.metering_roll_refresh.store(0, r);
  s.delayed_redraw.store(0, r);
  s.delayed_redraw_countdown.store(25, r);
  s.blink_flags.store(0, r);
  s.blink_phase.store(0, r);
  s.startup_blink_counter.store(0, r);
  s.fast_tick_counter.store(0, r);
  s.warning_help_from_history.store(0, r);
  s.warning_help_dialog = nullptr;
  s.button_bar_279_copy = 0;
  s.button_bar_copy_taken = false;
  s.gui_work.store(0, r);
}

void preset_start_mirror() { g_state.mirror[171].store(0xA0, std::memory_order_relaxed); }

void raise_write(PendingWrite w, std::initializer_list<SlotValue> slots) {
  for (const SlotValue& s : slots) {
    if (s.offset < kStatusBytes) g_state.desired[s.offset].store(s.value, std::memory_order_relaxed);
  }
  g_state.flag(w).store(1, std::memory_order_release);
}

void lower_write(PendingWrite w) { g_state.flag(w).store(0, std::memory_order_release); }

bool write_raised(PendingWrite w) {
  return g_state.flag(w).load(std::memory_order_acquire) != 0;
}

}  // namespace corvex::link
