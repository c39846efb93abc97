// Image_Strips: images drawn whole on devices that paint them pixel by pixel.

#include "display/Image_Strips.h"

#include <cpgplot.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

extern "C" {
// GRQCAP(STRING): the selected device's capability letters; the seventh tells how it takes
// images ('P': pixel by pixel through the library's row buffer).
void grqcap_(char* text, std::size_t text_len);
}

namespace {

bool paints_pixels() {
  int open = 0;
  cpgqid(&open);
  if (open <= 0) return false;
  char capabilities[10] = {};
  grqcap_(capabilities, sizeof capabilities);
  return capabilities[6] == 'P';
}

}  // namespace

int STRIP_COLUMNS(int i1, int i2, const float tr[6], int max_pixels) {
  if (i2 <= i1 || !paints_pixels()) return 0;
  float vx1, vx2, vy1, vy2, wx1, wx2, wy1, wy2;
  cpgqvp(3, &vx1, &vx2, &vy1, &vy2);
  cpgqwin(&wx1, &wx2, &wy1, &wy2);
  if (wx2 == wx1) return 0;
  // Device pixels one column spans across (the display's transformations are not sheared).
  const float per_column = std::fabs(tr[1] * (vx2 - vx1) / (wx2 - wx1));
  if (per_column * static_cast<float>(i2 - i1 + 1) + 2.0f <= static_cast<float>(max_pixels)) return 0;
  return std::max(1, static_cast<int>(static_cast<float>(max_pixels - 2) / std::max(per_column, 1.0e-6f)));
}

void IN_STRIPS(int i1, int i2, const float tr[6], const std::function<void(int, int)>& draw, int max_pixels) {
  const int columns = STRIP_COLUMNS(i1, i2, tr, max_pixels);
  if (columns == 0) {
    draw(i1, i2);
    return;
  }
  for (int first = i1; first <= i2; first += columns) draw(first, std::min(i2, first + columns - 1));
}

void IMAGE_STRIPS(const float* a, int idim, int jdim, int i1, int i2, int j1, int j2, float a1, float a2,
                  const float tr[6]) {
  IN_STRIPS(i1, i2, tr, [&](int first, int last) { cpgimag(a, idim, jdim, first, last, j1, j2, a1, a2, tr); });
}

void GRAY_STRIPS(const float* a, int idim, int jdim, int i1, int i2, int j1, int j2, float fg, float bg,
                 const float tr[6]) {
  IN_STRIPS(i1, i2, tr, [&](int first, int last) { cpggray(a, idim, jdim, first, last, j1, j2, fg, bg, tr); });
}
