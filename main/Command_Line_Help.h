// Command_Line_Help: the fixed texts of the display program on the console.
#pragma once

#include "records/Display_Version.h"


// The version line, the acknowledgments and the synopsis of the display mode.
void COMMAND_LINE_HELP();

// The libraries and tools the system relies on, with their home pages.
void ACKNOWLEDGMENTS();
