// Select_Time_Step: the list of a result file's outputs with their times, as a pop-up to
// pick from or printed on the console.
//
// Reads:   Result_Set (Total_Time_Steps, Time_Step_Number, Sequential_Reading,
//          Name_To_Be_Displayed); the result file's outputs when their times are not given.
// Writes:  Command_State.Time_Step_Command, and through READ_OUTPUT the file's counts; the
//          file is left on its current output.

#include "display/Select_Time_Step.h"

#include <algorithm>  // std::max
#include <string>

#include "display/Tools_Graphical.h"
#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Input_Layer.h"
#include "result_files/Read_Results.h"
#include "text/Fortran_Format.h"

namespace {

// Reads the times of every output of file s once, from the one after the current
// output round to it again; the file stays on its current output. A walk that finds
// no readable output, or that wraps twice, ends (a shrunken file cannot loop it).
std::vector<float> gather_times(std::int32_t s) {
  auto& r = Result_Set;
  std::vector<float> times;
  CHECKED_RESIZE("Times_Real", times, std::max(r.Total_Time_Steps(s), 0));
  Command_State.Time_Step_Command = 1;
  const std::int32_t start = r.Time_Step_Number(s);
  int wraps = 0;
  for (;;) {
    if (!r.Sequential_Reading) ++r.Time_Step_Number(s);
    float time = 0.0f;
    bool end = false;
    READ_OUTPUT(s, time, end, true);
    if (end) {
      if (++wraps > 1) break;
      r.Time_Step_Number(s) = 0;
      if (r.Sequential_Reading && !UNIT(113 + s).REWIND()) {
        CONSOLE_EMPTY(2);
        CONSOLE_LINE(" Unable to 'rewind'!");
        CONSOLE_EMPTY(2);
        STOP_PROGRAM();
      }
      if (start == 0) break;
      continue;
    }
    const std::int32_t k = r.Time_Step_Number(s);
    if (k > static_cast<std::int32_t>(times.size())) CHECKED_RESIZE("Buffer_Times", times, std::max(k, r.Total_Time_Steps(s)));
    times[k - 1] = time;
    if (k == start) break;
  }
  if (!r.Sequential_Reading) r.Time_Step_Number(s) = start;
  return times;
}

// "12.500 s": the time in G15.5 without its blanks, and " s".
std::string time_text(float time) {
  std::string text = FORMAT_LINE("(G15.5)", {time});
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  return text + " s";
}

}  // namespace

std::vector<bool> SELECT_TIME_STEP(std::int32_t number_of_outputs, const std::optional<std::vector<float>>& output_times,
                                   std::int32_t solution, bool single_choice, bool list_only) {
  const std::int32_t count = std::max(number_of_outputs, 0);
  const std::vector<float> times = output_times ? *output_times : gather_times(solution);
  const std::int32_t known = output_times ? count : Result_Set.Total_Time_Steps(solution);
  std::vector<std::string> texts;
  CHECKED_RESIZE("Times_String", texts, count);
  for (std::int32_t k = 1; k <= count; ++k)
    texts[k - 1] = k > known || k > static_cast<std::int32_t>(times.size()) ? " No output available     "
                                                                             : time_text(times[k - 1]);
  if (!list_only) return SELECT_STRINGS("Select outputs", texts, !single_choice, single_choice);

  CONSOLE_EMPTY();
  CONSOLE_LINE(" Output time(s) for " + Result_Set.Name_To_Be_Displayed(solution) + ":");
  const int width = static_cast<int>(std::to_string(std::max(count, 1)).size()) + 1;
  for (std::int32_t k = 1; k <= count; ++k) {
    std::string line = std::to_string(k);
    line.insert(0, static_cast<std::size_t>(std::max(0, width - static_cast<int>(line.size()))), ' ');
    std::string text = texts[k - 1];
    text.erase(text.find_last_not_of(' ') + 1);
    CONSOLE_LINE(line + ": " + text);
  }
  return std::vector<bool>(count, false);
}
