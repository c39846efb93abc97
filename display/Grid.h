// Grid: grid lines over the pictures, and the command that sets them.
#pragma once

// Command 46 switches the grid, command 47 asks for the number of lines (at least 1); any
// call ends with Command_Code 23.
void GRID();
// The spacing of the grid lines over a span of cells for n lines.
float GRID_TICK(int span, int lines);
// Draws the grid into the current panel.
void PLOT_GRID();
