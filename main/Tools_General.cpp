// Tools_General: allocation checks, the display arrays, the time-step selection, the
// logical toggles and the image driver.
//
// Reads:   Result_Geometry (AnzX, AnzY, AnzZ), Result_Set.Number_Of_Solutions,
//          Display_Field (Cut_Direction, Skip_Factor, Symmetry_Mode, Enhanced_1D),
//          Display_Settings.Processed_Display_Modes; SELECT_TIME_STEP reads a result file;
//          CHANGE_IMAGE_DRIVER reads Command_Code.
// Writes:  Display_Field (cut and display sizes, One_D_Display, zoom windows, the two
//          arrays), Display_Settings (Annotation_Orientation, Flip_Length_Scale).
//          SELECT_TIME_STEP: Time_Step_Command, and through READ_OUTPUT the file's counts.
//          CHANGE_IMAGE_DRIVER: Output_Settings (Image_Driver, Image_Extension,
//          Image_Driver_Name). TOGGLE_BOOLEAN: the flag it is handed.
// Stops the program (STOP_PROGRAM) on a failed check.

#include "main/Tools_General.h"

#include <algorithm>  // std::min, std::max
#include <cmath>      // std::floor
#include <string>

#include "display/Tools_Graphical.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Input_Layer.h"
#include "result_files/Read_Results.h"
#include "text/Fortran_Format.h"
#include "text/Blanks.h"

namespace {

[[noreturn]] void stop_with(std::string_view words, std::string_view array_name) {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(std::string(words) + std::string(WITHOUT_TRAILING_BLANKS(array_name)) + " !");
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

// Nearest whole number of a / b, halves away from zero (a >= 0, b >= 1).
std::int64_t anint_ratio(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(std::floor(static_cast<double>(a) / static_cast<double>(b) + 0.5));
}

}  // namespace

void CHECK_ALLOCATION_ERROR(std::string_view array_name, std::int32_t allocation_status) {
  if (allocation_status > 0) stop_with("Unable to allocate ", array_name);
}

void CHECK_ALLOCATION_SIZE(std::string_view array_name, std::int64_t allocated_size,
                           std::int64_t requested_size) {
  if (allocated_size != requested_size) stop_with("Unable to allocate ", array_name);
}

void CHECK_DEALLOCATION(std::string_view array_name, std::int32_t allocation_status) {
  if (allocation_status > 0) stop_with("Unable to deallocate ", array_name);
}

void ALLOCATE_ARRAYS() {
  auto& field = Display_Field;
  const auto& geometry = Result_Geometry;
  const auto& modes = Display_Settings.Processed_Display_Modes;

  switch (field.Cut_Direction) {
    case 1: field.Cut_Size_X = geometry.AnzX; field.Cut_Size_Y = geometry.AnzY; break;
    case 2: field.Cut_Size_X = geometry.AnzX; field.Cut_Size_Y = geometry.AnzZ; break;
    case 3: field.Cut_Size_X = geometry.AnzY; field.Cut_Size_Y = geometry.AnzZ; break;
    default: break;  // sizes computed before stay in force
  }

  // Sizes in 64 bits: a display size beyond 32 bits is refused as an allocation failure.
  const std::int64_t skip = field.Skip_Factor >= 1 ? field.Skip_Factor : 1;
  const std::int64_t a = anint_ratio(field.Cut_Size_X, skip);
  const std::int64_t b = anint_ratio(field.Cut_Size_Y, skip);
  std::int64_t nx = field.Display_Size_X, ny = field.Display_Size_Y;
  switch (field.Symmetry_Mode) {
    case 1: nx = a; ny = b; break;
    case 2: nx = 2 * a; ny = 2 * b; break;
    case 3: nx = 3 * a; ny = b; break;
    case 4: nx = 3 * a; ny = 3 * b; break;
    default: break;
  }

  field.One_D_Display = false;
  if (std::min(nx, ny) == 1) {
    field.One_D_Display = true;
    if (nx == 1) {
      const std::int64_t k = std::max<std::int64_t>(ny / 25, 5);
      Display_Settings.Annotation_Orientation = 1;
      Display_Settings.Flip_Length_Scale = true;
      nx = field.Enhanced_1D ? 2 * k : k;
    } else {
      const std::int64_t k = std::max<std::int64_t>(nx / 25, 5);
      Display_Settings.Annotation_Orientation = 2;
      ny = field.Enhanced_1D ? 2 * k : k;
    }
  }
  if (nx > INT32_MAX || ny > INT32_MAX) stop_with("Unable to allocate ", "Array_to_be_displayed");
  field.Display_Size_X = static_cast<std::int32_t>(nx);
  field.Display_Size_Y = static_cast<std::int32_t>(ny);

  field.Zoom_X_From = 1;
  field.Zoom_X_To = field.Display_Size_X;
  field.Zoom_Y_From = 1;
  field.Zoom_Y_To = field.Display_Size_Y;
  field.Previous_Zoom_X_From = field.Zoom_X_From;
  field.Previous_Zoom_X_To = field.Zoom_X_To;
  field.Previous_Zoom_Y_From = field.Zoom_Y_From;
  field.Previous_Zoom_Y_To = field.Zoom_Y_To;

  if (field.Buffer_Array_Cut.ALLOCATED())
    CHECK_DEALLOCATION("Buffer_Array_Cut", field.Buffer_Array_Cut.RELEASE());
  if (field.Array_to_be_displayed.ALLOCATED())
    CHECK_DEALLOCATION("Array_to_be_displayed", field.Array_to_be_displayed.RELEASE());

  const std::int32_t n = Result_Set.Number_Of_Solutions;
  std::int32_t first = 1;
  if (modes.RGB_Triangle) first = 0;
  else if (modes.Miller_Indices) first = -n;
  else if (modes.Difference_Display) first = 0;
  else if (modes.Logarithmic_Display || modes.Absolute_Values) first = -n;

  int status = field.Buffer_Array_Cut.ALLOCATE({Bounds{1, field.Cut_Size_X}, Bounds{1, field.Cut_Size_Y}});
  CHECK_ALLOCATION_ERROR("Buffer_Array_Cut", status);
  CHECK_ALLOCATION_SIZE("Buffer_Array_Cut", field.Buffer_Array_Cut.SIZE(),
                        std::int64_t{field.Cut_Size_X} * field.Cut_Size_Y);

  status = field.Array_to_be_displayed.ALLOCATE(
      {Bounds{first, n}, Bounds{1, field.Display_Size_X}, Bounds{1, field.Display_Size_Y}}, {1, 2, 0});
  CHECK_ALLOCATION_ERROR("Array_to_be_displayed", status);
  CHECK_ALLOCATION_SIZE("Array_to_be_displayed", field.Array_to_be_displayed.SIZE(),
                        (std::int64_t{n} - first + 1) * field.Display_Size_X * field.Display_Size_Y);
  // Both arrays come zeroed from the allocation.
}

void TOGGLE_SYMMETRY() {
  auto& field = Display_Field;
  auto& command = Command_State.Command_Code;
  auto toggled = [&](std::int32_t mode) { field.Symmetry_Mode = field.Symmetry_Mode == mode ? 1 : mode; };
  switch (command) {
    case Command::Cycle_Symmetry:
      if (field.Symmetry_Mode >= 1 && field.Symmetry_Mode <= 4) field.Symmetry_Mode = field.Symmetry_Mode % 4 + 1;
      break;
    case Command::Three_Folded: toggled(3); break;
    case Command::Four_Folded: toggled(2); break;
    case Command::Nine_Folded: toggled(4); break;
    case Command::Symmetry_Kind: field.Symmetry_Type = field.Symmetry_Type % 2 + 1; break;
    default: break;
  }
  auto report = [](std::string_view text) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(text);
    CONSOLE_EMPTY();
  };
  if (command >= Command::Cycle_Symmetry && command <= Command::Nine_Folded) {
    static constexpr std::string_view Mode_Texts[] = {
        " Symmetry toggled off", " Four-folded symmetry toggled on", " Three-folded symmetry toggled on",
        " Nine-folded symmetry toggled on"};
    if (field.Symmetry_Mode >= 1 && field.Symmetry_Mode <= 4) report(Mode_Texts[field.Symmetry_Mode - 1]);
    if (field.Array_to_be_displayed.ALLOCATED())
      CHECK_DEALLOCATION("Array_to_be_displayed", field.Array_to_be_displayed.RELEASE());
    ALLOCATE_ARRAYS();
  } else if (command == Command::Symmetry_Kind) {
    report(field.Symmetry_Type == 1 ? " 'Mirroring' domain for symmetry" : " 'Translation' of domain for symmetry");
  }
  Command_State.Time_Step_Command = 0;
  READ_RESULTS();
  command = Command::Replot;
}

// ---------------------------------------------------------------- time-step selection
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

// ---------------------------------------------------------------- toggles and image driver
void TOGGLE_BOOLEAN(bool& Flag, std::string_view On_Text, std::string_view Off_Text) {
  Flag = !Flag;
  CONSOLE_EMPTY();
  CONSOLE_LINE(" " + std::string(WITHOUT_TRAILING_BLANKS(Flag ? On_Text : Off_Text)));
  CONSOLE_EMPTY();
}

void CHANGE_IMAGE_DRIVER() {
  auto& output = Output_Settings;
  switch (Command_State.Command_Code) {
    case Command::Image_Driver_Key_T:
    case Command::Image_Driver_Key_O:
      break;
    case Command::Image_Driver_Gif:
      output.Image_Driver = "/GIF";
      output.Image_Extension = "gif";
      output.Image_Driver_Name = "'GIF'";
      break;
    case Command::Image_Driver_PostScript:
      output.Image_Driver = "/VCPS";
      output.Image_Extension = "ps";
      output.Image_Driver_Name = "PostScript";
      break;
    default:
      CONSOLE_LINE(" CHANGE_IMAGE_DRIVER: unknown command code " + std::to_string(Command_State.Command_Code));
      return;
  }
  CONSOLE_LINE(" Image_Driver: " + output.Image_Driver_Name);
  CONSOLE_EMPTY();
}
