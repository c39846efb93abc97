// DELETE_FILE: deletes a file if it exists, optionally reporting the result.
//
// Reads: the file's existence. Writes: removes the file; console lines when reporting.
// Global records: none.

#include "result_files/Delete_File.h"

#include <unistd.h>  // unlink

#include <string>

#include "platform/Io_Fault.h"
#include "records/Console.h"
#include "result_files/Check_File.h"

bool DELETE_FILE(std::string_view name, bool report) {
  const std::string file = NAME_WITHOUT_BLANKS(name);
  if (!FILE_EXISTS(file)) return false;
  const bool removed = !IO_FAULT_HIT(Io_Kind::Other) && ::unlink(file.c_str()) == 0;
  const bool gone = removed || !FILE_EXISTS(file);
  if (report) {
    if (!gone) {
      CONSOLE_EMPTY();
      CONSOLE_LINE(" Unable to delete file: " + file);
      CONSOLE_EMPTY();
      STOP_PROGRAM();
    }
    CONSOLE_LINE(" File: " + file + " deleted");
  }
  return gone;
}
