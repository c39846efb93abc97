// Colour_Scale: the colour tables of the image display and the colour-scale commands.
#pragma once

#include <cstdint>
#include <vector>

// One point of a colour table: a level (0 to 1, a few built-in ones lie outside) and the
// red, green and blue shares (0 to 1).
struct Colour_Point {
  float level, red, green, blue;
  bool operator==(const Colour_Point&) const = default;
};

// The table that the colour-scale settings describe, as the plotting library takes it.
struct Colour_Table {
  bool install = false;             // false: the scale number names no table; nothing changes
  std::vector<Colour_Point> points;
  float contrast = 1.0f;
  float brightness = 0.5f;
  bool cut_off = false;             // lowest image colour black, highest light grey
};

// The table of the settings in Display_Settings (scale, sign, contrast, brightness,
// stepwise, steps, random colours, cut-off), with the limits and isolines of result 1.
// image_colours is the device's number of image colour indices: more steps cannot show.
Colour_Table COLOUR_TABLE_OF_SETTINGS(std::int32_t image_colours);

// Builds the table of the settings and installs it in the selected plotting device (with
// the cut-off colours); without a selected device it does nothing. Prints nothing.
void SET_COLOUR_SCALE();

// Carries out the colour-scale command in Command_Code (6 to 17), reloads the table and
// sets Command_Code to 23 so that the command loop redraws.
void COLOUR_SCALE();
