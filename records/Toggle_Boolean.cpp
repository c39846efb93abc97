// Toggle_Boolean: turns a switch over and says so.
//
// Writes:  the flag it is handed; the console.

#include "records/Toggle_Boolean.h"

#include <string>

#include "records/Console.h"
#include "text/Blanks.h"

void TOGGLE_BOOLEAN(bool& Flag, std::string_view On_Text, std::string_view Off_Text) {
  Flag = !Flag;
  CONSOLE_EMPTY();
  CONSOLE_LINE(" " + std::string(WITHOUT_TRAILING_BLANKS(Flag ? On_Text : Off_Text)));
  CONSOLE_EMPTY();
}
