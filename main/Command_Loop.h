// Command_Loop: the main program of the display and its command table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The whole display run: console set-up, command line, start-up, start options, the command
// loop and, at code 129, the end sequence. Returns at the normal end; stops throw.
void DISPLAY_ZELTRA(const std::vector<std::string>& words);

// The pass level that the start options choose (1 read, redraw, wait; 3 wait; 4 none of
// them), with Command_Code and Time_Step_Command set for it.
std::int32_t START_LEVEL();

// Runs the handler of code (1 to 128) and returns the level of the next pass.
std::int32_t DISPATCH_COMMAND(std::int32_t code);

// Closes the extra plotting devices, ends the connection with the server and the plotting
// library, closes the result files (deleting working copies) and lets the console close.
void END_SEQUENCE();
