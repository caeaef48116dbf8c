#pragma once
// The graph view: GRAPH_WINDOW with its six trace buttons, the scroll bar that pages back hour
// by hour through the graph data log and the graph setup button, and its drawing window
// DRAW_GRAPH_WINDOW, which draws up to six traces of the loaded window over 1, 2, 4 or 8 hours.
// GUI thread only.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "logging/graph_log.h"

namespace corvex::logging {

// Control ids of the graph window.
inline constexpr int kGraphMoistInButtonId = 36872;
inline constexpr int kGraphTempInButtonId = 36873;
inline constexpr int kGraphMoistOutButtonId = 36874;
inline constexpr int kGraphTempOutButtonId = 36875;
inline constexpr int kGraphDryerGrainTempButtonId = 36876;
inline constexpr int kGraphRollSpeedButtonId = 36877;
inline constexpr int kGraphSetupButtonId = 36879;
inline constexpr int kGraphScrollBarId = 36899;

// Registers GRAPH_WINDOW and DRAW_GRAPH_WINDOW (a class already registered is replaced).
void register_graph_view_classes();

// The five axis values of one trace, bottom (axis 0) to top (axis 4), evenly spaced.
struct GraphAxis {
  std::array<int, 5> value{};
  int step() const { return value[1] - value[0]; }
};
// Chooses a step from the spread of the values and widens it until axis 4 reaches the largest
// value, so that every point lies between the bottom and the top line.
GraphAxis graph_axis(std::span<const platform::Point> points);
// A value's height above the base line in pixels: axis 0 is 0, axis 4 is 180.
int plotted_height(int value, const GraphAxis& axis);

// The time of a DryerSampleRecord on the 12-hour clock ("12:07AM"), with the month and day
// ("12:07AM 3/03") when asked.
enum class WithDate : uint8_t { No, Yes };
std::string graph_time_label(const uint8_t* record, WithDate date);

// Hours back from the newest record that the graph shows (0 at program start).
int graph_scroll_position();
// Back to the start: scroll position 0. For tests.
void reset_graph_view();

}  // namespace corvex::logging
