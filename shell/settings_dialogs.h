#pragma once
// The graph setup, sample-time and clear-table dialogs belong to the data logs; the shell
// knows them under its own names.
#include "logging/settings_dialogs.h"

namespace corvex::shell {

using logging::clear_table_procedure;
using logging::draw_settings_key;
using logging::graph_setup_procedure;
using logging::kSampleTimeButtonId;
using logging::open_clear_table_dialog;
using logging::open_graph_setup_dialog;
using logging::open_sample_time_dialog;
using logging::sample_time_button_text;
using logging::sample_time_procedure;
using logging::set_mark;
using logging::update_sample_time_button;

}  // namespace corvex::shell
