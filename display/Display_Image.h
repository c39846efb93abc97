// Display_Image: drawing of one panel and its overlays.
#pragma once

#include <cstdint>
#include <string>

// The colour limits of a picture (A1 to the lowest image colour, A2 to the highest) and the
// result file whose settings apply to it (0 for a combined picture).
struct Colour_Limits {
  float a1 = 0.0f, a2 = 0.0f;
  std::int32_t file = 0;
  bool fixed = false;  // colour-cube or difference limits: drawn whatever the file's isolines
  bool flat = false;   // the limits were equal, then moved apart: flat_value is that one value
  float flat_value = 0.0f;
};
// Limits of picture picture_index (-N..N) from the display modes and the current limits;
// equal limits are moved apart as the extrema are, so the image and its wedge always show.
Colour_Limits COLOUR_LIMITS(std::int32_t picture_index);

// Equal limits draw nothing (and break a wedge's window): moved apart as the extrema are.
void SEPARATE_LIMITS(float& a1, float& a2);

// True when a range is below a thousandth of its lower limit: the wedge then runs from 0
// with the note of ADD_NOTE_TEXT beside it.
bool NEEDS_ADD_NOTE(float a1, float a2);
// "\fi(Add: " + the lower limit (seven significant digits, blanks removed) + ")".
std::string ADD_NOTE_TEXT(float a1);

// The wedge's labelled range and its note: a range below a thousandth of its lower limit is
// labelled from the value the note names, the lower limit or a flat field's own value.
struct Wedge_Range {
  float a1 = 0.0f, a2 = 0.0f;
  std::string note;  // empty: no note
};
Wedge_Range WEDGE_RANGE(const Colour_Limits& limits);

// Draws picture picture_index into the current panel of the selected device: margins for the
// wedge and texts, the zoomed field at equal scales, the image, the wedge, the probe and
// raster marks and the annotations. Leaves the panel's viewport and window set.
void DISPLAY_IMAGE(std::int32_t picture_index);

// True when DISPLAY_IMAGE(picture_index) erases its panel or draws the field's image over it:
// the panel's earlier picture then no longer shows (its overlays are drawn anew in kind).
bool HIDES_PANEL(std::int32_t picture_index);
