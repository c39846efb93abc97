// Remove_Output: removing the output shown from the result files.
//
// Reads:  Result_Set (Result_Format, Number_Of_Solutions, names, Temporary_Files,
//         Temporary_Files_Directory, Compressed_Results, Time, Time_Step_Number).
// Writes: Result_Set (Time_Step_Number, Total_Time_Steps and, through the reading, Time),
//         the conversion's Transfer_Options, Temporary_Directory and Temporary_File_Names,
//         Command_State (Time_Step_Command, Command_Code); the result files; the console.
//
// The file on disk is replaced in one rename at each step (the removal writes the shortened
// file aside; the compression of a working copy writes the new .gz aside), so a failure at
// any point leaves the file as it was, or without only the removed output. Names are used
// whole, however long.

#include "main/Remove_Output.h"

#include <string>

#include "display/Tools_Graphical.h"
#include "main/Command_Codes.h"
#include "main/Console.h"
#include "main/Globals.h"
#include "result_files/Check_File.h"
#include "result_files/Input_Layer.h"
#include "result_files/Module_GZip.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"
#include "text/Fortran_Format.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

void framed(const std::string& text) {
  CONSOLE_EMPTY();
  CONSOLE_LINE(text);
  CONSOLE_EMPTY();
}

[[noreturn]] void fatal(const std::string& text) {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(text);
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

// "0.50000 s": the time with five decimals, without its blanks.
std::string time_text(float time) {
  std::string text = FORMAT_LINE("(F15.5)", {time});
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  return text + " s";
}

// The conversion has said why (an emptied file could not be read again, or the file could
// not be rewritten); only the removal itself knows, as the outputs known so far may be fewer
// than the file holds.
void report_not_removed(std::int32_t i) {
  framed(" Output not removed from " + NAME_WITHOUT_BLANKS(Result_Set.Name_Solution(i)));
}

// The conversion's settings for the format of the results; false (reported) when the
// removal cannot work on them.
bool conversion_format() {
  switch (Result_Set.Result_Format) {
    case 1: Transfer_Options.Input_Format = Transfer_Binary_Single; return true;
    case 2: Transfer_Options.Input_Format = Transfer_Binary_Double; return true;
    case 3:
      framed(" Feature not available with ASCII file(s) please convert it (them) to binary");
      return false;
    case 4: case 5: case 6: case 7:
      framed(" Feature not available with  'non-native' file(s) please convert it (them)");
      return false;
    default:
      fatal(" Unrecognised format!");
  }
}

}  // namespace

bool REMOVE_SHOWN_OUTPUT(std::int32_t i) {
  auto& r = Result_Set;
  const std::int32_t shown = r.Time_Step_Number(i);
  const int unit = Geometry_Unit + i;
  const std::string original = NAME_WITHOUT_BLANKS(r.Name_Solution(i));
  const std::string working = r.Compressed_Results ? NAME_WITHOUT_BLANKS(r.Temporary_Files(i)) : original;
  UNIT(unit).CLOSE();
  // The working copy is plain; the conversion's own refusals end this removal, not the run.
  Transfer_Options.Input_Compressed = false;
  Transfer_Options.Whole_Set = false;
  Transfer_Parse.Run_Failed = false;
  std::int32_t following = shown;
  KICK_OUT_OUTPUT(working, following, false);
  const bool removed = !Transfer_Parse.Run_Failed;
  Transfer_Parse.Run_Failed = false;
  if (removed && r.Compressed_Results) COMPRESS_FILE(working, original);
  if (OPEN_FILE(unit, working, "UNFORMATTED")) fatal(" Unexpected  (and irrecoverable) error!");
  if (r.Compressed_Results) MARK_WORKING_COPY(i);

  r.Time_Step_Number(i) = 0;
  Command_State.Time_Step_Command = 1;
  if (removed) --r.Total_Time_Steps(i);
  const std::int32_t reads = removed && following == 0 ? 1 : shown;
  for (std::int32_t k = 0; k < reads; ++k) READ_RESULT(i);
  if (!removed) report_not_removed(i);
  return removed;
}

void CALL_KICK_OUT_OUTPUT() {
  auto& r = Result_Set;
  if (!conversion_format()) return;
  Temporary_Directory = NAME_WITHOUT_BLANKS(r.Temporary_Files_Directory);
  SET_TEMPORARY_FILE_NAMES();
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i) {
    const std::string name = NAME_WITHOUT_BLANKS(r.Name_To_Be_Displayed(i));
    const std::string time = time_text(r.Time(i));
    if (!WARNING("Remove output from " + name + "?", "t = " + time, "\\fi(no 'undo' feature is available!)")) continue;
    MESSAGE("Remove output", "Removing output from " + name, "(t = " + time + ")");
    if (REMOVE_SHOWN_OUTPUT(i)) CONSOLE_LINE(" Output removed from " + NAME_WITHOUT_BLANKS(r.Name_Solution(i)));
  }
  Command_State.Command_Code = Command::Replot;
}
