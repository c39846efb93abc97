// Probe_Curves: the shared frame of the probes' curve plots.
//
// Reads:  Result_Set
//         (Name_To_Be_Displayed), Display_Settings (Panel_Grid, Auto_Resize, White_Background,
//         Drawing_Colour_Index), Output_Settings (Image_Driver, Output_File_Name).
// Writes: Graphics_Units (Unit_Curves, Unit_Current); the console; draws in a new device.

#include "probes/Probe_Curves.h"

#include <cpgplot.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "display/Dialog_Stuff.h"
#include "display/Korin_Stuff.h"
#include "display/Pop_Up.h"
#include "display/Tools_Graphical.h"
#include "korin_client/KRDRIV.h"
#include "probes/Virtual_EDX.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "text/Blanks.h"
#include "text/Fortran_Format.h"

namespace {

std::string label(const char* text, std::int32_t value) {
  return FORMAT_LINE("(A,I4)", {std::string(text), std::int64_t{value}});
}

bool is_postscript(const Curve_Plot& plot) {
  const std::string driver = WITHOUT_TRAILING_BLANKS(Output_Settings.Image_Driver);
  return !plot.window && driver.size() >= 2 && driver.compare(driver.size() - 2, 2, "PS") == 0;
}

// The first rows of the labels (X, then Y, then Z) above the frame's top right corner.
void draw_coordinate_labels(const Curve_Plot& plot, const std::vector<std::string>& labels, Curve_Range x,
                            Curve_Range y) {
  if (labels.empty()) return;
  const float d = (y.up - y.low) / 40.0f;
  const float rows[3] = {y.up + 3.6f * d, y.up + 2.2f * d, y.up + 0.8f * d};
  float bx[4], by[4];
  if (plot.kind != Curve_Kind::Line_Scan) {
    cpgqtxt(x.up, rows[0], 0.0f, 1.0f, labels[0].c_str(), bx, by);
    const float middle = (bx[0] + bx[2]) / 2.0f;
    for (int r = 0; r < 3; ++r) cpgptxt(middle, rows[r], 0.0f, 0.5f, labels[static_cast<std::size_t>(r)].c_str());
    return;
  }
  const std::string widest = labels[0] + labels[1] + "12345";
  cpgqtxt(x.up, rows[0], 0.0f, 1.0f, widest.c_str(), bx, by);
  const float right = bx[2], width = bx[2] - bx[0];
  for (int r = 0; r < 3; ++r) {
    cpgptxt(right - 4.0f * width / 5.0f, rows[r], 0.0f, 0.5f, labels[static_cast<std::size_t>(2 * r)].c_str());
    cpgptxt(right - width / 5.0f, rows[r], 0.0f, 0.5f, labels[static_cast<std::size_t>(2 * r + 1)].c_str());
  }
}

void back_to_main_display(std::int32_t line_width) {
  SELECT_PGPLOT_UNIT(Graphics_Units.Unit_Display);
  cpgscr(14, 0.25f, 0.25f, 0.25f);
  cpgsci(Display_Settings.Drawing_Colour_Index);
  cpgslw(line_width);
}

std::int32_t open_device(const Curve_Plot& plot) {
  if (plot.window) {
    CLOSE_PLOT();
    return PGOPEN_WIN(false, "/CKR");
  }
  // The whole name goes to the opener, which refuses a name too long for the library
  // rather than writing a file under a cut name.
  const auto& out = Output_Settings;
  return PGOPEN_WIN(true, WITHOUT_TRAILING_BLANKS(out.Output_File_Name) + WITHOUT_TRAILING_BLANKS(out.Image_Driver));
}

// The page: three quarters as wide as the whole main display, with its shape.
void size_page(const Curve_Plot& plot, float panel_width, float panel_height) {
  const auto& grid = Display_Settings.Panel_Grid;
  const float across = static_cast<float>(std::max(std::abs(grid.Panels_Across), 1));
  const float down = static_cast<float>(std::max(std::abs(grid.Panels_Down), 1));
  const bool set = plot.kind == Curve_Kind::Front_Tracking || !Display_Settings.Auto_Resize;
  if (set && panel_width > 0.0f && panel_height > 0.0f)
    cpgpap(0.75f * panel_width * across, (panel_height * down) / (panel_width * across));
}

}  // namespace

Curve_Constants CURVE_CONSTANTS(Curve_Kind kind) {
  switch (kind) {
    case Curve_Kind::Scan_Point: return {0.0f, Probe_Zero_Magnitude, 0.0f, false};
    case Curve_Kind::Front_Tracking: return {Probe_Zero_Magnitude, Probe_Zero_Magnitude, 0.0f, false};
    case Curve_Kind::Line_Scan: break;
  }
  return {0.0f, 1.0E-5f, 1.0f, true};
}

Curve_Range CURVE_RANGE(Curve_Kind kind, float ylo, float yhi) {
  const Curve_Constants c = CURVE_CONSTANTS(kind);
  const float m = (yhi - ylo) / 10.0f;
  float low = ylo - m;
  if (ylo > c.Tc) low = std::min(std::max(low, 0.0f), ylo);
  float up = yhi + m;
  if (std::fabs(up - low) < c.Tf) {
    if (std::fabs(up) < Probe_Zero_Magnitude) {
      low = -1.0f, up = c.U;
    } else {
      low = (c.flat_from_top ? yhi : ylo) * 0.9f, up = yhi * 1.1f;
    }
  }
  if (low > up) std::swap(low, up);
  return {low, up};
}

Curve_Range CURVE_X_RANGE(const std::vector<float>& abscissa) {
  if (abscissa.empty()) return {0.0f, 1.0f};
  const auto [lo, hi] = std::minmax_element(abscissa.begin(), abscissa.end());
  Curve_Range x{*lo, *hi};
  if (x.low == x.up) {
    // Widened by a tenth of the value, or by 1 around zero.
    const float half = std::fabs(x.low) > Probe_Zero_Magnitude ? std::fabs(x.low) * 0.1f : 1.0f;
    x = {x.low - half, x.up + half};
  }
  return x;
}

void Value_Extent::ADD(float value) {
  if (!any) {
    ylo = yhi = value, any = true;
    return;
  }
  ylo = std::min(ylo, value), yhi = std::max(yhi, value);
}

std::string FIELD_VALUE_LABEL(std::int32_t processing_mode) {
  switch (processing_mode) {
    case 1: return "Normalised field value(s)";
    case 2: return "Rescaled field value(s)";
    default: return "Field value(s)";
  }
}

std::vector<std::string> COORDINATE_LABELS(Curve_Kind kind, const Probe_Position& at) {
  const std::int32_t c = at.cut_index;
  if (at.cut_direction < 1 || at.cut_direction > 3) return {};
  if (kind != Curve_Kind::Line_Scan) {
    const std::int32_t xyz[3][3] = {{at.x1, at.y1, c}, {at.x1, c, at.y1}, {c, at.x1, at.y1}};
    const auto& v = xyz[at.cut_direction - 1];
    return {label("X =", v[0]), label("Y =", v[1]), label("Z =", v[2])};
  }
  // Start and end of each axis; the cut axis holds the plane's index at both ends.
  const std::int32_t ends[3][6] = {{at.x1, at.x2, at.y1, at.y2, c, c},
                                   {at.x1, at.x2, c, c, at.y1, at.y2},
                                   {c, c, at.x1, at.x2, at.y1, at.y2}};
  const auto& v = ends[at.cut_direction - 1];
  return {label("X\\d1\\u =", v[0]), label("X\\d2\\u =", v[1]), label("Y\\d1\\u =", v[2]),
          label("Y\\d2\\u =", v[3]), label("Z\\d1\\u =", v[4]), label("Z\\d2\\u =", v[5])};
}

void DRAW_PROBE_CURVES(const Curve_Plot& plot) {
  float ch0 = 1.0f;
  cpgqch(&ch0);
  float vx1 = 0, vx2 = 0, vy1 = 0, vy2 = 0;
  cpgqvsz(1, &vx1, &vx2, &vy1, &vy2);
  const std::vector<std::string> labels = COORDINATE_LABELS(plot.kind, plot.position);

  const std::int32_t device = open_device(plot);
  if (device <= 0) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Unable to open secondary display!");
    CONSOLE_EMPTY();
    SELECT_PGPLOT_UNIT(Graphics_Units.Unit_Display);
    return;
  }
  SELECT_PGPLOT_UNIT(device);
  if (Display_Settings.White_Background) {
    cpgscr(0, 1.0f, 1.0f, 1.0f);
    cpgscr(1, 0.0f, 0.0f, 0.0f);
  }
  size_page(plot, vx2 - vx1, vy2 - vy1);
  cpgask(0);
  cpgpage();
  cpgbbuf();
  cpgvstd();

  const Curve_Range y = CURVE_RANGE(plot.kind, plot.extent.ylo, plot.extent.yhi);
  const Curve_Range x = CURVE_X_RANGE(plot.abscissa);
  const bool postscript = is_postscript(plot);
  int lw0 = 1;
  cpgqlw(&lw0);
  if (postscript) {
    cpgslw(static_cast<int>(std::lround(1.75 * lw0)));
    cpgenv(x.low, x.up, y.low, y.up, 0, -2);
    cpgbox("BCNST", 0.0f, 0, "BCNSTV", 0.0f, 0);
    cpgslw(static_cast<int>(std::lround(1.25 * lw0)));
  } else {
    cpgenv(x.low, x.up, y.low, y.up, 0, 0);
    cpgqch(&ch0);
    cpgsch(2.0f * ch0);
    cpgmtxt("T", 1.0f, 0.5f, 0.5f, ("\\fr" + plot.title).c_str());
    cpgsch(0.75f * ch0);
    draw_coordinate_labels(plot, labels, x, y);
    cpgsch(ch0);
    if (!plot.time_text.empty()) cpgmtxt("T", 3.0f, 0.0f, 0.0f, plot.time_text.c_str());
    const auto& names = Result_Set.Name_To_Be_Displayed;
    if (names.ALLOCATED() && plot.reference >= names.LOWER(0) && plot.reference <= names.UPPER(0))
      cpgmtxt("T", 0.75f, 0.0f, 0.0f, ("\\fi" + pop_up::DRAWN(names(plot.reference))).c_str());
    cpgmtxt("L", 3.0f, 0.5f, 0.5f, plot.y_label.c_str());
    cpgmtxt("B", 3.0f, 0.5f, 0.5f, plot.x_label.c_str());
  }

  if (postscript) cpgslw(static_cast<int>(std::lround(2.75 * lw0)));
  cpgsci(1);
  for (const Curve& c : plot.curves) {
    const std::size_t n = std::min(c.x.size(), c.y.size());
    if (n > 0 && n <= static_cast<std::size_t>(std::numeric_limits<int>::max()))
      cpgline(static_cast<int>(n), c.x.data(), c.y.data());
  }
  cpgebuf();

  if (!plot.window) {
    CONSOLE_LINE(" File: " + WITHOUT_TRAILING_BLANKS(Output_Settings.Output_File_Name) + " created");
    if (postscript) CONSOLE_LINE("  ('prettier output')");
    cpgclos();
  } else if (plot.kind != Curve_Kind::Line_Scan) {
    Graphics_Units.Unit_Curves = device;
  } else {
    // The window stays on screen with its picture; the device slot is given back, so that
    // any number of line-scan plots leave the library room for further devices.
    KRDRIV_KEEP_WINDOW();
    cpgclos();
    KORIN_CLOSE(3);
  }
  back_to_main_display(lw0);
  if (plot.kind == Curve_Kind::Line_Scan) cpgsch(ch0);
}
