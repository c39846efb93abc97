// Vectors: the arrows of a vector field over every picture, one per block of cells.
#pragma once

#include <cstdint>
#include <vector>

// Fills in the vector settings the user left unset (block size, reference and smallest
// magnitude) from the displayed field and the limits of the component files x and y.
void CHECK_DISPLAY_VECTORS_SETTINGS(std::int32_t x_component, std::int32_t y_component);

// Draws the arrows of the field held in slots x and y (and the scale arrow when it is on)
// into the current panel; stops the program when the slots are not loaded.
void PLOT_VECTORS(std::int32_t x_component, std::int32_t y_component);

// One arrow: from (x1, y1) to (x2, y2) in world coordinates.
struct Vector_Arrow {
  float x1, y1, x2, y2;
};
// The arrows PLOT_VECTORS draws for the current settings (already checked), without the
// scale arrow; blocks holding a value that is not finite get none.
std::vector<Vector_Arrow> VECTOR_ARROWS(std::int32_t x_component, std::int32_t y_component);
