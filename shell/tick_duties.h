#pragma once
// The one-second tick's duties after the data logs live with the logs' own tick; the shell
// knows them under its own names.
#include "logging/tick_duties.h"

namespace corvex::shell {

using logging::auto_start_message_shown;
using logging::batch_hold_countdown;
using logging::batch_hold_question;
using logging::BatchHold;
using logging::check_auto_start_finished;
using logging::count_down_status_chart;
using logging::follow_setup_controls;
using logging::format_numbers;
using logging::HistoryEntryHook;
using logging::kAutoStartAcceptedEntry;
using logging::kAutoStartFinishedCaption;
using logging::kBatchHoldCount;
using logging::kExtendedAuxControlId;
using logging::kExtendedManualControlId;
using logging::kHistoryHoldButtonId;
using logging::kHistoryHoldStart;
using logging::kSetupNonNumericControlId;
using logging::reset_tick_duties;
using logging::run_tick_duties;
using logging::set_history_entry_hook;
using logging::set_shutdown_history_window;
using logging::set_status_chart_countdown;
using logging::shutdown_history_hold_countdown;
using logging::status_chart_countdown;
using logging::step_batch_holds;
using logging::step_shutdown_history_hold;

}  // namespace corvex::shell
