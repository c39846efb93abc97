// Tools_Graphical: the image display's plotting devices, halo drawing, the server's text
// input, and the pop-up toolkit (lists, forms). The lists and forms are served by the scripted
// stand-in of display/Popup_Script.cpp until the pop-ups are built.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Pop-up list: one result per entry. Without initial every row starts unselected;
// single_choice lets a click clear the other rows. Any result is accepted.
std::vector<bool> SELECT_STRINGS(std::string_view title, const std::vector<std::string>& entries,
                                 const std::optional<std::vector<bool>>& initial = std::nullopt,
                                 bool single_choice = false);

// One typed line in the server's text-input dialog, with the prompt (its first "\gm" shown as
// the micro sign). The answer's size is its field length: a shorter line is taken, padded
// with blanks; a refused dialog or a line as long as the field keeps the preset text. The
// title is not shown.
void INPUT_STRING(std::string_view title, std::string_view prompt, std::string& answer);

// Selects a plotting device and records it in Unit_Current; 0 or less stops the program.
void SELECT_PGPLOT_UNIT(std::int32_t unit);
// Close the curve window, or every colour-scale window (releasing their list), when open;
// then select the main display.
void CLOSE_PLOT();
void CLOSE_COLOUR_SCALES();
// A polyline or a point mark (marker 5) on a band of background colour: first in colour
// index 0 at ten times, then in index 1 at five times the line width; the width and the
// drawing colour are restored.
void PLOT_LINE(std::int32_t number_of_points, const float* x, const float* y);
void PLOT_POINT(float x, float y);
// Swaps black and white of colour indices 0 and 1 on the selected device and asks for a
// fresh page (Command_Code 25).
void BLACK_2_WHITE();

// Closes an open pop-up window (Unit_Pop_Up back to -13) and selects the main display.
void CLOSE_POP_UP();

// Form with two text fields and a two-way switch (number and order of panels): values are
// shown and given back as typed; the switch shows switch_texts[0] for true, [1] for false.
void READ_STRINGS_LOGICAL(std::string_view title, const std::vector<std::string>& labels,
                          std::vector<std::string>& values, std::string_view switch_label, bool& switch_value,
                          const std::array<std::string, 2>& switch_texts);

// Form with two labelled text fields that show the values and give them back as typed.
void READ_TWO_STRINGS(std::string_view title, std::string_view label_1, std::string_view label_2,
                      std::string& value_1, std::string& value_2);
