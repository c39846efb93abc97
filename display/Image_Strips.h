// Image_Strips: images drawn whole on devices that paint them pixel by pixel.
//
// The plotting library keeps at most 1024 device pixels of an image row on such devices (GIF,
// PNG, X windows) and drops the rest silently; a wide picture loses its right part. These
// routines draw the columns i1..i2 in strips narrow enough for that buffer, each strip the same
// array, transformation and colour range, so every device pixel gets the cell it would get from
// one call. Devices that take the image whole get one call.
// Reads the selected device's capabilities, viewport and window; changes no record.
#pragma once

#include <functional>

// Device pixels a strip may span: below the library's row buffer with room for rounding.
constexpr int Strip_Pixels = 1000;

// Columns per strip for columns i1..i2 under transformation tr on the selected device, when
// its rows must be drawn in strips no wider than max_pixels; 0 when one call draws them whole.
int STRIP_COLUMNS(int i1, int i2, const float tr[6], int max_pixels = Strip_Pixels);

// Calls draw(first, last) over consecutive column ranges covering i1..i2.
void IN_STRIPS(int i1, int i2, const float tr[6], const std::function<void(int, int)>& draw,
               int max_pixels = Strip_Pixels);

// PGIMAG and PGGRAY of the columns i1..i2, in strips where the device needs them.
void IMAGE_STRIPS(const float* a, int idim, int jdim, int i1, int i2, int j1, int j2, float a1, float a2,
                  const float tr[6]);
void GRAY_STRIPS(const float* a, int idim, int jdim, int i1, int i2, int j1, int j2, float fg, float bg,
                 const float tr[6]);
