#pragma once
// The persisted display settings belong to the data logs that use them; the shell knows them
// under its own names.
#include "logging/display_settings.h"

namespace corvex::shell {

using logging::DisplaySettings;
using logging::display_settings;
using logging::kSettingsKey;
using logging::read_display_settings;
using logging::save_trace_flags;
using logging::write_setting_byte;

}  // namespace corvex::shell
