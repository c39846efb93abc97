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

#include <fcntl.h>     // open
#include <sys/stat.h>  // stat
#include <unistd.h>    // pread, close

#include <cstring>     // std::memcpy
#include <string>
#include <vector>

#include "display/Tools_Graphical.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
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

// How many outputs followed the one the last removal took out (0: it was the last).
std::int32_t last_following = 0;

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

namespace {

// The file a name leads to (links followed); unknown when it cannot be looked at.
struct File_Identity {
  bool known = false;
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const File_Identity& other) const {
    return known && other.known && device == other.device && inode == other.inode;
  }
};

File_Identity identity(const std::string& name) {
  struct stat st;
  if (::stat(NAME_WITHOUT_BLANKS(name).c_str(), &st) != 0) return {};
  return {true, st.st_dev, st.st_ino};
}

// The time of output k (from 1) of a binary result file of the case's encoding, read from
// the file itself; false when the file has no such output.
bool output_time(const std::string& name, std::int32_t k, float& time) {
  const auto& g = Result_Geometry;
  const std::int64_t offset = (k - 1) * RECORD_SIZE(std::int64_t{g.AnzX} * g.AnzY * g.AnzZ) + 4;
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char bytes[8];
  const bool doubled = Result_Set.Result_Format == 2;
  const std::size_t size = doubled ? 8 : 4;
  const bool read = k >= 1 && ::pread(fd, bytes, size, offset) == static_cast<ssize_t>(size);
  ::close(fd);
  if (!read) return false;
  if (doubled) {
    double value;
    std::memcpy(&value, bytes, size);
    time = static_cast<float>(value);
  } else {
    std::memcpy(&time, bytes, size);
  }
  return true;
}

}  // namespace

bool REMOVE_SHOWN_OUTPUT(std::int32_t i) { return REMOVE_SHOWN_OUTPUT(i, Result_Set.Time(i), {}); }

bool REMOVE_SHOWN_OUTPUT(std::int32_t i, float confirmed, const Earlier_Removal& earlier) {
  auto& r = Result_Set;
  const std::int32_t shown = r.Time_Step_Number(i);
  const int unit = Geometry_Unit + i;
  const std::string original = NAME_WITHOUT_BLANKS(r.Name_Solution(i));
  const std::string working = r.Compressed_Results ? NAME_WITHOUT_BLANKS(r.Temporary_Files(i)) : original;
  UNIT(unit).CLOSE();
  std::int32_t following = earlier.following;
  bool removed = true;
  // A removal through another name of this file may have changed it already.
  const bool working_done = earlier.working && identity(working) == identity(*earlier.working);
  const bool original_done = earlier.original && identity(original) == identity(*earlier.original);
  if (!working_done) {
    float time;
    if (!output_time(working, shown, time) || time != confirmed) {
      framed(" Output " + std::to_string(shown) + " of " + original + " is no longer the one at t = " +
             time_text(confirmed));
      removed = false;
    } else {
      // The working copy is plain; the conversion's own refusals end this removal, not the run.
      Transfer_Options.Input_Compressed = false;
      Transfer_Options.Whole_Set = false;
      Transfer_Parse.Run_Failed = false;
      following = shown;
      KICK_OUT_OUTPUT(working, following, false);
      removed = !Transfer_Parse.Run_Failed;
      Transfer_Parse.Run_Failed = false;
    }
  }
  if (removed && r.Compressed_Results && !original_done) COMPRESS_FILE(working, original);
  if (OPEN_FILE(unit, working, "UNFORMATTED")) fatal(" Unexpected  (and irrecoverable) error!");
  if (r.Compressed_Results) MARK_WORKING_COPY(i);

  r.Time_Step_Number(i) = 0;
  Command_State.Time_Step_Command = 1;
  if (removed) --r.Total_Time_Steps(i);
  const std::int32_t reads = removed && following == 0 ? 1 : shown;
  for (std::int32_t k = 0; k < reads; ++k) READ_RESULT(i);
  if (!removed) report_not_removed(i);
  last_following = following;
  return removed;
}

void CALL_KICK_OUT_OUTPUT() {
  auto& r = Result_Set;
  if (!conversion_format()) return;
  Temporary_Directory = NAME_WITHOUT_BLANKS(r.Temporary_Files_Directory);
  SET_TEMPORARY_FILE_NAMES();
  const auto n = static_cast<std::size_t>(r.Number_Of_Solutions);
  // A file given twice (the same name, a link) is asked about once; the names are compared
  // as they were before anything was removed, as a removal gives a name a new file.
  std::vector<File_Identity> file(n + 1);
  for (std::size_t i = 1; i <= n; ++i) file[i] = identity(r.Name_Solution(static_cast<std::int32_t>(i)));
  std::vector<bool> removed(n + 1, false);
  std::vector<float> confirmed(n + 1, 0.0f);
  std::vector<std::int32_t> following(n + 1, 0);
  for (std::size_t i = 1; i <= n; ++i) {
    const auto fi = static_cast<std::int32_t>(i);
    std::size_t first = i;
    for (std::size_t j = 1; j < i && first == i; ++j)
      if (file[j] == file[i]) first = j;
    const std::string name = NAME_WITHOUT_BLANKS(r.Name_To_Be_Displayed(fi));
    if (first != i) {
      if (!removed[first]) continue;  // refused (or failed) under its first name
      const auto fj = static_cast<std::int32_t>(first);
      const std::string earlier_working =
          NAME_WITHOUT_BLANKS(r.Compressed_Results ? r.Temporary_Files(fj) : r.Name_Solution(fj));
      const std::string earlier_original = NAME_WITHOUT_BLANKS(r.Name_Solution(fj));
      removed[i] = REMOVE_SHOWN_OUTPUT(fi, confirmed[first], {&earlier_working, &earlier_original, following[first]});
      confirmed[i] = confirmed[first];
      following[i] = last_following;
      continue;
    }
    const std::string time = time_text(r.Time(fi));
    if (!WARNING("Remove output from " + name + "?", "t = " + time, "\\fi(no 'undo' feature is available!)")) continue;
    MESSAGE("Remove output", "Removing output from " + name, "(t = " + time + ")");
    confirmed[i] = r.Time(fi);
    removed[i] = REMOVE_SHOWN_OUTPUT(fi, confirmed[i], {});
    following[i] = last_following;
    if (removed[i]) CONSOLE_LINE(" Output removed from " + NAME_WITHOUT_BLANKS(r.Name_Solution(fi)));
  }
  Command_State.Command_Code = Command::Replot;
}
