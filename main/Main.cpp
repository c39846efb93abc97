// Display_ZELTRA: the main program.
//
// Reads: the command line. Writes: through the routines it calls. A fatal stop anywhere
// throws Program_Stop: the working files of the routines on the way are deleted as the stop
// unwinds, and the program exits with the stop's code (1 after a fatal message, 0 after a
// normal end such as a completed conversion run or --Help). The client library of the
// graphics window ends the program through the same stop, and a server still connected is
// told to close.

#include <cstdio>  // std::fflush
#include <string>
#include <vector>

#include "korin_client/Korin.h"
#include "korin_client/Korin_Seams.h"
#include "main/Console.h"
#include "main/Dialog_Stuff.h"
#include "main/Read_Command_Line.h"

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  int exit_code = 0;
  KRsetstop([](int code) { STOP_PROGRAM(code); });
  try {
    DIALOG_STUFF(1);
    READ_COMMAND_LINE(words);
    // The display's start-up and command loop are not part of this version yet.
    CONSOLE_LINE(" The display itself is not available in this version.");
  } catch (const Program_Stop& stop) {
    exit_code = stop.exit_code;
  }
  KRquitx(0);
  CONSOLE_FLUSH();
  if (std::fflush(stdout) != 0 && exit_code == 0) exit_code = 1;
  return exit_code;
}
