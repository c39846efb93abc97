// Scan_Point: recording, processing and trimming the scan-point series; the probe command.
//
// Reads:  Result_Set, Scan_Line (x1, y1), Display_Field.Array_to_be_displayed,
//         EDX_Processing_Mode.
// Writes: Scan_Point_Values, Scan_Point_Times; through the pickers and stepping, Scan_Line,
//         Selected_Solutions and the outputs shown.

#include "probes/Scan_Point.h"

#include <cmath>

#include "probes/Probe_Results.h"
#include "probes/Scan_Line.h"
#include "probes/Virtual_EDX.h"

Probe_Series SCAN_POINT_SERIES() {
  return {Scan_Point_Values, Scan_Point_Times, Scan_Point_Position, "Scan_Point_Values", "Scan_Point_Times",
          "Buffer_Scan_Point_Values", "Buffer_Scan_Point_Times"};
}

void SCAN_POINT_VALUE() {
  const Probe_Series series = SCAN_POINT_SERIES();
  GROW_PROBE_SERIES(series);
  RECORD_PROBE_TIMES(series);
  series.position = CURRENT_PROBE_POSITION();
  const auto& r = Result_Set;
  const auto& s = Scan_Line;
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i)
    if (r.Selected_Solutions(i))
      if (const std::int64_t row = ROW_OF_CURRENT_OUTPUT(series, i))
        Scan_Point_Values(row, i) = Display_Field.Array_to_be_displayed(i, s.Scan_X1, s.Scan_Y1);
}

void PROCESS_SCAN_POINT_SERIES() {
  const std::int32_t mode = EDX_Processing_Mode;
  if (mode != 1 && mode != 2) return;
  const Probe_Series series = SCAN_POINT_SERIES();
  if (!series.EXISTS()) return;
  const auto& r = Result_Set;
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i) {
    if (!r.Selected_Solutions(i)) continue;
    const std::int64_t rows = ROWS_OF_RESULT(series, i);
    double norm = 0.0;
    for (std::int64_t t = 1; t <= rows; ++t) {
      if (!MEASURED(Scan_Point_Values(t, i))) continue;
      const double v = std::fabs(Scan_Point_Values(t, i));
      norm = mode == 1 ? norm + v * Scan_Point_Times(t) : std::fmax(norm, v);
    }
    const auto divisor = static_cast<float>(norm);
    if (!(divisor > Probe_Zero_Magnitude)) continue;
    for (std::int64_t t = 1; t <= rows; ++t) Scan_Point_Values(t, i) /= divisor;
  }
}

void DOWNSIZE_SCAN_POINT_ARRAYS() { CUT_PROBE_SERIES(SCAN_POINT_SERIES()); }

void SCAN_POINT() {
  SELECT_PROBE_RESULTS(true);
  SCAN_POINT_SELECT(true);
  STEP_PROBE_OUTPUTS(SCAN_POINT_VALUE);
  PROCESS_SCAN_POINT_SERIES();
  DOWNSIZE_SCAN_POINT_ARRAYS();
  SCAN_POINT_DISPLAY(true);
}
