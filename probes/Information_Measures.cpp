// Information_Measures: the length of a dragged line and the angle of picked sides.
//
// Reads:  Scan_Line, Result_Geometry.Grid_Spacing, Command_State.Command_Code.
// Writes: Command_State.Command_Code (23 after an angle), the console; draws the sides.

#include <cpgplot.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "display/Korin_Stuff.h"
#include "display/Manage_Display.h"
#include "display/Tools_Graphical.h"
#include "probes/Data_Information.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "text/Fortran_Format.h"

namespace {
constexpr float Pi = 3.1415927f;
}

void DATA_INFORMATION_DISTANCE() {
  const auto& s = Scan_Line;
  const std::int64_t dx = s.Scan_X1 - s.Scan_X2, dy = s.Scan_Y1 - s.Scan_Y2;
  const float d = std::sqrt(static_cast<float>(dy * dy + dx * dx)) * Result_Geometry.Grid_Spacing * 10000.0f;
  CONSOLE_LINE(FORMAT_LINE("(A,1P,G10.4)", {std::string(" Distance (micrometers): "), d}));
}

std::optional<float> TURN_ANGLE(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                                std::int32_t x3, std::int32_t y3) {
  const float dx1 = static_cast<float>(x2 - x1), dy1 = static_cast<float>(y2 - y1);
  const float dx2 = static_cast<float>(x3 - x1), dy2 = static_cast<float>(y3 - y1);
  const float p = std::sqrt((dx1 * dx1 + dy1 * dy1) * (dx2 * dx2 + dy2 * dy2));
  if (!(p >= 1.0f)) return std::nullopt;
  // Rounding may carry the cosine just past 1 for parallel sides.
  const float c = std::clamp((dx1 * dx2 + dy1 * dy2) / p, -1.0f, 1.0f);
  const float s = (dx1 * dy2 - dy1 * dx2) / p;
  const float a = std::acos(c);
  return s < 0.0f ? -a : a;
}

void DATA_INFORMATION_ANGLE() {
  const std::int32_t code = Command_State.Command_Code;
  const char* prompt = nullptr;
  switch (code) {
    case Command::Info_Angle_Sides:
      prompt = "Select angle by holding down the  mouse's left button twice";
      break;
    case Command::Info_Angle_Horizontal:
      prompt = "Set 'non-horizontal' side by holding down the mouse's left button";
      break;
    case Command::Info_Angle_Vertical:
      prompt = "Set 'non-vertical' side by holding down the mouse's left button";
      break;
    default:
      CONSOLE_EMPTY(2);
      CONSOLE_LINE("Error in 'Data_Information_Angle'");
      CONSOLE_EMPTY(2);
      STOP_PROGRAM();
  }
  CONSOLE_EMPTY();
  CONSOLE_LINE(prompt);
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
  if (code == Command::Info_Angle_Sides) {
    KORIN_CURSOR(4, x1, y1, &x2, &y2, &x3, &y3);
  } else {
    KORIN_CURSOR(2, x1, y1, &x2, &y2);
    x3 = code == Command::Info_Angle_Horizontal ? x2 : x1;
    y3 = code == Command::Info_Angle_Horizontal ? y1 : y2;
  }
  Command_State.Command_Code = Command::Replot;
  MANAGE_DISPLAY();
  const float x[3] = {static_cast<float>(x2), static_cast<float>(x1), static_cast<float>(x3)};
  const float y[3] = {static_cast<float>(y2), static_cast<float>(y1), static_cast<float>(y3)};
  PLOT_LINE(3, x, y);
  cpgupdt();
  const std::optional<float> a = TURN_ANGLE(x1, y1, x2, y2, x3, y3);
  if (!a) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(" Sorry at least one of the sides appears too small!");
    CONSOLE_EMPTY();
    return;
  }
  CONSOLE_LINE(FORMAT_LINE("(SP,A,F6.3,A,F5.2,A,/,A,F7.2)",
                           {std::string(" Angle (radians): "), *a, std::string("  ("), *a / Pi,
                            std::string(" x 'Pi')"), std::string(" Angle (degrees): "), *a / Pi * 180.0f}));
}
