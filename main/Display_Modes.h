// Display_Modes: the switches of the display modes that change what a redraw shows.
#pragma once

// Command_Code 48 (RGB triangle, three files only) or 49 (Miller indices): turns the mode
// over, switches the difference and logarithmic displays off, takes the colour cube (and a
// single panel for the triangle), re-reads the current outputs and redraws.
void TOGGLE_FLAG_RGB_TRIANGLE();

// Command_Code 50 (difference of two files), 51 (logarithm), 52 (absolute values), 54 (2D
// vectors) or 55 (3D vectors): refused while an RGB or Miller mode is on or when the files do
// not suit it; otherwise turns the mode over, switches off what it cannot be combined with,
// sets the panel grid it needs and redraws.
void TOGGLE_PROCESSED_RESULTS();
