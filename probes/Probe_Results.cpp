// Probe_Results: result choice and the walk through all outputs of the probes.
//
// Reads:  Result_Set (Number_Of_Solutions, Name_To_Be_Displayed, Time_Step_Number,
//         Total_Time_Steps).
// Writes: Result_Set.Selected_Solutions, Command_State.Time_Step_Command; the selected files
//         move through READ_RESULT.

#include "probes/Probe_Results.h"

#include <algorithm>
#include <string>
#include <vector>

#include "display/Tools_Graphical.h"
#include "records/Allocation_Checks.h"
#include "records/Globals.h"
#include "result_files/Read_Results.h"

void SELECT_PROBE_RESULTS(bool ask) {
  auto& r = Result_Set;
  const std::int32_t n = r.Number_Of_Solutions;
  if (!r.Selected_Solutions.ALLOCATED()) {
    CHECK_ALLOCATION_ERROR("Selected_Solutions", r.Selected_Solutions.ALLOCATE({Bounds{1, n}}));
    CHECK_ALLOCATION_SIZE("Selected_Solutions", r.Selected_Solutions.SIZE(), n);
  }
  if (!ask || n == 1) {
    for (std::int32_t i = 1; i <= n; ++i) r.Selected_Solutions(i) = true;
    return;
  }
  std::vector<std::string> names;
  for (std::int32_t i = 1; i <= n; ++i) names.push_back(r.Name_To_Be_Displayed(i));
  const std::vector<bool> chosen =
      SELECT_STRINGS("Select solution(s)", names, true);
  for (std::int32_t i = 1; i <= n; ++i)
    r.Selected_Solutions(i) = static_cast<std::size_t>(i - 1) < chosen.size() && chosen[static_cast<std::size_t>(i - 1)];
}

bool SELECTED_RESULT(std::int32_t i) {
  const auto& s = Result_Set.Selected_Solutions;
  return s.ALLOCATED() && i >= s.LOWER(0) && i <= s.UPPER(0) && s(i);
}

std::int32_t REFERENCE_RESULT() {
  const auto& r = Result_Set;
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i)
    if (r.Selected_Solutions(i)) return i;
  return 1;
}

void STEP_PROBE_OUTPUTS(const std::function<void()>& record) {
  auto& r = Result_Set;
  const std::int32_t k = REFERENCE_RESULT();
  const std::int32_t start = r.Time_Step_Number(k);
  Command_State.Time_Step_Command = 1;
  std::int64_t passes_left = std::max<std::int64_t>(r.Total_Time_Steps(k), 1) + 1;
  do {
    record();
    for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i)
      if (r.Selected_Solutions(i)) READ_RESULT(i);
  } while (r.Time_Step_Number(k) != start && --passes_left > 0);
}
