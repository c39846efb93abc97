// Length_Scale: the length bar over the pictures and the dialog for its length.
#pragma once

#include <array>
#include <string>

// The automatic bar length in cells for a box spanning span cells.
float AUTOMATIC_SCALE_LENGTH(int span);
// The bar's label: the length in micrometres with three significant digits and " \gmm".
std::string LENGTH_SCALE_LABEL(float micrometres);
// The bar's six points (a line with a tick at each end) and its label, in world units.
struct Length_Bar {
  std::array<float, 6> x, y;
  float label_x, label_y, angle;
  std::string label;
};
// The bar for the zoom box and settings; sets Scale_Length when it is chosen automatically.
Length_Bar LENGTH_SCALE_BAR();
// Draws the bar and its label into the current panel; sets Scale_Length.
void PLOT_LENGTH_SCALE();
// Asks for the bar length in micrometres; an unreadable, non-finite or negative length
// keeps the old one.
void SET_LENGTH_SCALE();
