// Command_Line_Help: the fixed texts of the display program on the console.
#pragma once

#include <string_view>

// The display program's version text.
inline constexpr std::string_view Display_Version = "6.1";

// The version line, the acknowledgments and the synopsis of the display mode.
void COMMAND_LINE_HELP();

// The libraries and tools the system relies on, with their home pages.
void ACKNOWLEDGMENTS();
