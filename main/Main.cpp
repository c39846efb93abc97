// Display_ZELTRA: the main program.
//
// Reads: the command line. Writes: through the routines it calls. A fatal stop anywhere
// throws Program_Stop: the working files of the routines on the way are deleted as the stop
// unwinds, the result files are closed with their working copies deleted, a server still
// connected is told to quit, and the program exits with the stop's code (1 after a fatal
// message, 0 after a normal end such as a completed conversion run or --Help). The client
// library of the graphics window ends the program through the same stop, with exit code 1
// also when the server asked the program to end: the display did not end by its own command.
// SIGINT, SIGTERM and SIGHUP end a display run the same way (main/Interrupt_End.h).

#include <cstdio>  // std::fflush
#include <new>     // std::bad_alloc
#include <string>
#include <vector>

#include "korin_client/Korin.h"
#include "korin_client/Korin_Seams.h"
#include "main/Command_Loop.h"
#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "result_files/Read_GeoF.h"

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  int exit_code = 0;
  KRsetstop([](int) { STOP_PROGRAM(1); });
  try {
    DISPLAY_ZELTRA(words);
  } catch (const Program_Stop& stop) {
    exit_code = stop.exit_code;
  } catch (const std::bad_alloc&) {
    // Memory the system would not give where no check stood: the checks' stop all the same.
    try {
      CHECK_ALLOCATION_ERROR("memory", 1);
    } catch (const Program_Stop& stop) {
      exit_code = stop.exit_code;
    }
  }
  CLOSE_RESULT_FILES();
  KRquitx(0);
  CONSOLE_FLUSH();
  if (std::fflush(stdout) != 0 && exit_code == 0) exit_code = 1;
  return exit_code;
}
