// The steps of READ_COMMAND_LINE: gathering the words, reading the options, and the checks
// and report after the last word.
#pragma once

#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------- the words
struct Command_Words {
  std::vector<std::string> words;  // as gathered: arguments, lines of -n or the prompt's words
  std::string start_folder;        // a lone geometry file's folder (with its last "/" or "\")
};

// The words of the run: the lines of a lone -n<count> argument (as many as come, at most
// count), the words of the line typed at the prompt (for no argument, or a lone geometry
// file), or else the arguments. Without any word the help is shown and the program stops.
Command_Words GATHER_COMMAND_WORDS(const std::vector<std::string>& arguments, std::istream& in = std::cin);

// The word as the options see it: trailing blanks dropped, then a leading and a final double
// quote removed together (a lone double quote becomes empty).
std::string UNQUOTED_WORD(std::string_view word);

// The part of a path after its last "/" or "\" (the whole path without either).
std::string_view FILE_PART(std::string_view path);

// ---------------------------------------------------------------- the options
struct Option_Results {
  bool minimum_given = false;
  bool maximum_given = false;
  bool endian_conversion = false;
  std::vector<std::string> names;  // the result file names in order
};

// Puts the command-line fields to their values before the words, then applies every word in
// turn; --Check and --Help end the program at their word, as does a number that cannot be
// read or a value out of range.
Option_Results READ_OPTION_WORDS(const std::vector<std::string>& words, std::string_view start_folder);

// True when a word ends the program where it stands (--Check, --Help): the words are then read
// as options up to it, whatever else they ask for.
bool ENDS_THE_PROGRAM_AT_ONCE(const std::vector<std::string>& words);

// ---------------------------------------------------------------- after the last word
// The geometry file named after the first result file (its folder kept).
std::string GEOMETRY_FILE_NAME(std::string_view first_result);

struct Panel_Count {
  std::int32_t across = 0, down = 0;
};
// The grid chosen for that many pictures (at least 1).
Panel_Count AUTOMATIC_PANEL_GRID(std::int32_t pictures);

// Final settings, counts, grid, geometry name, file checks, report and displayed names;
// stops the program on an inconsistency or a missing file.
void CHECK_COMMAND_LINE(const Option_Results& options);
