// Virtual_EDX: the line scan's tables, its sampling and the line-scan command.
//
// Reads:  Scan_Line (ends), Display_Field (Array_to_be_displayed), Result_Geometry
//         (Grid_Spacing), Result_Set (Number_Of_Solutions, Selected_Solutions),
//         Command_State.Command_Code.
// Writes: Virtual_EDX_values, Virtual_EDX_distances, Scan_Line.Scan_Samples,
//         EDX_Processing_Mode, Result_Set.Selected_Solutions; the console.

#include "probes/Virtual_EDX.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "probes/Probe_Results.h"
#include "probes/Scan_Line.h"
#include "records/Allocation_Checks.h"
#include "records/Command_Codes.h"
#include "records/Console.h"

namespace {

// The tables hold at least samples entries for every result; they only grow.
void make_room(std::int32_t samples) {
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  auto& values = Virtual_EDX_values;
  auto& distances = Virtual_EDX_distances;
  if (values.ALLOCATED() && (values.EXTENT(1) < samples || values.EXTENT(0) != n)) {
    CHECK_DEALLOCATION("Virtual_EDX_values", values.RELEASE());
    CHECK_DEALLOCATION("Virtual_EDX_distances", distances.RELEASE());
  }
  if (!values.ALLOCATED()) {
    CHECK_ALLOCATION_ERROR("Virtual_EDX_values", values.ALLOCATE({Bounds{1, n}, Bounds{1, samples}}));
    CHECK_ALLOCATION_SIZE("Virtual_EDX_values", values.SIZE(), std::int64_t{n} * samples);
    CHECK_ALLOCATION_ERROR("Virtual_EDX_distances", distances.ALLOCATE({Bounds{1, samples}}));
    CHECK_ALLOCATION_SIZE("Virtual_EDX_distances", distances.SIZE(), samples);
  }
  values.FILL(0.0f);
  distances.FILL(0.0f);
}

// Mode 1 divides each result's scan by its mean absolute value, mode 2 by its largest.
void process(std::int32_t samples) {
  if (EDX_Processing_Mode != 1 && EDX_Processing_Mode != 2) return;
  auto& v = Virtual_EDX_values;
  for (std::int32_t i = 1; i <= Result_Set.Number_Of_Solutions; ++i) {
    if (!SELECTED_RESULT(i)) continue;
    float norm = 0.0f;
    for (std::int32_t k = 1; k <= samples; ++k)
      norm = EDX_Processing_Mode == 1 ? norm + std::fabs(v(i, k)) : std::max(norm, std::fabs(v(i, k)));
    if (EDX_Processing_Mode == 1) norm /= static_cast<float>(samples);
    if (norm > Probe_Zero_Magnitude)
      for (std::int32_t k = 1; k <= samples; ++k) v(i, k) /= norm;
  }
}

void scan_and_plot() {
  if (SCAN_LINE_TOO_SMALL()) return;
  VIRTUAL_EDX_SCAN();
  VIRTUAL_EDX_DISPLAY(true, true);
}

void switch_processing_mode() {
  CONSOLE_EMPTY();
  if (Result_Set.Number_Of_Solutions <= 1) {
    CONSOLE_LINE("Option only available when several results are displayed!");
  } else {
    EDX_Processing_Mode = (EDX_Processing_Mode + 1) % 3;
    static const char* const reports[3] = {"Futher processing of 'Virtual EDX' data toggled off",
                                           "Normalising EDX scans", "Rescaling EDX scans"};
    CONSOLE_LINE(reports[EDX_Processing_Mode]);
  }
  CONSOLE_EMPTY();
}

}  // namespace

bool SCAN_LINE_TOO_SMALL() {
  const auto& s = Scan_Line;
  const std::int64_t span = std::llabs(std::int64_t{s.Scan_Y1} - s.Scan_Y2) + std::llabs(std::int64_t{s.Scan_X1} - s.Scan_X2);
  if (span >= 2) return false;
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Sorry the 'scan line' appears to be too small!");
  CONSOLE_EMPTY();
  return true;
}

void VIRTUAL_EDX_SCAN() {
  if (SCAN_LINE_TOO_SMALL()) return;
  auto& s = Scan_Line;
  const auto& field = Display_Field.Array_to_be_displayed;
  const std::int64_t dx = std::int64_t{s.Scan_X2} - s.Scan_X1, dy = std::int64_t{s.Scan_Y2} - s.Scan_Y1;
  const float length = std::sqrt(static_cast<float>(dx * dx + dy * dy));
  const auto samples = static_cast<std::int32_t>(length + 1.0f);
  make_room(samples);
  s.Scan_Samples = samples;
  Virtual_EDX_Position = CURRENT_PROBE_POSITION();

  const float ux = static_cast<float>(dx) / length, uy = static_cast<float>(dy) / length;
  const float micrometres = Result_Geometry.Grid_Spacing * 10000.0f;
  // In single precision a slanted line's last sample can fall just outside its cells: every
  // sample is kept within the line's bounding box (and the displayed field).
  const auto within = [&](float at, std::int32_t a, std::int32_t b, int dim) {
    const std::int64_t lowest = std::max<std::int64_t>(std::min(a, b), field.LOWER(dim));
    const std::int64_t highest = std::min<std::int64_t>(std::max(a, b), field.UPPER(dim));
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(static_cast<std::int64_t>(std::floor(at)), lowest,
                                                              std::max(lowest, highest)));
  };
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  const bool field_ready = field.ALLOCATED();
  for (std::int32_t k = 0; k < samples; ++k) {
    const std::int32_t xk = within(static_cast<float>(k) * ux + static_cast<float>(s.Scan_X1), s.Scan_X1, s.Scan_X2, 1);
    const std::int32_t yk = within(static_cast<float>(k) * uy + static_cast<float>(s.Scan_Y1), s.Scan_Y1, s.Scan_Y2, 2);
    Virtual_EDX_distances(k + 1) =
        std::fabs(static_cast<float>(xk - s.Scan_X1) * ux + static_cast<float>(yk - s.Scan_Y1) * uy) * micrometres;
    if (!field_ready) continue;
    for (std::int32_t i = 1; i <= n; ++i)
      if (SELECTED_RESULT(i) && i <= field.UPPER(0)) Virtual_EDX_values(i, k + 1) = field(i, xk, yk);
  }
  process(samples);
}

void VIRTUAL_EDX() {
  using namespace Command;
  const std::int32_t code = Command_State.Command_Code;
  SELECT_PROBE_RESULTS(code != Line_Scan_Show && code != Line_Scan_Processing);
  switch (code) {
    case Line_Scan:
      VIRTUAL_EDX_SELECT(true);
      scan_and_plot();
      break;
    case Line_Scans_All: VIRTUAL_EDX_DISPLAY_ALL(true, 1); break;
    case Line_Scans_Chosen: VIRTUAL_EDX_DISPLAY_ALL(true, 2); break;
    case Line_Scan_X:
    case Line_Scan_Y:
      VIRTUAL_EDX_LINESCAN();
      scan_and_plot();
      break;
    case Line_Scan_Show: VIRTUAL_EDX_DISPLAY_SCAN_LINE(); break;
    case Line_Scan_Again:
      VIRTUAL_EDX_DISPLAY_SCAN_LINE();
      scan_and_plot();
      break;
    case Line_Scan_Processing: switch_processing_mode(); break;
    default: break;
  }
}

void RELEASE_VIRTUAL_EDX_TABLES() {
  Virtual_EDX_values.RELEASE();
  Virtual_EDX_distances.RELEASE();
  Virtual_EDX_Scans.RELEASE();
}
