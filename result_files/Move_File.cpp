// MOVE_FILE: renames a file, optionally reporting the result.
//
// Reads: the old file's existence. Writes: renames the file (an existing target is
// replaced atomically); console lines when reporting. Global records: none.
//
// Success is the rename's own result: a target that happened to exist before does not make
// a failed rename look like a success.

#include "result_files/Move_File.h"

#include <cstdio>  // std::rename

#include <string>

#include "platform/Io_Fault.h"
#include "records/Console.h"
#include "result_files/Check_File.h"

bool MOVE_FILE(std::string_view from, std::string_view to, bool report) {
  const std::string old_name = NAME_WITHOUT_BLANKS(from);
  const std::string new_name = NAME_WITHOUT_BLANKS(to);
  if (!FILE_EXISTS(old_name)) return false;
  const bool moved = !IO_FAULT_HIT(Io_Kind::Other) && std::rename(old_name.c_str(), new_name.c_str()) == 0;
  if (report) {
    if (!moved) {
      CONSOLE_EMPTY();
      CONSOLE_LINE(" Unable to rename file: from " + old_name);
      CONSOLE_LINE("to " + new_name);
      CONSOLE_EMPTY();
      STOP_PROGRAM();
    }
    CONSOLE_LINE(" File: " + old_name + " renamed to " + new_name);
  }
  return moved;
}
