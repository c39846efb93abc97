// PGWedg_Win9X: the colour wedge of the -w9 option.
#pragma once

#include <string_view>

// Draws the annotated colour bar beside the viewport as the library's PGWEDG lays it out
// (same arguments), except that the coloured strip fills only the fifth of the band next
// to the image while the frame with its ticks and numbers encloses the whole band. SIDE:
// B, T, L or R, then I (image colours) or G (grey); DISP and WIDTH in character heights; FG
// and BG the data values at the two ends; LABEL blank for none. Leaves viewport, window
// and character height as it found them.
void PGWEDG_WIN9X(std::string_view SIDE, float DISP, float WIDTH, float FG, float BG, std::string_view LABEL);

// The library's PGWEDG itself (the strip fills the band), with its image drawn in strips where
// the device needs them: the library's own wedge loses what lies past its row buffer.
void PGWEDG_WHOLE(std::string_view SIDE, float DISP, float WIDTH, float FG, float BG, std::string_view LABEL);
