// Colour_Keys: the colour key of the displayed pictures written into image files, one bar
// per chosen result file, or one triangle in the RGB-triangle and Miller-indices modes.
#pragma once

#include <array>
#include <string>

// The bar's page in inches (width) and its height-to-width ratio, from the main display's
// panels and character size (selected when called).
struct Colour_Key_Page {
  float width, aspect;
};
Colour_Key_Page COLOUR_KEY_PAGE();

// The limits and values of one bar: ordered limits, a zero-width range above 1e-40 shown
// from 0 with its note, equal limits moved apart.
struct Colour_Key_Bar {
  float low, high;
  std::string note;  // empty: none
  std::array<float, 100> values;
};
Colour_Key_Bar COLOUR_KEY_BAR(float current_min, float current_max);

// Command 85 (in_window false) writes the keys; the window form (command 28) is not
// available and only says so.
void DISPLAY_SCALE(bool in_window);
void DISPLAY_RGB_TRIANGLE_SCALE(bool in_window);
