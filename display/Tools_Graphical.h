// Tools_Graphical: the pop-up toolkit of the image display (lists, forms, text input).
// Until the image display is built these are served by the scripted stand-in of
// display/Popup_Script.cpp, which tests and harnesses feed with answers.
#pragma once

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
