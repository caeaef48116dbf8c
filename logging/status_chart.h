#pragma once
// The status chart AVERAGE_VALUES_WINDOW: the short-term data log as a table of eight samples
// at a time, oldest at the top, with a scroll bar that pages back through up to 144 samples
// and the sample-time button. GUI thread only.
#include <string>

#include "logging/sample_files.h"

namespace corvex::logging {

inline constexpr int kChartScrollBarId = 36893;
inline constexpr int kChartRows = 8;

// Registers AVERAGE_VALUES_WINDOW (a class already registered is replaced).
void register_status_chart_class();

// The cell texts of one sample, left to right: time and date, dryer grain temperature,
// moisture in, moisture out, grain temperature out, metering-roll speed. Temperatures follow
// the display's unit (the unit flag of DryerState).
struct ChartRow {
  std::string cell[6];
};
ChartRow chart_row(const DryerSampleRecord& record);

// Called every second: repaints the chart when what it shows has changed since it was last
// drawn (the log, the disk, the sample time, the language, the temperature unit), and leaves
// it alone otherwise.
void refresh_status_chart();

// The chart's scroll position (0 = the oldest samples; the samples available less 7 = the
// newest eight).
int chart_scroll_position();
// Back to the start: the chart follows the newest samples. For tests.
void reset_status_chart();

}  // namespace corvex::logging
