// Tools_Graphical: selecting and closing plotting devices and the halo marks; and the least
// working forms of the window housekeeping of Korin_Stuff over the client library.
//
// Reads:   Graphics_Units, Drawing_Colour_Index, Zoom_Window.
// Writes:  Graphics_Units (Unit_Current, Unit_Pop_Up), Frame_Factors; the console.
// Stops the program (STOP_PROGRAM) on an invalid device identifier.

#include "display/Tools_Graphical.h"

#include <cpgplot.h>

#include <string>

#include "korin_client/Korin_Stuff.h"
#include "korin_client/Korin_Upper.h"
#include "main/Console.h"
#include "main/Globals.h"

void SELECT_PGPLOT_UNIT(std::int32_t unit) {
  if (unit <= 0) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(" Invalid 'PGPlot unit': " + std::to_string(unit));
    CONSOLE_EMPTY();
    STOP_PROGRAM();
  }
  Graphics_Units.Unit_Current = unit;
  cpgslct(unit);
}

void CLOSE_POP_UP() {
  auto& units = Graphics_Units;
  if (units.Unit_Pop_Up > 0) {
    cpgslct(units.Unit_Pop_Up);
    cpgclos();
    units.Unit_Pop_Up = No_Device;
  }
  SELECT_PGPLOT_UNIT(units.Unit_Display);
}

namespace {

// The mark drawn twice: a band of background colour, then the mark in colour index 1.
template <typename Draw>
void with_halo(Draw draw) {
  int width = 1;
  cpgqlw(&width);
  cpgsci(0);
  cpgslw(10 * width);
  draw();
  cpgsci(1);
  cpgslw(5 * width);
  draw();
  cpgslw(width);
  cpgsci(Display_Settings.Drawing_Colour_Index);
}

}  // namespace

void PLOT_LINE(int number_of_points, const float* x, const float* y) {
  with_halo([&] { cpgline(number_of_points, x, y); });
}

void PLOT_POINT(float x, float y) {
  with_halo([&] { cpgpt1(x, y, 5); });
}

// ---------------------------------------------------------------- Korin_Stuff (stand-in)
void KORIN_CLOSE(int mode) {
  int first = 0, status = 0;
  KRFIRSTWN(first);
  if (mode == 2) {
    int current = 0;
    KRCLOSE(status, current);
  }
  if (mode >= 1 && mode <= 3) KRSELECT(status, first);
  if (mode == 1 || mode == 2) KRSHOWWN(status, first, 5);
  if (mode == 4) KRQUITX(status, 0);
}

void KORIN_FRAME_SIZE() {
  int status = 0, width = 0, height = 0, dpi_x = 0, dpi_y = 0;
  KRDIMS(status, 3, width, height);
  KRDIMS(status, 10, dpi_x, dpi_y);
  if (width <= 0 || height <= 0 || dpi_x <= 0 || dpi_y <= 0) return;  // no window: the factors stay
  Frame_Factors.Frame_Factor_X = static_cast<float>(width) / static_cast<float>(dpi_x) * 4.5f;
  Frame_Factors.Frame_Factor_Y = static_cast<float>(height) / static_cast<float>(dpi_y) * 4.5f;
}
