// Tools_Graphical: the pop-up toolkit of the image display (lists, forms, text input).
// Until the image display is built these are served by the scripted stand-in of
// display/Popup_Script.cpp, which tests and harnesses feed with answers.
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

// One typed line in the server's text-input dialog; answer holds the preset text and
// receives the typed line.
void INPUT_STRING(std::string_view title, std::string_view label, std::string& answer);

// Form with two labelled text fields that show the values and give them back as typed.
void READ_TWO_STRINGS(std::string_view title, std::string_view label_1, std::string_view label_2,
                      std::string& value_1, std::string& value_2);

// Form with two text fields and a two-way switch (number and order of panels): values are
// shown and given back as typed; the switch shows switch_texts[0] for true, [1] for false.
void READ_STRINGS_LOGICAL(std::string_view title, const std::vector<std::string>& labels,
                          std::vector<std::string>& values, std::string_view switch_label, bool& switch_value,
                          const std::array<std::string, 2>& switch_texts);

// Selects the plotting device and records it in Unit_Current; an identifier of 0 or less
// stops the program with " Invalid 'PGPlot unit': " and the number.
void SELECT_PGPLOT_UNIT(std::int32_t unit);

// Closes an open pop-up window (Unit_Pop_Up back to -13) and selects the main display.
void CLOSE_POP_UP();

// A polyline or a point mark (diagonal cross) drawn with a halo: first in colour index 0 at
// ten times, then in colour index 1 at five times the line width; then Drawing_Colour_Index.
void PLOT_LINE(int number_of_points, const float* x, const float* y);
void PLOT_POINT(float x, float y);
