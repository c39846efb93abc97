// Scan_Line: picking the probe's line or point in the main display, and showing it.
#pragma once

#include <cstdint>
#include <string>

// The user drags a line (with confirm: a right click, "x" or character 0 picks again).
void VIRTUAL_EDX_SELECT(bool confirm);
// The user clicks a point, then the display is redrawn with it.
void SCAN_POINT_SELECT(bool confirm);
// Codes 95 (a line along X at a typed row) and 96 (along Y at a typed column).
void VIRTUAL_EDX_LINESCAN();
// One redraw of the main display with the probe drawn on it.
void VIRTUAL_EDX_DISPLAY_SCAN_LINE();

// The coordinate field the line-scan pop-up starts with: the middle of the zoom window in
// the asked direction, right-aligned in four characters, then blanks to 20.
std::string LINESCAN_PRESET(std::int32_t code);
// The row (code 95) or column (96) that the typed text gives: (from + to) / 2 when it is no
// number, then at most the cut plane's and the displayed field's count, at least 1.
std::int32_t LINESCAN_COORDINATE(std::int32_t code, const std::string& typed);
