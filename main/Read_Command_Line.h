// READ_COMMAND_LINE: the command words of the display program.
#pragma once

#include <string>
#include <vector>

// True when one of the words asks for the conversion mode: an option word (one "-", not
// -i/-I/-o/-O) holding the letter t or T, or a word beginning with "--Transfer_ZELTRA" (in its
// three spellings) or "--Rescale" (in its four).
bool CONVERSION_REQUESTED(const std::vector<std::string>& words);

// Reads the command words. A conversion run is carried out here and ends the program
// (STOP_PROGRAM with exit code 0).
void READ_COMMAND_LINE(const std::vector<std::string>& words);
