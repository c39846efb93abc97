// Virtual_EDX_Plots: the line-scan plot of one output, and the scans collected over every
// output of the loaded files into Virtual_EDX_Scans.
//
// Reads:  Virtual_EDX_values, Virtual_EDX_distances, Scan_Line, Result_Set (Number_Of_Solutions,
//         Time, Time_Step_Number, Total_Time_Steps), EDX_Processing_Mode.
// Writes: Virtual_EDX_Scans, Selected_Solutions (only one result: selected),
//         Selected_Solutions_SOS, Command_State.Time_Step_Command; moves the result files
//         through READ_RESULTS; the console.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "display/Select_Time_Step.h"
#include "probes/Probe_Curves.h"
#include "probes/Probe_Results.h"
#include "probes/Scan_Line.h"
#include "probes/Virtual_EDX.h"
#include "records/Allocation_Checks.h"
#include "result_files/Read_Results.h"
#include "text/Fortran_Format.h"

namespace {

std::int32_t largest_output_count() {
  const auto& r = Result_Set;
  std::int32_t most = 0;
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i) most = std::max(most, r.Total_Time_Steps(i));
  return most;
}

// The time in seven significant digits, without blanks around it.
std::string time_text(float seconds) {
  std::string text = FORMAT_LINE("(G15.7)", {seconds});
  text.erase(text.find_last_not_of(' ') + 1);
  return text.substr(std::min(text.find_first_not_of(' '), text.size())) + " s";
}

// Samples of the last scan that every table in use really holds.
std::int64_t samples_held(bool current_scan) {
  std::int64_t n = std::max(Scan_Line.Scan_Samples, 0);
  n = std::min(n, Virtual_EDX_distances.ALLOCATED() ? Virtual_EDX_distances.EXTENT(0) : 0);
  if (current_scan) return std::min(n, Virtual_EDX_values.ALLOCATED() ? Virtual_EDX_values.EXTENT(1) : 0);
  return std::min(n, Virtual_EDX_Scans.ALLOCATED() ? Virtual_EDX_Scans.EXTENT(1) : 0);
}

void copy_selection(const Logical_Array& from, Logical_Array& to) {
  if (!from.ALLOCATED()) return;
  if (!to.ALLOCATED() || to.LOWER(0) != from.LOWER(0) || to.UPPER(0) != from.UPPER(0))
    CHECK_ALLOCATION_ERROR("Selected_Solutions_SOS", to.ALLOCATE({Bounds{from.LOWER(0), from.UPPER(0)}}));
  std::copy(from.data(), from.data() + from.SIZE(), to.data());
}

std::int32_t marker_row() { return Result_Set.Number_Of_Solutions + 2; }

// A collection of (N + 2, samples, outputs), zero-filled; its 64-bit element count is checked.
void make_collection(Bounded_Array<float, 3>& table, const char* name, std::int64_t samples, std::int64_t outputs) {
  const std::int64_t rows = marker_row();
  CHECK_ALLOCATION_ERROR(name, table.ALLOCATE({Bounds{1, rows}, Bounds{1, samples}, Bounds{1, outputs}}));
  CHECK_ALLOCATION_SIZE(name, table.SIZE(), rows * samples * outputs);
}

// The collection in a new output extent, keeping what it holds (new outputs 0).
void reshape_collection(std::int64_t outputs) {
  auto& scans = Virtual_EDX_Scans;
  Bounded_Array<float, 3> buffer;
  const std::int64_t samples = scans.EXTENT(1), kept = std::min(outputs, scans.EXTENT(2));
  make_collection(buffer, "Buffer_Virtual_EDX_Scans", samples, outputs);
  const std::int64_t slab = scans.EXTENT(0) * samples;
  std::copy(scans.data(), scans.data() + slab * kept, buffer.data());
  CHECK_DEALLOCATION("Virtual_EDX_Scans", scans.RELEASE());
  make_collection(scans, "Virtual_EDX_Scans", samples, outputs);
  std::copy(buffer.data(), buffer.data() + slab * kept, scans.data());
  CHECK_DEALLOCATION("Buffer_Virtual_EDX_Scans", buffer.RELEASE());
}

void shape_collection() {
  auto& scans = Virtual_EDX_Scans;
  // A refused line leaves no samples; one sample still holds the times and markers.
  const std::int64_t samples = std::max(Scan_Line.Scan_Samples, 1), outputs = largest_output_count();
  if (scans.ALLOCATED() &&
      (scans.EXTENT(1) != samples || scans.EXTENT(2) != outputs || scans.EXTENT(0) != marker_row()))
    CHECK_DEALLOCATION("Virtual_EDX_Scans", scans.RELEASE());
  if (!scans.ALLOCATED()) make_collection(scans, "Virtual_EDX_Scans", samples, outputs);
}

// The scan now in Virtual_EDX_values at output s of result file 1.
void collect_current_output() {
  auto& scans = Virtual_EDX_Scans;
  const auto& r = Result_Set;
  if (largest_output_count() > scans.EXTENT(2)) reshape_collection(largest_output_count());
  const std::int32_t s = r.Time_Step_Number(1);
  if (s < 1 || s > scans.EXTENT(2)) return;
  const std::int32_t n = r.Number_Of_Solutions;
  const auto& v = Virtual_EDX_values;
  const std::int64_t samples =
      std::min({std::int64_t{Scan_Line.Scan_Samples}, scans.EXTENT(1), v.ALLOCATED() ? v.EXTENT(1) : 0});
  for (std::int64_t k = 1; k <= samples; ++k)
    for (std::int32_t i = 1; i <= n; ++i) scans(i, k, s) = v(i, k);
  scans(n + 1, 1, s) = r.Time(1);
}

void set_markers(std::int32_t mode) {
  auto& scans = Virtual_EDX_Scans;
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  const std::int64_t outputs = scans.EXTENT(2);
  if (mode == 1) {
    for (std::int64_t s = 1; s <= outputs; ++s) scans(n + 2, 1, s) = 1.0f;
  } else if (mode == 2) {
    for (std::int64_t s = 1; s <= outputs; ++s) scans(n + 2, 1, s) = 0.0f;
    const std::int32_t listed = Result_Set.Total_Time_Steps(1);
    std::vector<float> times;
    for (std::int32_t s = 1; s <= listed; ++s) times.push_back(s <= outputs ? scans(n + 1, 1, s) : 0.0f);
    const std::vector<bool> chosen = SELECT_TIME_STEP(listed, times);
    for (std::int64_t s = 1; s <= outputs && s <= static_cast<std::int64_t>(chosen.size()); ++s)
      if (chosen[static_cast<std::size_t>(s - 1)]) scans(n + 2, 1, s) = 1.0f;
  }
}

}  // namespace

void VIRTUAL_EDX_DISPLAY(bool window, bool current_scan) {
  if (SCAN_LINE_TOO_SMALL()) return;
  auto& r = Result_Set;
  const std::int32_t n = r.Number_Of_Solutions;
  if (n == 1 && r.Selected_Solutions.ALLOCATED()) r.Selected_Solutions.FILL(true);

  Curve_Plot plot;
  plot.kind = Curve_Kind::Line_Scan;
  plot.window = window;
  plot.title = "Virtual EDX";
  plot.y_label = FIELD_VALUE_LABEL(EDX_Processing_Mode);
  plot.x_label = "Distance [\\gmm]";
  plot.reference = REFERENCE_RESULT();
  plot.position = Virtual_EDX_Position;
  const std::int64_t samples = samples_held(current_scan);
  for (std::int64_t k = 1; k <= samples; ++k) plot.abscissa.push_back(Virtual_EDX_distances(k));

  auto add_curve = [&](auto value_at) {
    Curve c{plot.abscissa, {}};
    for (std::int64_t k = 1; k <= samples; ++k) {
      c.y.push_back(value_at(k));
      plot.extent.ADD(c.y.back());
    }
    plot.curves.push_back(std::move(c));
  };
  if (current_scan) {
    if (r.Time.ALLOCATED()) plot.time_text = time_text(r.Time(1));
    for (std::int32_t i = 1; i <= n; ++i)
      if (SELECTED_RESULT(i)) add_curve([i](std::int64_t k) { return Virtual_EDX_values(i, k); });
  } else if (Virtual_EDX_Scans.ALLOCATED()) {
    const auto& scans = Virtual_EDX_Scans;
    for (std::int64_t s = 1; s <= scans.EXTENT(2); ++s) {
      if (!(scans(n + 2, 1, s) > 0.5f)) continue;
      for (std::int32_t i = 1; i <= n && i <= scans.EXTENT(0); ++i)
        if (SELECTED_RESULT(i)) add_curve([i, s](std::int64_t k) { return Virtual_EDX_Scans(i, k, s); });
    }
  }
  DRAW_PROBE_CURVES(plot);
}

void VIRTUAL_EDX_DISPLAY_ALL(bool window, std::int32_t mode) {
  auto& r = Result_Set;
  if (!Virtual_EDX_values.ALLOCATED()) {
    VIRTUAL_EDX_SELECT(true);
    VIRTUAL_EDX_SCAN();
  }
  shape_collection();
  copy_selection(r.Selected_Solutions, Selected_Solutions_SOS);

  Command_State.Time_Step_Command = 1;
  const std::int32_t start = r.Time_Step_Number(1);
  // A file that shrank under the pass never comes back to its start: one wrap at most.
  std::int64_t left = std::int64_t{r.Total_Time_Steps(1)} + 2;
  do {
    VIRTUAL_EDX_SCAN();
    collect_current_output();
    READ_RESULTS();
  } while (r.Time_Step_Number(1) != start && --left > 0);

  copy_selection(Selected_Solutions_SOS, r.Selected_Solutions);
  if (largest_output_count() != Virtual_EDX_Scans.EXTENT(2)) reshape_collection(largest_output_count());
  set_markers(mode);
  VIRTUAL_EDX_DISPLAY(window, false);
}
