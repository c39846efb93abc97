// Scan_Point_Output: the scan-point table, position image and curve image (codes 112 to 114).
//
// Reads:  Scan_Point_Values, Scan_Point_Times, Result_Set, Output_Settings.Image_Extension.
// Writes: Output_Settings (names), the files and the console.

#include "probes/Probe_Output_Names.h"
#include "probes/Probe_Outputs.h"
#include "probes/Probe_Tables.h"
#include "probes/Scan_Point.h"

void SCAN_POINT_OUTPUT_TXT() {
  const std::string name =
      CHOOSE_PROBE_OUTPUT_NAME(PROBE_OUTPUT_STEM() + "_Scan_Point.txt", "'Scan point' text output");
  if (name.empty()) return;
  const Probe_Series series = SCAN_POINT_SERIES();
  const std::int64_t rows = ROWS_OF_RESULT(series, 1);
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  WRITE_PROBE_TABLE(name, Scan_Point_Table, PROBE_RESULT_NAMES(), rows, [&](std::int64_t k, std::vector<float>& v) {
    for (std::int32_t i = 1; i <= n; ++i) v[static_cast<std::size_t>(i - 1)] = Scan_Point_Values(k, i);
    return Scan_Point_Times(k);
  });
}

void SCAN_POINT_OUTPUT_POSITION() {
  const std::string name =
      CHOOSE_PROBE_OUTPUT_NAME(PROBE_OUTPUT_STEM() + "_" + MILLISECONDS_FIELD(Result_Set.Time(1)) + "_Scan_Point." +
                                   IMAGE_EXTENSION(),
                               "'Scan point' position output");
  if (!name.empty()) WRITE_PROBE_POSITION_IMAGE();
}

void SCAN_POINT_OUTPUT_CURVE() {
  const std::string name =
      CHOOSE_PROBE_OUTPUT_NAME(PROBE_OUTPUT_STEM() + "_Scan_Point." + IMAGE_EXTENSION(), "'Scan Point' curve output");
  if (!name.empty()) SCAN_POINT_DISPLAY(false);
}
