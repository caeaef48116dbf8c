#pragma once
// The one-second tick's duties after the data logs: the status chart's countdown, the setup
// screens' controls that follow the switch inputs and the dryer type, the hold-to-confirm of the
// shutdown history, the hold-to-copy buttons of the batch drying timers screen and the message
// at the end of an auto-start run. All of it runs on the GUI thread, in the order of
// run_tick_duties.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gui/window.h"

namespace corvex::logging {

// Runs the duties in their order, once per one-second tick; `main` owns the questions.
void run_tick_duties(platform::gui::Window* main);

// ---- Status chart countdown ----
// Seconds the status chart waits; counted down by one on every tick, stopping at 0.
uint32_t status_chart_countdown();
void set_status_chart_countdown(uint32_t seconds);
void count_down_status_chart();

// ---- Setup screen controls ----
// Controls that the tick shows and hides. The screens that carry them place them under these
// ids; until they exist the look-up finds nothing and the tick changes nothing.
// Extended setup screen: shown while the AUX switch (bit 2 of status byte 183) is on.
inline constexpr int kExtendedAuxControlId = 1341;
// Extended setup screen: shown while the MANUAL switch (bit 1 of status byte 183) is on and the
// dryer is of neither the numeric-model nor the mixed-flow family (bits 5 and 6 of byte 225).
inline constexpr int kExtendedManualControlId = 1342;
// Setup screen: shown while the dryer is not of the numeric-model family (bit 5 of byte 225).
inline constexpr int kSetupNonNumericControlId = 1311;
// Also repaints the data logger set-up window when it exists.
void follow_setup_controls();

// ---- Shutdown history hold-to-confirm ----
inline constexpr int kHistoryHoldButtonId = 1107;
inline constexpr uint32_t kHistoryHoldStart = 5;
// The shutdown history window registers itself while it is open (nullptr when it closes).
void set_shutdown_history_window(platform::gui::Window* window);
// Ticks left of the hold on button 1107: 5 while it is not held, one less for every tick it is.
uint32_t shutdown_history_hold_countdown();
void step_shutdown_history_hold();
// A completed hold starts the countdown again at 10 before the clear question opens.
inline constexpr uint32_t kHistoryHoldAfterClear = 10;
void restart_shutdown_history_hold(uint32_t ticks);

// ---- Batch drying timers: hold to restart a phase timer ----
// The four hold gestures of BATCH_DRYING_WINDOW. DRY and HI HEAT both restart the timer of
// status bytes 11-12 and share one countdown.
enum class BatchHold : uint8_t { DryOrHiHeat, LoHeat, Cool, Unload, kCount };
inline constexpr int kBatchHoldCount = int(BatchHold::kCount);
// Each countdown starts at 1; a held button asks on its second held tick and again every
// second tick while it stays held.
uint32_t batch_hold_countdown(BatchHold hold);
void step_batch_holds(platform::gui::Window* owner);
// The question of a hold: the button's localized format with the set time (minutes, seconds).
std::string batch_hold_question(int format_string, int minutes, int seconds);

// ---- End of an auto-start run ----
inline constexpr char kAutoStartFinishedCaption[] = "Auto-Start Finished...";
inline constexpr char kAutoStartAcceptedEntry[] = "User Accepted Auto-Start MC Setup";
// Shown at most once per run, when bit 7 of status byte 280 is first seen set.
bool auto_start_message_shown();
void check_auto_start_finished(platform::gui::Window* owner);
// Where the operator's acceptance goes: the shutdown history adds the entry. Until a history
// is installed the acceptance is dropped.
using HistoryEntryHook = void (*)(std::string_view entry);
void set_history_entry_hook(HistoryEntryHook hook);

// Back to the start of a run (every countdown and flag at its start value). For tests.
void reset_tick_duties();

// Formats `format` with the numbers in order, taking only %d with an optional zero flag and
// width (up to 9) and %%; any other conversion is copied as it stands, so a translated text
// can never make the formatter read a string or past its numbers.
std::string format_numbers(std::string_view format, const int* numbers, int count);

}  // namespace corvex::logging
