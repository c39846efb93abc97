// Write_ASCII_Output: the displayed field inside the zoom window as text tables, one file
// per loaded result, of every cell or of every k-th cell (the raster).
#pragma once

#include <string>

// Codes 81 and 83 (the current output), and the step of codes 82 and 84 for each output.
void WRITE_ASCII_OUTPUT();

// Codes 82 and 84: one table per result and output, under default names.
void WRITE_ASCII_OUTPUTS();

// Asks the raster spacing in micrometres and keeps it, in cells, in Raster_Overlay.
void INPUT_RASTER_SPACING();

// The answer field the spacing dialog starts with (20 characters).
std::string RASTER_SPACING_PRESET();
