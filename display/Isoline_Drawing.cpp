// Isoline drawing: the contour lines of one picture at its file's isoline values, in one or
// two passes, with their labels.
//
// Reads:   Isoline_Data, Display_Field (slot, sizes, zoom window), Display_Settings (TR_Matrix,
//          Panel_Grid, Text_Background_Index, Drawing_Colour_Index), Result_Set (N),
//          Command_Code.
// Writes:  nothing of the records; draws on the selected plotting device.

#include <cpgplot.h>

#include <cmath>
#include <cstdlib>

#include "display/Isolines.h"
#include "records/Globals.h"

namespace {

std::int32_t panels() {
  const auto& grid = Display_Settings.Panel_Grid;
  return std::abs(grid.Panels_Across) * std::abs(grid.Panels_Down);
}

// The levels contoured for picture p and the value each stands for: a logarithmic picture
// holds logarithms, so its lines lie at ln v, and values that have none are left out.
void levels_of(std::int32_t p, std::int32_t k, std::vector<float>& levels, std::vector<float>& values) {
  const auto& iso = Isoline_Data;
  for (std::int32_t j = 1; j <= iso.Isoline_Number(k); ++j) {
    const float v = iso.Isoline_values(k, j);
    if (p < 0 && !(v > 0.0f)) continue;
    levels.push_back(p < 0 ? std::log(v) : v);
    values.push_back(v);
  }
}

}  // namespace

std::vector<Isoline_Pass> ISOLINE_PASSES(std::int32_t k) {
  const auto& iso = Isoline_Data;
  const bool contours = iso.Display_Contours(k);
  std::int32_t scheme = iso.Isoline_Colour;
  if (contours) scheme = panels() >= Result_Set.Number_Of_Solutions ? 2 : (scheme == 0 ? 1 : scheme);
  // The rim is narrowed under its own colour scheme, so that it does not show.
  const std::int32_t rim = contours && iso.Isoline_Colour == scheme ? 2 : 7;
  switch (scheme) {
    case 1: return {{1, rim}, {0, 4}};
    case 2: return {{0, rim}, {1, 4}};
    default: return {{0, 2}};
  }
}

void PLOT_ISOLINES(std::int32_t p) {
  const auto& iso = Isoline_Data;
  const auto& s = Display_Settings;
  auto& f = Display_Field;
  const std::int32_t k = std::abs(p);
  if (k < 1 || k > Result_Set.Number_Of_Solutions || !iso.Isoline_values.ALLOCATED()) return;
  if (Command_State.Command_Code == 18 && iso.Display_Contours(k)) cpgeras();
  std::vector<float> levels, values;
  levels_of(p, k, levels, values);
  const int n = static_cast<int>(levels.size());

  int width = 1, style = 1;
  cpgqlw(&width);
  cpgqls(&style);
  if (p > 1 && panels() == 1) cpgsls((p - 2) % 4 + 2);
  const float* field = f.Array_to_be_displayed.ADDRESS(p, 1, 1);
  for (const Isoline_Pass& pass : ISOLINE_PASSES(k)) {
    cpgsci(pass.colour);
    cpgslw(pass.width * width);
    if (n > 0)
      cpgcont(field, f.Display_Size_X, f.Display_Size_Y, f.Zoom_X_From, f.Zoom_X_To, f.Zoom_Y_From, f.Zoom_Y_To,
              levels.data(), -n, s.TR_Matrix.data());
  }
  if (iso.Display_Isoline_Labels) {
    cpgsci(1);
    cpgstbg(0);
    for (int j = 0; j < n; ++j)
      cpgconl(field, f.Display_Size_X, f.Display_Size_Y, f.Zoom_X_From, f.Zoom_X_To, f.Zoom_Y_From, f.Zoom_Y_To,
              levels[j], s.TR_Matrix.data(), ISOLINE_LABEL(values[j]).c_str(), 100000000, 100);
    cpgstbg(s.Text_Background_Index);
  }
  cpgslw(width);
  cpgsls(style);
  cpgsci(s.Drawing_Colour_Index);
}
