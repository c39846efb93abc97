// Front_Tracking: recording the fronts at every output, trimming the tables, the probe command.
//
// Reads:  Result_Set, Scan_Line, Virtual_EDX_values and Virtual_EDX_distances (the last line
//         scan), Front_Tracking_Value_Tracked.
// Writes: Front_Tracking_Values, Front_Tracking_Times, Front_Tracking_Value_Tracked (first run);
//         through the line scan, pickers and stepping, Scan_Line, Selected_Solutions and the
//         outputs shown; Command_Code only while a first line scan runs.

#include "probes/Front_Tracking.h"

#include <algorithm>
#include <vector>

#include "probes/Probe_Results.h"
#include "probes/Virtual_EDX.h"
#include "records/Allocation_Checks.h"
#include "records/Command_Codes.h"

namespace {

// Samples of result i in the last line scan, never past the tables' ends.
std::int64_t sample_count() {
  if (!Virtual_EDX_values.ALLOCATED() || !Virtual_EDX_distances.ALLOCATED()) return 0;
  return std::clamp<std::int64_t>(Scan_Line.Scan_Samples, 0,
                                  std::min(Virtual_EDX_values.EXTENT(1), Virtual_EDX_distances.EXTENT(0)));
}

std::vector<float> samples_of(std::int32_t i) {
  std::vector<float> values(static_cast<std::size_t>(sample_count()));
  for (std::size_t k = 0; k < values.size(); ++k) values[k] = Virtual_EDX_values(i, static_cast<std::int64_t>(k + 1));
  return values;
}

}  // namespace

Probe_Series FRONT_TRACKING_SERIES() {
  return {Front_Tracking_Values,          Front_Tracking_Times,         Front_Tracking_Position,
          "Front_Tracking_Values",        "Front_Tracking_Times",       "Buffer_Front_Tracking_Values",
          "Buffer_Front_Tracking_Times"};
}

void DEFAULT_TRACKED_VALUES() {
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  auto& tracked = Front_Tracking_Value_Tracked;
  CHECK_ALLOCATION_ERROR("Front_Tracking_Value_Tracked", tracked.ALLOCATE({Bounds{1, n}}));
  CHECK_ALLOCATION_SIZE("Front_Tracking_Value_Tracked", tracked.SIZE(), std::max(n, 0));
  for (std::int32_t i = 1; i <= n; ++i) {
    const std::vector<float> v = samples_of(i);
    if (v.empty()) continue;
    const auto [low, high] = std::minmax_element(v.begin(), v.end());
    tracked(i) = (*low + *high) / 2.0f;
  }
}

void FRONT_TRACKING_VALUE() {
  const Probe_Series series = FRONT_TRACKING_SERIES();
  GROW_PROBE_SERIES(series);
  RECORD_PROBE_TIMES(series);
  series.position = CURRENT_PROBE_POSITION();
  const auto& r = Result_Set;
  const bool interpolate = FRONT_INTERPOLATED();
  std::vector<float> distances(static_cast<std::size_t>(sample_count()));
  for (std::size_t k = 0; k < distances.size(); ++k) distances[k] = Virtual_EDX_distances(static_cast<std::int64_t>(k + 1));
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i) {
    const std::int64_t row = ROW_OF_CURRENT_OUTPUT(series, i);
    if (row == 0) continue;
    Front_Tracking_Values(row, i) = -1.0f;
    if (r.Selected_Solutions(i) && Front_Tracking_Value_Tracked.ALLOCATED())
      Front_Tracking_Values(row, i) = FRONT_POSITION(samples_of(i), distances, Front_Tracking_Value_Tracked(i), interpolate);
  }
}

void DOWNSIZE_FRONT_TRACKING_ARRAYS() { CUT_PROBE_SERIES(FRONT_TRACKING_SERIES()); }

void FRONT_TRACKING() {
  auto& command = Command_State;
  if (!Virtual_EDX_values.ALLOCATED()) {
    command.Command_Code = Command::Line_Scan;
    VIRTUAL_EDX();
    command.Command_Code = Command::Front_Tracking;
  } else {
    SELECT_PROBE_RESULTS(true);
  }
  if (SCAN_LINE_TOO_SMALL()) return;
  FRONT_TRACKING_SET_VALUES();
  STEP_PROBE_OUTPUTS([] {
    VIRTUAL_EDX_SCAN();
    FRONT_TRACKING_VALUE();
  });
  DOWNSIZE_FRONT_TRACKING_ARRAYS();
  FRONT_TRACKING_DISPLAY(true);
}
