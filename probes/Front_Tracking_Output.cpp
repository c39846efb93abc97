// Front_Tracking_Output: the front-tracking table and curve image (codes 110 and 111).
//
// Reads:  Front_Tracking_Values, Front_Tracking_Times, Result_Set, Output_Settings.
// Writes: Output_Settings (names), the files and the console.

#include <algorithm>

#include "probes/Front_Tracking.h"
#include "probes/Probe_Output_Names.h"
#include "probes/Probe_Outputs.h"
#include "probes/Probe_Tables.h"

void FRONT_TRACKING_OUTPUT_TXT() {
  const std::string name =
      CHOOSE_PROBE_OUTPUT_NAME(PROBE_OUTPUT_STEM() + "_Front_Tracking.txt", "'Front Tracking' text output");
  if (name.empty()) return;
  const Probe_Series series = FRONT_TRACKING_SERIES();
  const std::int64_t rows = std::min<std::int64_t>(LARGEST_OUTPUT_COUNT(), series.LENGTH());
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  WRITE_PROBE_TABLE(name, Front_Tracking_Table, PROBE_RESULT_NAMES(), rows, [&](std::int64_t k, std::vector<float>& v) {
    for (std::int32_t i = 1; i <= n; ++i) v[static_cast<std::size_t>(i - 1)] = Front_Tracking_Values(k, i);
    return Front_Tracking_Times(k);
  });
}

void FRONT_TRACKING_OUTPUT_CURVE() {
  const std::string name =
      CHOOSE_PROBE_OUTPUT_NAME(PROBE_OUTPUT_STEM() + "_Front_Tracking." + IMAGE_EXTENSION(), "'Front Tracking' curve output");
  if (!name.empty()) FRONT_TRACKING_DISPLAY(false);
}
