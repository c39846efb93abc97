// READ_COMMAND_LINE: the second step of the display program's start-up: the title, the
// command words, the hand-over of a conversion run, the options and the checks.
//
// Reads: the arguments and standard input. Writes: console lines. Global records: those of
// the options and the checks (main/Command_Options.cpp, main/Command_Line_Checks.cpp).

#include "main/Read_Command_Line.h"

#include <string_view>

#include "display/Dialog_Stuff.h"
#include "main/Command_Line_Parts.h"
#include "records/Console.h"
#include "transfer/Transfer_ZELTRA.h"

bool CONVERSION_REQUESTED(const std::vector<std::string>& words) {
  for (const std::string& gathered : words) {
    const std::string word = UNQUOTED_WORD(gathered);
    for (std::string_view trigger : {"--transfer_zeltra", "--Transfer_ZELTRA", "--TRANSFER_ZELTRA", "--ReScale",
                                     "--Rescale", "--rescale"})
      if (word.starts_with(trigger)) return true;
    const bool option_word = word.starts_with("-") && !word.starts_with("--") && !word.starts_with("-i") &&
                             !word.starts_with("-I") && !word.starts_with("-o") && !word.starts_with("-O");
    if (option_word && word.find_first_of("tT") != std::string::npos) return true;
  }
  return false;
}

void READ_COMMAND_LINE(const std::vector<std::string>& arguments) {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE("Display ZELTRA");
  const Command_Words gathered = GATHER_COMMAND_WORDS(arguments);
  // A conversion run is recognised before any display option is looked at: letters that
  // mean something else to the display (a lone -m ...) must not stop a conversion. It is
  // handed over after the last word, so a word that ends the program at its place (--Check,
  // --Help) comes first wherever it stands.
  if (CONVERSION_REQUESTED(gathered.words) && !ENDS_THE_PROGRAM_AT_ONCE(gathered.words)) {
    DIALOG_STUFF(2);
    TRANSFER_ZELTRA(gathered.words);
    DIALOG_STUFF(3);
    STOP_PROGRAM(0);
  }
  const Option_Results options = READ_OPTION_WORDS(gathered.words, gathered.start_folder);
  CHECK_COMMAND_LINE(options);
}
