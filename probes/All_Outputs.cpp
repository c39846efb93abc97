// All_Outputs: one export per output, ending where it started.
//
// Reads:  Result_Set (Number_Of_Solutions, Time_Step_Number, Total_Time_Steps), Panel_Grid.
// Writes: Command_State (Time_Step_Command, Command_Code); the console; through READ_RESULTS
//         and MANAGE_DISPLAY.

#include "probes/All_Outputs.h"

#include <cstdlib>

#include "display/Manage_Display.h"
#include "display/Output_File_Names.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Read_Results.h"

void FOR_EVERY_OUTPUT(std::string_view please_wait, std::string_view done, const std::function<void()>& one_output,
                      bool display_follows) {
  CONSOLE_EMPTY();
  CONSOLE_LINE(please_wait);
  START_OUTPUT_SERIES();
  auto& r = Result_Set;
  const auto& grid = Display_Settings.Panel_Grid;
  const std::int32_t reference = r.Time_Step_Number(1);
  Command_State.Time_Step_Command = 1;
  const bool follow = display_follows &&
                      (r.Number_Of_Solutions > 1 || std::abs(grid.Panels_Across) * std::abs(grid.Panels_Down) == 1);
  // A file that never comes back to the reference (its outputs shrank under it) must not
  // keep the loop going: no file yields more outputs than its count plus the wrap.
  std::int64_t left = std::int64_t{r.Total_Time_Steps(1)} + 2;
  do {
    one_output();
    READ_RESULTS();
    if (follow) MANAGE_DISPLAY();
  } while (r.Time_Step_Number(1) != reference && --left > 0);
  CONSOLE_LINE(done);
  CONSOLE_EMPTY();
  Command_State.Command_Code = Command::Replot;
}
