// Write_ASCII_Output: raster and full tables of the displayed field.
//
// Reads:  Command_State.Command_Code, Display_Field (zoom window, Array_to_be_displayed),
//         Result_Geometry.Grid_Spacing, Result_Set, Output_Settings.
// Writes: Raster_Overlay (spacing, box, flag), Output_Settings (names), the table files and
//         the console; the batch moves every file through its outputs.

#include "probes/Write_ASCII_Output.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "display/Output_File_Names.h"
#include "display/Tools_Graphical.h"
#include "probes/All_Outputs.h"
#include "probes/Write_Array.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Check_File.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

constexpr int Answer_Length = 20;

float micrometres_per_cell() { return Result_Geometry.Grid_Spacing * 10000.0f; }

// The smaller zoom extent minus one: the largest spacing that still leaves two cells.
std::int32_t largest_spacing() {
  const auto& f = Display_Field;
  return std::min(f.Zoom_X_To - f.Zoom_X_From, f.Zoom_Y_To - f.Zoom_Y_From);
}

// The suggested spacing in micrometres; a stored spacing is suggested once and forgotten.
float suggested_spacing() {
  auto& spacing = Raster_Overlay.Raster_Spacing;
  if (spacing > 0) {
    const float suggestion = static_cast<float>(spacing) * micrometres_per_cell();
    spacing = -1;
    return suggestion;
  }
  return std::max(static_cast<float>(largest_spacing()) / 9.5f, 2.0f) * micrometres_per_cell();
}

std::string preset_of(float micrometres) {
  std::string text = FORMAT_LINE("(G10.3)", {micrometres});
  text.resize(Answer_Length, ' ');
  return text;
}

}  // namespace

std::string RASTER_SPACING_PRESET() {
  const std::int32_t kept = Raster_Overlay.Raster_Spacing;
  std::string preset = preset_of(suggested_spacing());
  Raster_Overlay.Raster_Spacing = kept;
  return preset;
}

void INPUT_RASTER_SPACING() {
  std::string answer = preset_of(suggested_spacing());
  INPUT_STRING("Set raster spacing", "Spacing (\\gmm):", answer);
  float micrometres = 0.0f;
  if (READ_REAL_FROM_TEXT(answer, micrometres) != Free_Form_Status::Ok) return;
  // In double, checked before it becomes an integer: a huge, infinite or undefined answer
  // is refused as any spacing above the largest is.
  const double cells = static_cast<double>(micrometres) / static_cast<double>(micrometres_per_cell());
  const std::int32_t m = largest_spacing();
  if (!(std::fabs(cells) < 2147483647.0)) return;
  const auto k = static_cast<std::int32_t>(std::round(cells));
  if (k <= m) Raster_Overlay.Raster_Spacing = k;
}

void WRITE_ASCII_OUTPUT() {
  const std::int32_t code = Command_State.Command_Code;
  const bool raster = code == Command::Raster_Output || code == Command::Raster_Outputs;
  const bool batched = code == Command::Ascii_Outputs || code == Command::Raster_Outputs;
  if (code == Command::Raster_Output) INPUT_RASTER_SPACING();
  auto& f = Display_Field;
  if (raster) {
    auto& o = Raster_Overlay;
    o.Raster_X_From = f.Zoom_X_From, o.Raster_X_To = f.Zoom_X_To;
    o.Raster_Y_From = f.Zoom_Y_From, o.Raster_Y_To = f.Zoom_Y_To;
    o.Display_Raster = true;
  }
  const std::int32_t k = raster ? Raster_Overlay.Raster_Spacing : 1;
  if (k <= 0) return;
  auto& out = Output_Settings;
  const std::int32_t cx = f.Zoom_X_To - f.Zoom_X_From + 1;
  const std::int32_t cy = f.Zoom_Y_To - f.Zoom_Y_From + 1;
  auto& values = f.Array_to_be_displayed;
  const std::int64_t stride = values.EXTENT(1);
  for (std::int32_t i = 1; i <= Result_Set.Number_Of_Solutions; ++i) {
    SET_DEFAULT_OUTPUT_FILE(i, raster ? "_Raster" : " ", "txt", batched);
    if (batched) {
      out.Output_File_Name = out.Default_Output_File_Name;
    } else {
      INPUT_FILE_NAME(code == Command::Ascii_Output ? "ASCII output" : "Raster ASCII output");
      if (NAME_WITHOUT_BLANKS(out.Output_File_Name).empty()) return;
    }
    const std::string name = NAME_WITHOUT_BLANKS(out.Output_File_Name);
    if (!WRITE_ARRAY(name, k, cx, cy, values.ADDRESS(i, f.Zoom_X_From, f.Zoom_Y_From), stride)) continue;
    CONSOLE_LINE(" File: " + name + " created");
    if (code != Command::Ascii_Outputs) CONSOLE_EMPTY();
  }
}

void WRITE_ASCII_OUTPUTS() {
  if (Command_State.Command_Code == Command::Raster_Outputs) {
    INPUT_RASTER_SPACING();
    if (Raster_Overlay.Raster_Spacing <= 0) return;
  }
  FOR_EVERY_OUTPUT("Writting ASCII outputs... please wait", "ASCII outputs written", WRITE_ASCII_OUTPUT);
}
