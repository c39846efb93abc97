// Command_Loop: the main program of the display.
//
// Reads:  Startup_Options, Result_Set (Sequential_Reading, Extrema_Mode, Number_Of_Solutions),
//         Graphics_Units.Unit_Display.
// Writes: Command_State (Command_Code, Time_Step_Command); through the routines it calls.

#include "main/Command_Loop.h"

#include <cpgplot.h>

#include "display/Dialog_Stuff.h"
#include "display/Korin_Stuff.h"
#include "display/Manage_Display.h"
#include "display/Tools_Graphical.h"
#include "korin_client/Korin_Upper.h"
#include "main/Initialise.h"
#include "main/Interrupt_End.h"
#include "main/Read_Command_Line.h"
#include "main/User_Interface.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Input_Layer.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"

std::int32_t START_LEVEL() {
  const auto& start = Startup_Options;
  auto& command = Command_State;
  if (start.Animate_At_Start) {
    command.Command_Code = Command::Animate_Until_End;
    command.Time_Step_Command = 0;
    return 4;
  }
  if (start.Last_At_Start) {
    command.Time_Step_Command = 2;
    command.Command_Code = Command::Replot;
    // The extrema of the last output left each stream behind it; the last-output move
    // expects to stand in front of it.
    const auto& r = Result_Set;
    if (r.Sequential_Reading && r.Extrema_Mode == 3)
      for (std::int32_t k = 1; k <= r.Number_Of_Solutions; ++k) UNIT(Geometry_Unit + k).BACKSPACE();
    return 1;
  }
  if (start.Miller_At_Start) {
    command.Command_Code = Command::Miller_Indices;
    DISPATCH_COMMAND(Command::Miller_Indices);
    command.Time_Step_Command = 0;
    return 3;
  }
  return 1;
}

void END_SEQUENCE() {
  CLOSE_POP_UP();
  CLOSE_PLOT();
  CLOSE_COLOUR_SCALES();
  cpgslct(Graphics_Units.Unit_Display);
  KORIN_CLOSE(4);
  cpgend();
  CLOSE_RESULT_FILES();
  DIALOG_STUFF(3);
  CONSOLE_EMPTY();
}

void DISPLAY_ZELTRA(const std::vector<std::string>& words) {
  DIALOG_STUFF(1);
  READ_COMMAND_LINE(words);
  END_ON_INTERRUPTS();
  INITIALISE();
  auto& command = Command_State;
  std::int32_t level = START_LEVEL();
  for (;;) {
    if (level <= 1) READ_RESULTS();
    if (level <= 2) MANAGE_DISPLAY();
    if (level <= 3) {
      KRflush();  // the picture is whole in the window before the next command is read
      USER_INTERFACE();
    }
    if (command.Time_Step_Command == 0 && command.Command_Code == 0) {
      level = 3;
    } else if (command.Time_Step_Command != 0) {
      // The code stays for the redraw of the next pass to see.
      level = 1;
    } else if (command.Command_Code == Command::End_Program) {
      break;
    } else if (command.Command_Code >= 1 && command.Command_Code < Command::End_Program) {
      level = DISPATCH_COMMAND(command.Command_Code);
    }
  }
  END_SEQUENCE();
}
