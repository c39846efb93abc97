// Colour_Scale: the colour tables of the image display.
#pragma once

// Loads the current colour scale into the plotting library again.
void SET_COLOUR_SCALE();
