// Probe_Series: growing, cutting and filling the per-output tables of the probes.
//
// Reads:  Result_Set (Number_Of_Solutions, Total_Time_Steps, Time_Step_Number, Time,
//         Selected_Solutions).
// Writes: the tables handed in; allocation failures stop the program through the checks.

#include "probes/Probe_Series.h"

#include <algorithm>

#include "records/Allocation_Checks.h"

namespace {

// Tables of the given length, rows 1 to the shorter of both lengths kept, the rest not measured.
void resize(const Probe_Series& s, std::int64_t length) {
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  Bounded_Array<float, 2> values;
  Real_Array times;
  CHECK_ALLOCATION_ERROR(s.buffer_values_name, values.ALLOCATE({Bounds{1, length}, Bounds{1, n}}));
  CHECK_ALLOCATION_SIZE(s.buffer_values_name, values.SIZE(), length * std::max(n, 0));
  CHECK_ALLOCATION_ERROR(s.buffer_times_name, times.ALLOCATE({Bounds{1, length}}));
  CHECK_ALLOCATION_SIZE(s.buffer_times_name, times.SIZE(), length);
  values.FILL(Not_Measured);
  times.FILL(Not_Measured);
  if (s.EXISTS()) {
    const std::int64_t kept = std::min(length, s.LENGTH());
    const std::int32_t columns = static_cast<std::int32_t>(std::min<std::int64_t>(n, s.values.EXTENT(1)));
    if (kept > 0) {
      for (std::int32_t i = 1; i <= columns; ++i) std::copy_n(s.values.ADDRESS(1, i), kept, values.ADDRESS(1, i));
      std::copy_n(s.times.data(), kept, times.data());
    }
    CHECK_DEALLOCATION(s.values_name, s.values.RELEASE());
    CHECK_DEALLOCATION(s.times_name, s.times.RELEASE());
  }
  s.values = std::move(values);
  s.times = std::move(times);
}

}  // namespace

std::int32_t LARGEST_OUTPUT_COUNT() {
  const auto& r = Result_Set;
  std::int32_t m = 0;
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i) m = std::max(m, r.Total_Time_Steps(i));
  return m;
}

void GROW_PROBE_SERIES(const Probe_Series& series) {
  const std::int32_t m = LARGEST_OUTPUT_COUNT();
  if (!series.EXISTS() || series.LENGTH() < m) resize(series, m);
}

void CUT_PROBE_SERIES(const Probe_Series& series) {
  const std::int32_t m = LARGEST_OUTPUT_COUNT();
  if (series.EXISTS() && series.LENGTH() > m) resize(series, m);
}

std::int64_t ROWS_OF_RESULT(const Probe_Series& series, std::int32_t i) {
  return std::clamp<std::int64_t>(Result_Set.Total_Time_Steps(i), 0, series.LENGTH());
}

std::int64_t ROW_OF_CURRENT_OUTPUT(const Probe_Series& series, std::int32_t i) {
  const std::int64_t row = Result_Set.Time_Step_Number(i);
  return row >= 1 && row <= series.LENGTH() ? row : 0;
}

void RECORD_PROBE_TIMES(const Probe_Series& series) {
  const auto& r = Result_Set;
  for (std::int32_t i = r.Number_Of_Solutions; i >= 1; --i)
    if (r.Selected_Solutions(i))
      if (const std::int64_t row = ROW_OF_CURRENT_OUTPUT(series, i)) series.times(row) = r.Time(i);
}
