// READ_COMMAND_LINE: gathers the command words and hands a conversion run over to the
// conversion mode.
//
// Reads: the command words. Writes: console lines. Global records: none of its own yet.

#include "main/Read_Command_Line.h"

#include <string_view>

#include "main/Console.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

bool starts_with(std::string_view word, std::string_view prefix) { return word.substr(0, prefix.size()) == prefix; }

}  // namespace

bool CONVERSION_REQUESTED(const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    for (std::string_view trigger : {"--transfer_zeltra", "--Transfer_ZELTRA", "--TRANSFER_ZELTRA", "--ReScale",
                                     "--Rescale", "--rescale"})
      if (starts_with(word, trigger)) return true;
    const bool option_word = starts_with(word, "-") && !starts_with(word, "--") && !starts_with(word, "-i") &&
                             !starts_with(word, "-I") && !starts_with(word, "-o") && !starts_with(word, "-O");
    if (option_word && word.find_first_of("tT") != std::string::npos) return true;
  }
  return false;
}

void READ_COMMAND_LINE(const std::vector<std::string>& words) {
  // A conversion run is recognised before any display option is looked at: letters that
  // mean something else to the display (-m, -k ...) must not stop a conversion.
  if (CONVERSION_REQUESTED(words)) {
    TRANSFER_ZELTRA(words);
    STOP_PROGRAM(0);
  }
  // The display itself is not part of this program yet.
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Only the conversion mode (-t) is available in this version.");
  CONSOLE_EMPTY();
  STOP_PROGRAM(1);
}
