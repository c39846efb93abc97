// Display_Image: one picture in the current panel, with its wedge, marks and annotations.
//
// Reads:   Display_Field (the slots, sizes, zoom window), Result_Set (limits, N), the
//          display modes, annotation and wedge settings, Isoline_Data, Vector_Settings,
//          Scan_Line, Raster_Overlay, Command_Code, Auto_Replot, Panel_Grid.
// Writes:  nothing of the records but the overlays' (Scale_Length, unset vector settings); draws on the selected plotting device.

#include "display/Display_Image.h"

#include <cpgplot.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "display/Annotate.h"
#include "display/Grid.h"
#include "display/Image_Strips.h"
#include "display/Isolines.h"
#include "display/Length_Scale.h"
#include "display/PGWedg_Win9X.h"
#include "display/Tools_Graphical.h"
#include "display/Vectors.h"
#include "records/Globals.h"
#include "result_files/Read_Results.h"
#include "text/Fortran_Format.h"

namespace {

bool is_file(std::int32_t k) { return k >= 1 && k <= Result_Set.Number_Of_Solutions; }

template <typename T>
T per_file(const Bounded_Array<T, 1>& values, std::int32_t k, T otherwise) {
  return is_file(k) && values.ALLOCATED() && k >= values.LOWER(0) && k <= values.UPPER(0) ? values(k) : otherwise;
}

// In the RGB triangle every picture shares the one panel: the files' pictures lay only their
// isolines over the combined image and neither erase nor cover it.
bool over_triangle(std::int32_t i) { return Display_Settings.Processed_Display_Modes.RGB_Triangle && i > 0; }

bool erases_panel(std::int32_t i) {
  const auto& s = Display_Settings;
  if (over_triangle(i)) return false;
  return Command_State.Command_Code == 23 || s.Auto_Replot || (i <= 0 && s.Processed_Display_Modes.Difference_Display);
}

// A contour-only file leaves its panel free for its isolines.
bool draws_image(std::int32_t i, const Colour_Limits& limits) {
  if (over_triangle(i)) return false;
  const std::int32_t k = limits.file;
  const bool contour_only = per_file(Isoline_Data.Isoline_Number, k, 0) != 0 &&
                            per_file(Isoline_Data.Display_Contours, k, false);
  return (limits.fixed || !contour_only) && Display_Field.Array_to_be_displayed.ALLOCATED();
}

}  // namespace

bool HIDES_PANEL(std::int32_t picture_index) {
  return erases_panel(picture_index) || draws_image(picture_index, COLOUR_LIMITS(picture_index));
}

void SEPARATE_LIMITS(float& a1, float& a2) {
  if (a1 != a2) return;
  if (std::fabs(a2) < 1.0e-5f) {
    a1 = a1 - 5.0e-6f;
    a2 = a2 + 5.0e-6f;
  } else if (a2 > 0.0f) {
    a1 *= 0.999995f;
    a2 *= 1.000005f;
  } else {
    a1 *= 1.000005f;
    a2 *= 0.999995f;
  }
}

namespace {

// Smallest and largest value of a slot over the zoom box.
void zoom_extrema(std::int32_t slot, float& low, float& high) {
  auto& f = Display_Field;
  low = high = f.Array_to_be_displayed(slot, f.Zoom_X_From, f.Zoom_Y_From);
  for (std::int32_t y = f.Zoom_Y_From; y <= f.Zoom_Y_To; ++y) {
    const float* row = f.Array_to_be_displayed.ADDRESS(slot, f.Zoom_X_From, y);
    for (std::int32_t x = 0; x <= f.Zoom_X_To - f.Zoom_X_From; ++x) {
      low = std::min(low, row[x]);
      high = std::max(high, row[x]);
    }
  }
}

// The viewport box in inches for the annotation mode: room for the wedge and the texts.
void set_viewport_box() {
  const auto& s = Display_Settings;
  float x1, x2, y1, y2;
  cpgqvp(1, &x1, &x2, &y1, &y2);
  const float w = x2 - x1, h = y2 - y1, m = std::max(w, h);
  float left = 0.01f * m, right = w, bottom = 0.0f, top = h;
  if (s.Annotation_Orientation == 2) {
    right -= 0.01f * m;
    bottom -= 0.775f * m;
    top += 0.825f * m;
  } else {
    right += 0.05f * m;
    bottom += 0.01f * m;
    top -= 0.01f * m;
  }
  if (s.Annotation_Mode == 2) {
    if (s.Annotation_Orientation == 2) {
      bottom += m / 7.5f;
      top += m / 7.5f;
    } else {
      left -= m / 10.0f;
      right -= m / 10.0f;
    }
  }
  cpgvsiz(left, right, bottom, top);
}

// Whether the picture carries the wedge and annotations, and the index annotated.
bool carries_annotations(std::int32_t i, std::int32_t& annotated) {
  const auto& modes = Display_Settings.Processed_Display_Modes;
  const auto& grid = Display_Settings.Panel_Grid;
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  annotated = i < 0 && (modes.Absolute_Values || modes.Miller_Indices || modes.Logarithmic_Display) ? -i : i;
  if (std::abs(grid.Panels_Across) * std::abs(grid.Panels_Down) >= n) return true;
  if (modes.RGB_Triangle) {
    if (i != 0) return false;
    for (std::int32_t k = 1; k <= n; ++k)
      if (!per_file(Isoline_Data.Display_Contours, k, false)) return false;
    annotated = 0;
    return true;
  }
  if (modes.Miller_Indices) return false;
  if (Vector_Settings.Vector_Mode != 0) return true;
  annotated = 0;
  return i == 0;
}

// The zoomed field from centre to centre of its border cells, at equal scales.
void field_window() {
  const auto& f = Display_Field;
  cpgwnad(f.Zoom_X_From - 0.005f, f.Zoom_X_To + 0.005f, f.Zoom_Y_From - 0.005f, f.Zoom_Y_To + 0.005f);
}

constexpr float Wedge_Displacement = 2.75f;  // character heights between the image and its wedge

// With the texts above the image and the wedge below it (orientation 2) the viewport box's
// margins leave too little room for either on some pages (the labels of a single panel, a
// thick wedge): the image is moved, and made smaller where moving is not enough, so that
// both stay on the panel.
void keep_texts_on_panel(std::int32_t i) {
  const auto& s = Display_Settings;
  const auto& modes = s.Processed_Display_Modes;
  std::int32_t annotated = i;
  if (s.Annotation_Mode == 4 || s.Annotation_Orientation != 2 || !carries_annotations(i, annotated)) return;
  const bool texts = s.Annotation_Mode == 1 || s.Annotation_Mode == 3;
  const bool wedge = (s.Annotation_Mode == 1 || s.Annotation_Mode == 2) && !modes.RGB_Triangle && !modes.Miller_Indices;
  float xch = 0.0f, ych = 0.0f;
  cpgqcs(1, &xch, &ych);
  const float above = texts ? ANNOTATION_ROOM_ABOVE() : 0.0f;
  const float below = wedge ? (Wedge_Displacement + static_cast<float>(s.Wedge_Thickness)) * ych : 0.0f;
  float vx1, vx2, vy1, vy2, px1, px2, py1, py2;
  cpgqvp(1, &vx1, &vx2, &vy1, &vy2);
  cpgqvsz(1, &px1, &px2, &py1, &py2);
  const float low = below, high = (py2 - py1) - above;
  if ((vy1 >= low && vy2 <= high) || high <= low) return;
  const float y1 = std::clamp(vy1, low, std::max(low, high - (vy2 - vy1)));
  cpgvsiz(vx1, vx2, y1, std::min(high, y1 + (vy2 - vy1)));
  field_window();
}

void draw_wedge(const Colour_Limits& limits) {
  const auto& s = Display_Settings;
  const bool below = s.Annotation_Orientation == 2;
  const Wedge_Range range = WEDGE_RANGE(limits);
  if (!range.note.empty()) cpgmtxt(below ? "B" : "R", 1.5f, 0.5f, 0.5f, range.note.c_str());
  const char* side = below ? "BI" : "RI";
  const float width = static_cast<float>(s.Wedge_Thickness);
  // A wedge below an image too wide for the library's row buffer is as wide as the image.
  const auto& f = Display_Field;
  const bool too_wide = below && STRIP_COLUMNS(f.Zoom_X_From, f.Zoom_X_To, s.TR_Matrix.data()) != 0;
  if (s.Wedge_Win9X)
    PGWEDG_WIN9X(side, Wedge_Displacement, width, range.a1, range.a2, " ");
  else if (too_wide)
    PGWEDG_WHOLE(side, Wedge_Displacement, width, range.a1, range.a2, " ");
  else
    cpgwedg(side, Wedge_Displacement, width, range.a1, range.a2, " ");
}

void draw_probe_and_raster(std::int32_t i) {
  const auto& modes = Display_Settings.Processed_Display_Modes;
  const auto& scan = Scan_Line;
  if (scan.Probe_Overlay && !(i == 0 && modes.Difference_Display)) {
    if (scan.Scan_X1 == scan.Scan_X2 && scan.Scan_Y1 == scan.Scan_Y2) {
      PLOT_POINT(static_cast<float>(scan.Scan_X1), static_cast<float>(scan.Scan_Y1));
    } else {
      const float x[] = {static_cast<float>(scan.Scan_X1), static_cast<float>(scan.Scan_X2)};
      const float y[] = {static_cast<float>(scan.Scan_Y1), static_cast<float>(scan.Scan_Y2)};
      PLOT_LINE(2, x, y);
    }
  }
  const auto& r = Raster_Overlay;
  if (r.Display_Raster && r.Raster_Spacing > 1)
    for (std::int32_t x = r.Raster_X_From; x <= r.Raster_X_To; x += r.Raster_Spacing)
      for (std::int32_t y = r.Raster_Y_From; y <= r.Raster_Y_To; y += r.Raster_Spacing)
        PLOT_POINT(static_cast<float>(x), static_cast<float>(y));
}

}  // namespace

Colour_Limits COLOUR_LIMITS(std::int32_t i) {
  const auto& modes = Display_Settings.Processed_Display_Modes;
  const auto& r = Result_Set;
  Colour_Limits limits;
  limits.file = i;
  if ((modes.RGB_Triangle && i == 0) || (modes.Miller_Indices && i < 0)) {
    limits = {0.0f, 215.0f, i, true};
    return limits;
  }
  if (modes.Difference_Display && i == 0) {
    limits.fixed = true;
    zoom_extrema(0, limits.a1, limits.a2);
    if (std::fabs(limits.a2 - limits.a1) < 1.0e-20f) {
      limits.a2 = std::max({std::fabs(limits.a1), std::fabs(limits.a2), 5.0e-21f});
      limits.a1 = -limits.a2;
    }
  } else {
    // A processed picture (below 0) takes the limits of its file; the logarithm's come first,
    // as its slot holds the logarithms even with the absolute values on.
    const std::int32_t k = i < 0 ? -i : i;
    limits.file = k;
    limits.a1 = per_file(r.Current_Min, k, 0.0f);
    limits.a2 = per_file(r.Current_Max, k, 0.0f);
    if (i < 0 && modes.Logarithmic_Display && is_file(k) && CHECK_LOGARITHMIC(k)) {
      limits.a1 = std::log(limits.a1);
      limits.a2 = std::log(limits.a2);
    }
  }
  limits.flat = limits.a1 == limits.a2;
  limits.flat_value = limits.a1;
  SEPARATE_LIMITS(limits.a1, limits.a2);
  return limits;
}

bool NEEDS_ADD_NOTE(float a1, float a2) {
  return std::fabs(a1) > 1.0e-40f && std::fabs((a2 - a1) / a1) < 0.001f;
}

std::string ADD_NOTE_TEXT(float a1) {
  std::string number = FORMAT_LINE("(G15.7)", {a1});
  std::erase(number, ' ');
  return "\\fi(Add: " + number + ")";
}

Wedge_Range WEDGE_RANGE(const Colour_Limits& limits) {
  if (!NEEDS_ADD_NOTE(limits.a1, limits.a2)) return {limits.a1, limits.a2, {}};
  const float base = limits.flat ? limits.flat_value : limits.a1;
  return {limits.a1 - base, limits.a2 - base, ADD_NOTE_TEXT(base)};
}

void DISPLAY_IMAGE(std::int32_t i) {
  const auto& s = Display_Settings;
  const auto& modes = s.Processed_Display_Modes;
  auto& f = Display_Field;
  cpgbbuf();
  cpgsvp(0.0f, 1.0f, 0.0f, 1.0f);
  if (s.Annotation_Mode != 4) set_viewport_box();
  field_window();
  keep_texts_on_panel(i);
  if (erases_panel(i)) cpgeras();

  const Colour_Limits limits = COLOUR_LIMITS(i);
  const std::int32_t k = limits.file;
  if (draws_image(i, limits))
    IMAGE_STRIPS(f.Array_to_be_displayed.ADDRESS(i, 1, 1), f.Display_Size_X, f.Display_Size_Y, f.Zoom_X_From,
                 f.Zoom_X_To, f.Zoom_Y_From, f.Zoom_Y_To, limits.a1, limits.a2, s.TR_Matrix.data());
  if ((i > 0 || modes.Logarithmic_Display) && per_file(Isoline_Data.Isoline_Number, k, 0) > 0 &&
      per_file(Isoline_Data.Display_Isolines, k, false))
    PLOT_ISOLINES(i);
  if (Vector_Settings.Vector_Mode != 0) PLOT_VECTORS(Vector_Settings.Vector_X_Component, Vector_Settings.Vector_Y_Component);

  std::int32_t annotated = i;
  const bool annotations = carries_annotations(i, annotated);
  if (annotations && !modes.RGB_Triangle && !modes.Miller_Indices &&
      (s.Annotation_Mode == 1 || s.Annotation_Mode == 2))
    draw_wedge(limits);
  if (s.Display_Grid && (i == 0 || !(modes.RGB_Triangle || modes.Difference_Display))) PLOT_GRID();
  if (s.Display_Length_Scale && (i == 0 || !modes.RGB_Triangle)) PLOT_LENGTH_SCALE();
  draw_probe_and_raster(i);
  if (annotations && (s.Annotation_Mode == 1 || s.Annotation_Mode == 3)) ANNOTATE(annotated);
  cpgebuf();
}
