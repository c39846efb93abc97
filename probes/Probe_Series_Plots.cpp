// Probe_Series_Plots: the curves of the scan point and front tracking against simulation time,
// on the probes' shared curve frame.
//
// Reads:  Scan_Point_Values, Scan_Point_Times, Front_Tracking_Values, Front_Tracking_Times,
//         Result_Set (Selected_Solutions, Total_Time_Steps), EDX_Processing_Mode.
// Writes: through DRAW_PROBE_CURVES: a curve window or an image file, the console.

#include <algorithm>

#include "probes/Front_Tracking.h"
#include "probes/Probe_Curves.h"
#include "probes/Probe_Results.h"
#include "probes/Scan_Point.h"

namespace {

// Rows 1 to the largest output count, never past the table's end.
std::int64_t rows_of_all(const Probe_Series& series) {
  return std::min<std::int64_t>(LARGEST_OUTPUT_COUNT(), series.LENGTH());
}

// The plot of a series over time at the place the series was measured: every selected
// result's column is one curve of its own output count, and all its rows 1 to MT count for the
// y-range; entries never measured take no part.
Curve_Plot series_plot(const Probe_Series& series, std::int64_t abscissa_rows) {
  Curve_Plot plot;
  plot.x_label = "Simulation time (s)";
  plot.position = series.position;
  for (std::int64_t t = 1; t <= abscissa_rows; ++t)
    if (MEASURED(series.times(t))) plot.abscissa.push_back(series.times(t));
  const auto& r = Result_Set;
  const std::int64_t all = rows_of_all(series);
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i) {
    if (!r.Selected_Solutions(i)) continue;
    for (std::int64_t t = 1; t <= all; ++t)
      if (MEASURED(series.values(t, i))) plot.extent.ADD(series.values(t, i));
    Curve c;
    for (std::int64_t t = 1, rows = ROWS_OF_RESULT(series, i); t <= rows; ++t) {
      if (!MEASURED(series.times(t)) || !MEASURED(series.values(t, i))) continue;
      c.x.push_back(series.times(t));
      c.y.push_back(series.values(t, i));
    }
    plot.curves.push_back(std::move(c));
  }
  return plot;
}

}  // namespace

void SCAN_POINT_DISPLAY(bool window) {
  const Probe_Series series = SCAN_POINT_SERIES();
  Curve_Plot plot = series_plot(series, rows_of_all(series));
  plot.kind = Curve_Kind::Scan_Point;
  plot.window = window;
  plot.title = "Scan point";
  plot.y_label = FIELD_VALUE_LABEL(EDX_Processing_Mode);
  plot.reference = REFERENCE_RESULT();
  DRAW_PROBE_CURVES(plot);
}

void FRONT_TRACKING_DISPLAY(bool window) {
  const Probe_Series series = FRONT_TRACKING_SERIES();
  Curve_Plot plot = series_plot(series, series.LENGTH());
  plot.kind = Curve_Kind::Front_Tracking;
  plot.window = window;
  plot.title = "Front tracking";
  plot.y_label = "Distance [\\gmm]";
  plot.reference = 1;
  DRAW_PROBE_CURVES(plot);
}
