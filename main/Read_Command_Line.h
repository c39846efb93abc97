// READ_COMMAND_LINE: the command words of the display program.
#pragma once

#include <string>
#include <vector>

// True when one of the words (double quotes around it removed) asks for the conversion
// mode: an option word (one "-", not -i/-I/-o/-O) holding the letter t or T, or a word
// beginning with "--Transfer_ZELTRA" or "--Rescale" (in their three spellings each).
bool CONVERSION_REQUESTED(const std::vector<std::string>& words);

// Writes the title, gathers the command words (the arguments, the lines of a lone -n<count>,
// or the line typed at the prompt), carries out a conversion run (which ends the program
// with exit code 0), reads the display options, checks them and the files, and reports the
// settings. Returns only when the display is to start; the help, --Check and every input
// error end the program.
void READ_COMMAND_LINE(const std::vector<std::string>& arguments);
