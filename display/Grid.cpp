// Grid: lines at even spacing over the zoom box, drawn on a band of background colour.
//
// Reads:   Display_Settings (Display_Grid, Grid_Lines, Drawing_Colour_Index), the zoom window,
//          Command_Code.
// Writes:  Display_Grid, Grid_Lines, Command_Code (23).

#include "display/Grid.h"

#include <cpgplot.h>

#include <algorithm>

#include "display/Tools_Graphical.h"
#include "records/Globals.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

void ask_lines() {
  auto& s = Display_Settings;
  std::string answer = FORMAT_LINE("(I5)", {std::int64_t{s.Grid_Lines}}) + std::string(15, ' ');
  std::int32_t lines = 0;
  // A count below 1 has no spacing: asked again like an unreadable answer.
  do INPUT_STRING("Set number of gridlines", "Gridlines:", answer);
  while (READ_INTEGER_FROM_TEXT(answer, lines) != Free_Form_Status::Ok || lines < 1);
  s.Grid_Lines = lines;
}

}  // namespace

void GRID() {
  auto& code = Command_State.Command_Code;
  if (code == 46) Display_Settings.Display_Grid = !Display_Settings.Display_Grid;
  if (code == 47) ask_lines();
  code = 23;
}

float GRID_TICK(int span, int lines) {
  const int n = std::max(lines, 1);
  const int whole = span / (n + 1);
  // Never closer than one cell: more lines than cells add nothing but drawing time.
  return std::max(1.0f, whole + 1.25f * static_cast<float>(span - (n + 1) * whole) / static_cast<float>(n));
}

void PLOT_GRID() {
  const auto& f = Display_Field;
  const auto& s = Display_Settings;
  const float x_tick = GRID_TICK(f.Zoom_X_To - f.Zoom_X_From, s.Grid_Lines);
  const float y_tick = GRID_TICK(f.Zoom_Y_To - f.Zoom_Y_From, s.Grid_Lines);
  int lw = 1;
  cpgqlw(&lw);
  cpgsci(0);
  cpgslw(10 * lw);
  cpgbox("G", x_tick, 0, "G", y_tick, 0);
  cpgsci(1);
  cpgslw(5 * lw);
  cpgbox("G", x_tick, 0, "G", y_tick, 0);
  cpgslw(lw);
  cpgsci(s.Drawing_Colour_Index);
}
