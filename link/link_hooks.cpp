#include "link/link_hooks.h"

#include <array>
#include <bit>
#include <iterator>

#include "link/dryer_state.h"
#include "link/redraw.h"
#include "platform/gui/window.h"
#include "resources/window_classes.h"

namespace corvex::link {
namespace {

LinkHooks g_hooks;
std::atomic<RedrawSink> g_sink{nullptr};
std::array<std::atomic<platform::gui::Window*>, kRedrawTargetCount> g_registered{};
std::array<std::atomic<LinkHook>, kRedrawTargetCount> g_rules{};
// The targets whose rule waits for the GUI thread, one bit each.
std::atomic<uint64_t> g_pending_rules{0};
std::array<std::atomic<RedrawFilter>, kRedrawTargetCount> g_filters{};

namespace gui = platform::gui;

struct TargetInfo {
  const char* window_class;
  int control_id;
};

// Indexed by RedrawTarget.
constexpr TargetInfo kTargets[] = {
    {resources::CUSTOM_VIEW_WINDOW, 0},
    {resources::BATCH_DRYING_WINDOW, 0},
    {resources::SETUP_SELECTION_WINDOW, 0},
    {resources::DRYER_RIGHT_STATUS_BAR_WINDOW, 0},
    {resources::OUT_OF_GRAIN_CHILD_WINDOW, 0},
    {resources::LOAD_DELAY_CHILD_WINDOW, 0},
    {resources::UNLOAD_DELAY_CHILD_WINDOW, 0},
    {resources::FAN_DELAY_CHILD_WINDOW, 0},
    {resources::DRYER_PIC_WINDOW, 0},
    {resources::METERING_ROLL_SPEED_DIALOG, 0},
    {resources::PLENUM_SETPOINT_CHILD_WINDOW, 0},
    {resources::GRAIN_TEMP_SETPOINT_CHILD_WINDOW, 0},
    {resources::LINE_GRAPH_WINDOW, 0},
    {resources::UNLOAD_STATUS_WINDOW, 0},
    {resources::UNLOAD_STATUS_WINDOW, resources::kUnloadStatusSelectButtonId},
    {resources::DIAGNOSTICS_DIALOG, 0},
    {resources::AUTO_START_STATUS_DIALOG, 0},
    {resources::BPH_CALIBRATION_DIALOG, 0},
    {resources::AVERAGE_VALUES_WINDOW, 0},
    {resources::SWITCH_TEST_DIALOG, 0},
    {resources::MOISTURE_SENSOR_CALIBRATION_DIALOG, 0},
    {resources::MOISTURE_SETPOINT_DIALOG, 0},
    {resources::AUTO_START_CONFIG_WINDOW, 0},
    {resources::BRACKETED_MOISTURE_SETUP_DIALOG, 0},
    {resources::LIGHT_OUTPUT_TEST_DIALOG, 0},
    {resources::CONNECTION_SETUP_DIALOG, 0},
    {resources::DRYING_MODES_DIALOG, 0},
    {resources::DRYING_CRITERIA_DIALOG, 0},
    {resources::AUTO_START_DIALOG, 0},
    {nullptr, resources::kMiscButtonId},
    {resources::WARNING_WINDOW, 0},
    {resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW, 0},
};
static_assert(std::size(kTargets) == size_t(RedrawTarget::kCount));

// Every screen window is a child of the main window, so the status picture's parent is it.
gui::Window* main_window() {
  gui::Window* picture = gui::find_window_by_class(resources::DRYER_PIC_WINDOW);
  return picture ? picture->parent() : nullptr;
}

gui::Window* control_of(RedrawTarget t) {
  const TargetInfo& info = kTargets[size_t(t)];
  gui::Window* parent =
      info.window_class ? gui::find_window_by_class(info.window_class) : main_window();
  return parent ? gui::child_by_id(parent, info.control_id) : nullptr;
}

void show_if_present(gui::Window* w, bool show) {
  if (w) gui::show_window(w, show);
}

void apply_batch_button_rule_now() {
  gui::Window* screen = gui::find_window_by_class(resources::BATCH_DRYING_WINDOW);
  if (!screen) return;
  DryerState& s = dryer_state();
  const uint8_t mode = s.mirror[8].load(std::memory_order_relaxed);
  const bool dual_plenum = (s.mirror[257].load(std::memory_order_relaxed) & 0x02) != 0;
  bool heat_phases = false;  // HI HEAT and LO HEAT instead of DRY
  if (mode == 0) {
    heat_phases = false;
  } else if (mode == 3) {
    heat_phases = true;
  } else {
    heat_phases = dual_plenum;
  }
  show_if_present(gui::child_by_id(screen, resources::kBatchHiHeatButtonId), heat_phases);
  show_if_present(gui::child_by_id(screen, resources::kBatchLoHeatButtonId), heat_phases);
  gui::Window* dry = gui::child_by_id(screen, resources::kBatchDryButtonId);
  show_if_present(dry, !heat_phases);
  if (dry) gui::enable_window(dry, true);
}

// Runs the target's rule on the GUI thread, or hands it there.
void follow_rule(RedrawTarget target) {
  const LinkHook rule = g_rules[size_t(target)].load(std::memory_order_acquire);
  if (rule == nullptr) return;
  if (gui::on_gui_thread()) {
    rule();
    return;
  }
  g_pending_rules.fetch_or(uint64_t(1) << unsigned(target), std::memory_order_acq_rel);
  dryer_state().gui_work.fetch_or(kGuiWorkRedrawRules, std::memory_order_acq_rel);
}

}  // namespace

LinkHooks& link_hooks() { return g_hooks; }

void reset_link_hooks() {
  g_hooks.status_area_rule.store(nullptr);
  g_hooks.button_bar_layout.store(nullptr);
  g_hooks.add_shutdown_record.store(nullptr);
  g_pending_rules.store(0);
}

void call_status_area_rule() {
  if (LinkHook h = g_hooks.status_area_rule.load()) h();
}

void call_button_bar_layout() {
  if (LinkHook h = g_hooks.button_bar_layout.load()) h();
}

void call_add_shutdown_record(uint8_t node_code, uint8_t warning_number) {
  if (ShutdownRecordHook h = g_hooks.add_shutdown_record.load()) h(node_code, warning_number);
}

const char* redraw_target_class(RedrawTarget t) { return kTargets[size_t(t)].window_class; }
int redraw_target_control(RedrawTarget t) { return kTargets[size_t(t)].control_id; }

void set_redraw_sink(RedrawSink sink) { g_sink.store(sink); }

void set_redraw_rule(RedrawTarget target, LinkHook rule) {
  g_rules[size_t(target)].store(rule, std::memory_order_release);
}

void set_redraw_filter(RedrawTarget target, RedrawFilter filter) {
  g_filters[size_t(target)].store(filter, std::memory_order_release);
}

void request_redraw(RedrawTarget target, Erase erase) {
  follow_rule(target);
  const RedrawFilter filter = g_filters[size_t(target)].load(std::memory_order_acquire);
  if (filter != nullptr && gui::on_gui_thread() && !filter()) return;
  RedrawSink sink = g_sink.load(std::memory_order_acquire);
  (sink ? sink : platform_redraw)(target, nullptr, erase);
}

void request_redraw_rect(RedrawTarget target, const platform::Rect& rect, Erase erase) {
  follow_rule(target);
  RedrawSink sink = g_sink.load(std::memory_order_acquire);
  (sink ? sink : platform_redraw)(target, &rect, erase);
}

void register_redraw_window(RedrawTarget target, gui::Window* window) {
  g_registered[size_t(target)].store(window, std::memory_order_release);
}

gui::Window* redraw_window(RedrawTarget target) {
  return g_registered[size_t(target)].load(std::memory_order_acquire);
}

void platform_redraw(RedrawTarget target, const platform::Rect* rect, Erase erase) {
  const TargetInfo& info = kTargets[size_t(target)];
  if (gui::Window* w = redraw_window(target)) {
    if (rect) {
      gui::invalidate_rect(w, *rect, erase);
    } else {
      gui::invalidate(w, erase);
    }
    return;
  }
  if (info.control_id != 0) {
    const uint32_t bit = target == RedrawTarget::MiscButton ? kGuiWorkRedrawMiscButton
                                                            : kGuiWorkRedrawUnloadStatusButton;
    dryer_state().gui_work.fetch_or(bit, std::memory_order_acq_rel);
    return;
  }
  if (rect) {
    gui::invalidate_class_rect(info.window_class, *rect, erase);
  } else {
    gui::invalidate_class(info.window_class, erase);
  }
}

void apply_batch_button_rule() {
  if (gui::on_gui_thread()) {
    apply_batch_button_rule_now();
  } else {
    dryer_state().gui_work.fetch_or(kGuiWorkBatchButtonRule, std::memory_order_acq_rel);
  }
}

uint32_t service_link_gui_work() {
  const uint32_t work = dryer_state().gui_work.exchange(0, std::memory_order_acq_rel);
  if (work == 0) return 0;
  if (work & kGuiWorkBatchButtonRule) apply_batch_button_rule_now();
  if (work & kGuiWorkRedrawRules) {
    for (uint64_t m = g_pending_rules.exchange(0, std::memory_order_acq_rel); m; m &= m - 1) {
      if (LinkHook rule = g_rules[size_t(std::countr_zero(m))].load(std::memory_order_acquire))
        rule();
    }
  }
  if (work & kGuiWorkRedrawMiscButton) {
    if (gui::Window* w = control_of(RedrawTarget::MiscButton)) gui::invalidate(w, Erase::No);
  }
  if (work & kGuiWorkRedrawUnloadStatusButton) {
    if (gui::Window* w = control_of(RedrawTarget::UnloadStatusButton))
      gui::invalidate(w, Erase::No);
  }
  return work;
}

}  // namespace corvex::link
