// Length_Scale: a bar near the lower (or, flipped, the right) edge of the zoom box with its
// length in micrometres.
//
// Reads:   Display_Settings (Automatic_Scale_Length, Scale_Length, Flip_Length_Scale), the
//          zoom window, Result_Geometry.Grid_Spacing.
// Writes:  Scale_Length.

#include "display/Length_Scale.h"

#include <cpgplot.h>

#include <algorithm>
#include <cmath>

#include "display/Tools_Graphical.h"
#include "records/Globals.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

// Three significant digits: fixed from 0.1 to below 1000, else the given exponent layout.
std::string three_digits(float v, const char* exponent_layout) {
  const float a = std::fabs(v);
  return a >= 0.1f && a < 1000.0f ? FORMAT_LINE("(G10.3)", {v}) : FORMAT_LINE(exponent_layout, {v});
}

}  // namespace

float AUTOMATIC_SCALE_LENGTH(int span) {
  int length = 20;
  for (;;) {
    while (length > span / 2) length -= 5;
    if (span / 10 > length) {
      length += 5;
      continue;
    }
    return static_cast<float>(std::max(length, 0));
  }
}

std::string LENGTH_SCALE_LABEL(float micrometres) {
  std::string text = three_digits(micrometres, "(1P,E10.3)");
  std::erase(text, ' ');
  return text + " \\gmm";
}

Length_Bar LENGTH_SCALE_BAR() {
  const auto& f = Display_Field;
  auto& s = Display_Settings;
  const bool flip = s.Flip_Length_Scale;
  const int a1 = flip ? f.Zoom_Y_From : f.Zoom_X_From, a2 = flip ? f.Zoom_Y_To : f.Zoom_X_To;
  const int b1 = flip ? f.Zoom_X_From : f.Zoom_Y_From, b2 = flip ? f.Zoom_X_To : f.Zoom_Y_To;
  const int span = a2 - a1;
  if (s.Automatic_Scale_Length) s.Scale_Length = AUTOMATIC_SCALE_LENGTH(span);
  const float length = s.Scale_Length;
  const float t = static_cast<float>(std::max(span / 20, 1));
  const float u = std::max(static_cast<float>((b2 - b1) / 75), 0.5f);
  const float start = a2 - length - t, end = a2 - t;
  Length_Bar bar{{start, start, start, end, end, end},
                 {b1 + 6 * u, b1 + 4 * u, b1 + 5 * u, b1 + 5 * u, b1 + 4 * u, b1 + 6 * u},
                 (start + end) / 2.0f,
                 b1 + u,
                 0.0f,
                 LENGTH_SCALE_LABEL(Result_Geometry.Grid_Spacing * length * 10000.0f)};
  if (flip) {
    for (std::size_t i = 0; i < bar.x.size(); ++i) {
      const float p = bar.x[i], q = bar.y[i];
      bar.x[i] = static_cast<float>(f.Zoom_X_From + f.Zoom_X_To) - q;
      bar.y[i] = static_cast<float>(f.Zoom_Y_From + f.Zoom_Y_To) - p;
    }
    // Beside the bar, outside the right edge of the image, whatever the zoom box.
    bar.label_x = f.Zoom_X_To + 1 + u + (f.Zoom_Y_To - f.Zoom_Y_From) / 40.0f;
    bar.label_y = static_cast<float>(f.Zoom_Y_From + f.Zoom_Y_To) - (start + end) / 2.0f;
    bar.angle = 90.0f;
  }
  return bar;
}

void PLOT_LENGTH_SCALE() {
  const Length_Bar bar = LENGTH_SCALE_BAR();
  PLOT_LINE(6, bar.x.data(), bar.y.data());
  cpgptxt(bar.label_x, bar.label_y, bar.angle, 0.725f, bar.label.c_str());
}

void SET_LENGTH_SCALE() {
  auto& s = Display_Settings;
  const float micrometres = Result_Geometry.Grid_Spacing * s.Scale_Length * 10000.0f;
  std::string answer = three_digits(micrometres, "(E10.3)") + std::string(10, ' ');
  INPUT_STRING("Set length scale", "Length (\\gmm):", answer);
  float typed = 0.0f;
  if (READ_REAL_FROM_TEXT(answer, typed) != Free_Form_Status::Ok) return;
  const float length = typed / (Result_Geometry.Grid_Spacing * 10000.0f);
  // A bad geometry has no cell size: only a finite, non-negative length is taken.
  if (std::isfinite(typed) && std::isfinite(length) && length >= 0.0f) s.Scale_Length = length;
}
