#pragma once
// The dialogs that change the persisted display settings: the graph setup (time scale of the
// graph) and the sample-time selection of the short-term data log with its clear-table
// question. Each writes its setting the moment it is accepted. GUI thread only.
#include <array>
#include <cstdint>
#include <string>

#include "platform/gui/window.h"
#include "texts/texts.h"

namespace corvex::logging {

// The status chart's sample-time button (a child of AVERAGE_VALUES_WINDOW).
inline constexpr int kSampleTimeButtonId = 36900;

// Opens "GRAPH SETUP - 25" centred on `owner` (the graph window); returns the dialog's result.
intptr_t open_graph_setup_dialog(platform::gui::Window* owner);
// Opens "Select Data Log Sample Time - 35" centred on `owner` and 20 pixels higher (the status
// chart and the batch drying timers screen open it); returns the dialog's result.
intptr_t open_sample_time_dialog(platform::gui::Window* owner);
// Asks whether to delete the short-term data log; Yes deletes both files and redraws the status
// chart. Returns the id of the key pressed.
intptr_t open_clear_table_dialog(platform::gui::Window* owner);

// The sample-time button's text: localized string 286, the sample time, localized string 342.
std::string sample_time_button_text();
// The same without a heap allocation, for the chart's paint.
using SampleTimeButtonText = std::array<char, 2 * sizeof(texts::StringBuffer) + 16>;
void sample_time_button_text(SampleTimeButtonText& out);
// Sets that text on the status chart's button, when the chart and its button exist.
void update_sample_time_button();

// What the three dialogs share: a labelled key and a mark set to a check.
void draw_settings_key(const platform::gui::DrawItemContext& item, int label_string);
void set_mark(platform::gui::Window& dialog, int mark_id, bool checked);

// The dialog procedures.
intptr_t graph_setup_procedure(platform::gui::Window& dialog, const platform::gui::Message& m);
intptr_t sample_time_procedure(platform::gui::Window& dialog, const platform::gui::Message& m);
intptr_t clear_table_procedure(platform::gui::Window& dialog, const platform::gui::Message& m);

}  // namespace corvex::logging
