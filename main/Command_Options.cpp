// Command_Options: the option words of the display mode and the result file names.
//
// Reads: the command words. Writes: the refusals and the help on the console, 129 on standard
// output for --Check. Global records: Result_Set (format, compression, counts, temporary
// folder, extrema), Display_Field (symmetry, skip, enhanced 1D), Display_Settings (panels,
// length scale, wedge), Vector_Settings.Vector_Mode, Command_State.GUI_Active,
// Startup_Options, Solution_Counter.

#include <cctype>
#include <initializer_list>
#include <string>
#include <string_view>

#include "display/Dialog_Stuff.h"
#include "main/Command_Line_Help.h"
#include "main/Command_Line_Parts.h"
#include "main/Option_Numbers.h"
#include "records/Allocation_Checks.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "records/Read_Input_F.h"

namespace {

// A value that would break the display later (a division by zero, a negative count ...).
[[noreturn]] void refuse(std::string_view word) {
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Invalid value in option: " + std::string(word));
  CONSOLE_EMPTY();
  STOP_PROGRAM(1);
}

std::int32_t checked(std::int32_t value, std::int32_t lowest, std::int32_t highest, std::string_view word) {
  if (value < lowest || value > highest) refuse(word);
  return value;
}

constexpr std::int32_t Any = 2147483647;

bool has_letter(std::string_view word, char letter) {
  for (char c : word)
    if (std::tolower(static_cast<unsigned char>(c)) == letter) return true;
  return false;
}

// The first occurrence of digit is a symmetry option unless it lies in the number read after
// m, p, q or x, or is the 9 of the pair w9.
bool symmetry_digit(std::string_view word, char digit) {
  const auto at = word.find(digit);
  if (at == std::string_view::npos) return false;
  if (digit == '9' && at > 0 && (word[at - 1] == 'w' || word[at - 1] == 'W')) return false;
  const bool panels = has_letter(word, 'p') || has_letter(word, 'q');
  for (char key : {'m', 'p', 'q', 'x'}) {
    if (!has_letter(word, key) || (key == 'x' && !panels)) continue;
    const Number_Field field = NUMBER_FIELD(word, key);
    if (at >= field.start && at < field.start + field.length) return false;
  }
  return true;
}

void read_panels(std::string_view word, char key) {
  auto& grid = Display_Settings.Panel_Grid;
  grid.Panels_Across = checked(READ_INTEGER_INPUT(word, key), 1, Any, word);
  grid.Panels_Down = checked(READ_INTEGER_INPUT(word, 'x'), 1, Any, word);
}

void short_options(std::string_view word) {
  auto& field = Display_Field;
  auto& set = Result_Set;
  if (has_letter(word, 's')) field.Symmetry_Mode = 2;
  if (symmetry_digit(word, '4')) field.Symmetry_Mode = 2;
  if (symmetry_digit(word, '3')) field.Symmetry_Mode = 3;
  if (symmetry_digit(word, '9')) field.Symmetry_Mode = 4;
  for (const auto& [letter, format] : {std::pair{'a', 3}, std::pair{'b', 1}, std::pair{'d', 2}})
    if (has_letter(word, letter)) set.Result_Format = format, set.Format_Given = true;
  if (has_letter(word, 'z')) set.Compressed_Results = true;
  if (has_letter(word, 'f')) set.Extrema_Mode = 2;
  if (has_letter(word, 'l')) set.Extrema_Mode = 3;
  if (has_letter(word, 'm')) set.Number_Of_Solutions = checked(READ_INTEGER_INPUT(word, 'm'), 0, Any, word);
  if (has_letter(word, 'p')) read_panels(word, 'p');
  if (has_letter(word, 'q')) {
    read_panels(word, 'q');
    Display_Settings.Panel_Grid.Row_Major_Panels = false;
  }
  if (has_letter(word, 'g')) Command_State.GUI_Active = true;
  if (word.find("w9") != std::string_view::npos || word.find("W9") != std::string_view::npos)
    Display_Settings.Wedge_Win9X = true;
}

std::string_view after_colon(std::string_view word) { return word.substr(word.find(':') + 1); }

struct Long_Option {
  std::initializer_list<std::string_view> spellings;
  bool whole_word;
  void (*apply)(std::string_view word, Option_Results& results);
  bool at_once = false;  // ends the program at its word: no later word is read
};

const Long_Option Long_Options[] = {
    {{"--Temp:", "--temp:", "--TEMP:"}, false,
     [](std::string_view w, Option_Results&) { Result_Set.Temporary_Files_Directory = after_colon(w); }},
    {{"--Skip:", "--skip:", "--SKIP:"}, false,
     [](std::string_view w, Option_Results&) { Display_Field.Skip_Factor = checked(READ_INTEGER_INPUT(w, ':'), 1, Any, w); }},
    {{"--Symmetry:", "--symmetry:", "--SYMMETRY:"}, false,
     [](std::string_view w, Option_Results&) { Display_Field.Symmetry_Type = checked(READ_INTEGER_INPUT(w, ':'), 1, 2, w); }},
    {{"--Translation", "--translation", "--TRANSLATION"}, true,
     [](std::string_view, Option_Results&) { Display_Field.Symmetry_Type = 2; }},
    {{"--Position:", "--POSITION:"}, false,
     [](std::string_view w, Option_Results&) {
       Startup_Options.Window_Position_X = READ_INTEGER_INPUT(w, ':');
       Startup_Options.Window_Position_Y = READ_INTEGER_INPUT(w, 'x');
     }},
    {{"--Min:", "--min:", "--MIN:"}, false,
     [](std::string_view w, Option_Results& r) {
       Result_Set.Global_Minimum = READ_NUMBER_INPUT(after_colon(w));
       r.minimum_given = true;
     }},
    {{"--Max:", "--max:", "--MAX:"}, false,
     [](std::string_view w, Option_Results& r) {
       Result_Set.Global_Maximum = READ_NUMBER_INPUT(after_colon(w));
       r.maximum_given = true;
     }},
    {{"--Animate", "--animate", "--ANIMATE"}, false,
     [](std::string_view, Option_Results&) { Startup_Options.Animate_At_Start = true; }},
    {{"--Last", "--last", "--LAST"}, false,
     [](std::string_view, Option_Results&) { Startup_Options.Last_At_Start = true; }},
    {{"--Scale", "--scale", "--SCALE"}, false,
     [](std::string_view, Option_Results&) { Display_Settings.Display_Length_Scale = true; }},
    {{"--Miller", "--MILLER"}, false,
     [](std::string_view, Option_Results&) {
       Startup_Options.Miller_At_Start = true;
       Result_Set.Extrema_Mode = 2;
     }},
    {{"--Check", "--CHECK"}, false,
     [](std::string_view, Option_Results&) {
       WRITE_INTEGER_F(Command::Highest_Command);
       DIALOG_STUFF(3);
       STOP_PROGRAM(0);
     },
     true},
    {{"--Thin", "--thin", "--THIN", "--1"}, false,
     [](std::string_view, Option_Results&) { Display_Field.Enhanced_1D = true; }},
    {{"--Vector", "--vector", "--VECTOR"}, false,
     [](std::string_view, Option_Results&) { Vector_Settings.Vector_Mode = 1; }},
    {{"--Vector_3D", "--vector_3D", "--VECTOR_3D"}, false,
     [](std::string_view, Option_Results&) { Vector_Settings.Vector_Mode = 2; }},
    {{"--Help", "--help", "--HELP"}, false,
     [](std::string_view, Option_Results&) {
       DIALOG_STUFF(2);
       COMMAND_LINE_HELP();
       STOP_PROGRAM(0);
     },
     true},
    {{"--Endian", "--endian", "--ENDIAN"}, false,
     [](std::string_view, Option_Results& r) { r.endian_conversion = true; }},
    {{"--No_GUI", "--no_gui", "--NO_GUI", "--Keyboard", "--keyboard", "--KEYBOARD"}, false,
     [](std::string_view, Option_Results&) { Command_State.GUI_Active = false; }},
};

bool matches(const Long_Option& option, std::string_view word) {
  for (std::string_view spelling : option.spellings)
    if (option.whole_word ? word == spelling : word.starts_with(spelling)) return true;
  return false;
}

void long_option(std::string_view word, Option_Results& results) {
  for (const Long_Option& option : Long_Options)
    if (matches(option, word)) option.apply(word, results);
}

void values_before_the_words() {
  auto& set = Result_Set;
  set.Compressed_Results = false;
  set.Result_Format = 1;
  set.Format_Given = false;
  set.Number_Of_Solutions = 1;
  set.Temporary_Files_Directory.clear();
  auto& field = Display_Field;
  field.Symmetry_Mode = 1;
  field.Symmetry_Type = 1;
  field.Skip_Factor = 1;
  field.Enhanced_1D = false;
  auto& grid = Display_Settings.Panel_Grid;
  grid.Panels_Across = grid.Panels_Down = 0;
  grid.Row_Major_Panels = true;
  Display_Settings.Display_Length_Scale = false;
  Display_Settings.Wedge_Win9X = false;
  Vector_Settings.Vector_Mode = 0;
  Command_State.GUI_Active = false;
  Startup_Options.Animate_At_Start = Startup_Options.Last_At_Start = Startup_Options.Miller_At_Start = false;
  Solution_Counter = 0;
}

}  // namespace

bool ENDS_THE_PROGRAM_AT_ONCE(const std::vector<std::string>& words) {
  for (const std::string& gathered : words) {
    const std::string word = UNQUOTED_WORD(gathered);
    for (const Long_Option& option : Long_Options)
      if (option.at_once && matches(option, word)) return true;
  }
  return false;
}

Option_Results READ_OPTION_WORDS(const std::vector<std::string>& words, std::string_view start_folder) {
  values_before_the_words();
  Option_Results results;
  for (const std::string& gathered : words) {
    const std::string word = UNQUOTED_WORD(gathered);
    if (word.empty()) continue;
    const std::string_view lead = std::string_view(word).substr(0, 2);
    const bool marked_file = lead == "-o" || lead == "-O" || lead == "-i" || lead == "-I";
    if (!marked_file && lead == "--") {
      long_option(word, results);
    } else if (!marked_file && lead.starts_with("-")) {
      short_options(word);
    } else {
      ++Solution_Counter;
      CHECKED_ALLOCATION("Buffer_name_solution", [&] { results.names.push_back(std::string(start_folder) + word); });
    }
  }
  return results;
}
