// Toggle_Boolean: the on/off switches of the display program, reported on the console.
#pragma once

#include <string_view>

// Turns Flag over and reports its new state: an empty line, one blank and On_Text or
// Off_Text (trailing blanks dropped), an empty line.
void TOGGLE_BOOLEAN(bool& Flag, std::string_view On_Text, std::string_view Off_Text);
