// Tools_Graphical: the image display's plotting devices, halo drawing, the server's text
// input, and the pop-up toolkit (messages, lists, forms).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/Text_Field.h"

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

// ---- pop-ups: each one a /CKR device of its own (Unit_Pop_Up), its world in inches of its paper;
// read with the cursor; the main display is selected again when one returns. Texts are UTF-8
// and drawn in Latin-1; the values of forms are kept as typed (Latin-1 codes).

// Closes an open pop-up window (Unit_Pop_Up back to -13) and selects the main display.
void CLOSE_POP_UP();

// One to three centred lines (line_3 only with line_2) under an optional italic title, with the
// question "Y/N [Y]" or "Y/N [N]" when ask_yes_no. Returns the pop-up's identifier, left open
// and selected, with keep_open; -13 once closed; 0 or less when no window could be opened.
std::int32_t MESSAGE(std::optional<std::string_view> title, std::string_view line_1,
                     std::optional<std::string_view> line_2 = std::nullopt,
                     std::optional<std::string_view> line_3 = std::nullopt, bool keep_open = false,
                     bool ask_yes_no = false, bool default_yes = false);

// The yes/no question "Warning": y or n answer, TAB offers the other default, any other key
// or click takes the default shown (no at first). False when no window could be opened.
bool WARNING(std::string_view line_1, std::optional<std::string_view> line_2 = std::nullopt,
             std::optional<std::string_view> line_3 = std::nullopt);

// Pop-up list: one result per entry, each starting as initial_state; clicks toggle entries,
// "Select all" inverts them all, "OK" returns. With single_choice a pick leaves only the
// picked entry selected and there is no "Select all".
std::vector<bool> SELECT_STRINGS(std::string_view title, const std::vector<std::string>& entries,
                                 bool initial_state = false, bool single_choice = false);


// Edits a field in place at (x, y) of the selected device, one key at a time, until an ending
// key; tab_ended is -1 when TAB ended it, otherwise 0.
void PGRSTR(float x, float y, float justification, Text_Field& field, std::int32_t& tab_ended);

// Form with two labelled text fields and "OK"; the fields keep what was typed.
void READ_TWO_STRINGS(std::string_view title, const std::array<std::string, 2>& labels,
                      std::array<Text_Field, 2>& values);

// Form with 2 or 3 labelled text fields (any other number stops the program), a two-way switch
// showing switch_texts[0] for true and [1] for false, and "OK".
void READ_STRINGS_LOGICAL(std::string_view title, std::int32_t number_of_fields,
                          const std::vector<std::string>& labels, std::vector<Text_Field>& values,
                          std::string_view switch_label, bool& switch_value,
                          const std::array<std::string, 2>& switch_texts);
