// Text_Output: a text file the user asked for, written beside its name and put in place
// in one rename when it is complete (result_files/File_Replacement.h). Lines end with LF.
//
// A failure (the file cannot be made, written or renamed) is reported once on the console
// with the name and the reason; the old file, if any, stays as it was and no working file
// remains. The session goes on.
#pragma once

#include <string>
#include <string_view>

#include "result_files/File_Replacement.h"

class Text_Output {
 public:
  // Starts the file; false (reported) when it cannot be made.
  bool OPEN(const std::string& name);
  // Appends text and a line end; buffered. Nothing happens after a failure.
  void LINE(std::string_view text);
  // The buffer lines are built in, for writers that append fields directly; END_LINE ends it.
  std::string& BUFFER() { return buffer_; }
  void END_LINE();
  // Writes the rest and puts the file in place; false (reported) on any failure.
  bool CLOSE();

 private:
  void flush_if_full();
  bool write_buffer();
  bool fail(const std::string& reason);
  File_Replacement file_;
  std::string buffer_;
  bool failed_ = false;
};
