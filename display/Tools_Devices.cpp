// Tools_Devices.cpp - the display's plotting devices: selecting one, closing the curve and
// colour-scale windows, halo lines and points, the white background, and the server's
// text-input dialog.
//
// Reads and writes Graphics_Units; reads Display_Settings; writes Command_State.

#include <cpgplot.h>

#include <string>

#include "display/Colour_Scale.h"
#include "display/Tools_Graphical.h"
#include "korin_client/Korin_Upper.h"
#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "records/Globals.h"

namespace {

constexpr int Closed = -13;

void close_device(std::int32_t& unit) {
  cpgslct(unit);
  cpgclos();
  unit = Closed;
}

// Draws twice: a background band, then the line itself in colour index 1.
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

void SELECT_PGPLOT_UNIT(std::int32_t unit) {
  if (unit > 0) {
    Graphics_Units.Unit_Current = unit;
    cpgslct(unit);
    return;
  }
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Invalid 'PGPlot unit': " + std::to_string(unit));
  CONSOLE_EMPTY();
  STOP_PROGRAM(1);
}

void CLOSE_PLOT() {
  if (Graphics_Units.Unit_Curves > 0) close_device(Graphics_Units.Unit_Curves);
  SELECT_PGPLOT_UNIT(Graphics_Units.Unit_Display);
}

void CLOSE_COLOUR_SCALES() {
  Integer_Array& units = Graphics_Units.Unit_Colour_Scales;
  if (units.ALLOCATED()) {
    for (std::int64_t i = units.LOWER(0); i <= units.UPPER(0); ++i)
      if (units(i) > 0) close_device(units(i));
    CHECK_DEALLOCATION("Unit_Colour_Scales", units.RELEASE());
  }
  SELECT_PGPLOT_UNIT(Graphics_Units.Unit_Display);
}

void PLOT_LINE(std::int32_t number_of_points, const float* x, const float* y) {
  with_halo([&] { cpgline(number_of_points, x, y); });
}

void PLOT_POINT(float x, float y) {
  with_halo([&] { cpgpt1(x, y, 5); });
}

void BLACK_2_WHITE() {
  auto& s = Display_Settings;
  s.White_Background = !s.White_Background;
  const float back = s.White_Background ? 1.0f : 0.0f, fore = 1.0f - back;
  cpgscr(0, back, back, back);
  cpgscr(1, fore, fore, fore);
  SET_COLOUR_SCALE();
  Command_State.Command_Code = 25;
}

void INPUT_STRING(std::string_view /*title: the dialog shows only the prompt*/, std::string_view prompt,
                  std::string& answer) {
  std::string text(prompt.substr(0, 250));
  const std::size_t first = text.find_first_not_of(' ');
  text = first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
  // The plotting library's mu escape: only its first occurrence becomes the micro sign.
  const std::size_t mu = text.find("\\gm");
  if (mu != std::string::npos) text.replace(mu, 3, "\xB5");
  int status = 0, length = 0;
  KRINPUT(status, length, text, answer);
}
