// Information_Statistics: extrema and average over the zoom window, and the comparison of
// the results with result 1 at one output or at every output.
//
// Reads:  Display_Field (zoom window, Array_to_be_displayed), Result_Set (names, Time,
//         Time_Step_Number), Previous_Time_Stamp, Display_Settings (Processed_Display_Modes,
//         Temperature_Display), Command_State.Command_Code.
// Writes: the console; for 122 Command_State.Time_Step_Command and, while lining the results
//         up, Result_Set.Seek_Step: 122 moves every result through its outputs and redraws each.

#include <algorithm>
#include <cmath>

#include "display/Manage_Display.h"
#include "display/Tools_Graphical.h"
#include "probes/Data_Information.h"
#include "probes/Information_Texts.h"
#include "records/Allocation_Checks.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "result_files/Read_Results.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

// The time text of slot i: the stamp the annotation last drew for it; with the temperature
// shown, only up to its first "s". The difference slot shows result 1's. The stamp is taken
// whole: its first 13 characters would cut an exponent ("0.1000000E-") or, with the
// temperature shown, the "s" itself.
std::string time_text(std::int32_t slot) {
  const std::int32_t k = std::max(slot, 1);
  if (!Previous_Time_Stamp.ALLOCATED() || k > Previous_Time_Stamp.UPPER(0)) return "";
  std::string text = TRIMMED(Previous_Time_Stamp(k));
  if (Display_Settings.Temperature_Display == 1 || Display_Settings.Temperature_Display == 2) {
    const std::size_t s = text.find('s');
    text = s == std::string::npos ? "" : text.substr(0, s + 1);
  }
  return text;
}

}  // namespace

void DATA_INFORMATION_AVERAGE() {
  const auto& r = Result_Set;
  const bool difference = Display_Settings.Processed_Display_Modes.Difference_Display;
  // Slot 0 exists only while the arrays are laid out for the difference.
  const std::int32_t first = difference && Display_Field.Array_to_be_displayed.LOWER(0) <= 0 ? 0 : 1;
  const std::int32_t last = r.Number_Of_Solutions;
  Bounded_Array<float, 2> Data;
  CHECK_ALLOCATION_ERROR("Data", Data.ALLOCATE({Bounds{first, last}, Bounds{1, 3}}));
  CHECK_ALLOCATION_SIZE("Data", Data.SIZE(), std::int64_t{last - first + 1} * 3);
  for (std::int32_t i = first; i <= last; ++i) {
    const Window_Statistics s = WINDOW_STATISTICS(i);
    Data(i, 1) = s.minimum, Data(i, 2) = s.maximum, Data(i, 3) = s.average;
  }
  CONSOLE_EMPTY();
  CONSOLE_LINE("Extrema and average:");
  std::size_t width = LONGEST_NAME(1, last);
  if (difference) width = std::max<std::size_t>(width, 10);
  for (std::int32_t i = first; i <= last; ++i) {
    const std::string label = i == 0 ? "Difference" : r.Name_To_Be_Displayed(i).substr(0, 250);
    CONSOLE_LINE(FORMAT_LINE("(A,(/,A11,1P,G13.6))",
                             {" " + FITTED(label, width) + " (t = " + time_text(i) + "): ", std::string("Minimum: "),
                              Data(i, 1), std::string("Maximum: "), Data(i, 2), std::string("Average: "), Data(i, 3)}));
  }
  CHECK_DEALLOCATION("Data", Data.RELEASE());
}

float COMPARISON_CRITERION(float minimum, float maximum) {
  float c = maximum / 100.0f;
  if (maximum - minimum >= c) c = (maximum - minimum) / 100.0f;
  return c;
}

namespace {

std::string time_of(std::int32_t i) { return TRIMMED(FORMAT_LINE("(1P,G13.4)", {Result_Set.Time(i)})); }

// What a comparison line says of the pair after "identical" or "different": " at t = " and
// result 1's time, result j's time after it when it reads otherwise, then the two output
// numbers when they differ, or the one they share when numbered.
std::string pair_text(std::int32_t j, bool numbered) {
  const auto& r = Result_Set;
  std::string text = " at t = " + time_of(1);
  if (time_of(j) != time_of(1)) text += " and " + time_of(j);
  const std::int32_t first = r.Time_Step_Number(1), other = r.Time_Step_Number(j);
  if (first != other)
    text += " (outputs " + std::to_string(first) + " and " + std::to_string(other) + ")";
  else if (numbered)
    text += " (output " + std::to_string(first) + ")";
  return text;
}

}  // namespace

void CTN_COMPARE(Logical_Array& Identical, float criterion, bool numbered) {
  const auto& r = Result_Set;
  for (std::int32_t j = 2; j <= r.Number_Of_Solutions; ++j) {
    bool same = true;
    auto& f = Display_Field;
    for (std::int32_t y = f.Zoom_Y_From; y <= f.Zoom_Y_To && same; ++y) {
      const float* a = f.Array_to_be_displayed.ADDRESS(1, f.Zoom_X_From, y);
      const float* b = f.Array_to_be_displayed.ADDRESS(j, f.Zoom_X_From, y);
      for (std::int32_t k = 0; k <= f.Zoom_X_To - f.Zoom_X_From; ++k)
        // Written so that a value that is not a number never counts as close.
        if (!(std::abs(b[k] - a[k]) <= criterion)) same = false;
    }
    Identical(j) = same;
  }
  const std::size_t width = LONGEST_NAME(2, r.Number_Of_Solutions);
  const std::string first = WITHOUT_TRAILING_BLANKS(r.Name_To_Be_Displayed(1));
  for (std::int32_t j = 2; j <= r.Number_Of_Solutions; ++j)
    CONSOLE_LINE(" " + first + " and " + FITTED(r.Name_To_Be_Displayed(j), width) +
                 (Identical(j) ? " identical" : " different") + pair_text(j, numbered));
}

namespace {

// The criterion the user confirms or types; none when the dialog was cancelled.
std::optional<float> ask_criterion(float preset) {
  std::string typed = FORMAT_LINE("(ES10.3)", {preset});
  typed.resize(25, ' ');
  for (;;) {
    INPUT_STRING("Comparison criteria", "Value:", typed);
    if (TRIMMED(typed).empty()) return std::nullopt;
    float value = 0.0f;
    if (READ_REAL_FROM_TEXT(typed, value) == Free_Form_Status::Ok) return value;
  }
}

// True when every result stands on result 1's output number.
bool aligned() {
  const auto& r = Result_Set;
  for (std::int32_t j = 2; j <= r.Number_Of_Solutions; ++j)
    if (r.Time_Step_Number(j) != r.Time_Step_Number(1)) return false;
  return true;
}

// Moves every result (1 next, -2 first) and draws the outputs arrived at.
void move_all(std::int32_t move) {
  Command_State.Time_Step_Command = move;
  READ_RESULTS();
  MANAGE_DISPLAY();
}

// True when some result has no output after its current one.
bool one_at_end() {
  for (std::int32_t j = 1; j <= Result_Set.Number_Of_Solutions; ++j)
    if (CHECK_END(113 + j)) return true;
  return false;
}

// Puts every result on result 1's output number; when one of them has no such output, all go
// to their first output.
void line_up() {
  auto& r = Result_Set;
  if (aligned()) return;
  const std::int32_t seek = r.Seek_Step;
  r.Seek_Step = r.Time_Step_Number(1);
  Command_State.Time_Step_Command = 10;
  for (std::int32_t j = 2; j <= r.Number_Of_Solutions; ++j)
    if (r.Time_Step_Number(j) != r.Seek_Step) READ_RESULT(j);
  r.Seek_Step = seek;
  if (aligned())
    MANAGE_DISPLAY();
  else
    move_all(-2);
}

// Outputs of equal number, each once, from the current one: after the last output that every
// result holds, all go back to their first output together, so that a result with more outputs
// is never compared with another's earlier one. Ends back at the start output, after one full
// wrap in any case (a file that shrank may never show its start output again), or when the
// results no longer stand on one output number.
void compare_every_output(Logical_Array& Identical, float criterion) {
  auto& r = Result_Set;
  line_up();
  const std::int32_t start = r.Time_Step_Number(1);
  int wraps = 0;
  for (;;) {
    CTN_COMPARE(Identical, criterion, true);
    const bool wrap = one_at_end();
    if (wrap && ++wraps > 1) return;
    move_all(wrap ? -2 : 1);
    if (r.Time_Step_Number(1) == start || !aligned()) return;
  }
}

}  // namespace

void DATA_INFORMATION_COMPARE() {
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  Logical_Array Identical;
  CHECK_ALLOCATION_ERROR("Identical", Identical.ALLOCATE({Bounds{1, n}}));
  CHECK_ALLOCATION_SIZE("Identical", Identical.SIZE(), n);
  const Window_Statistics first = WINDOW_STATISTICS(1);
  const std::optional<float> criterion = ask_criterion(COMPARISON_CRITERION(first.minimum, first.maximum));
  if (criterion) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Comparison:");
    if (Command_State.Command_Code == Command::Info_Compare_All)
      compare_every_output(Identical, *criterion);
    else
      CTN_COMPARE(Identical, *criterion);
    CONSOLE_LINE(FORMAT_LINE("(A,ES10.3)", {std::string(" Criteria:"), *criterion}));
  }
  CHECK_DEALLOCATION("Identical", Identical.RELEASE());
}
