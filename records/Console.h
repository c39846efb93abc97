// The console of the display program: standard error, one message per line.
//
// A fatal stop throws Program_Stop after its lines are written; the program's main
// catches it, closes the result files, deletes the working copies and exits with 1.
// Tests point the console at a string to compare transcripts.
#pragma once

#include <ostream>
#include <string_view>

// Writes one console line (a line end is added).
void CONSOLE_LINE(std::string_view text);

// Writes n empty lines.
void CONSOLE_EMPTY(int n = 1);

// Flushes the console stream.
void CONSOLE_FLUSH();

// Redirects the console to the given stream (nullptr: standard error again).
void SET_CONSOLE_STREAM(std::ostream* stream);

// Thrown by STOP_PROGRAM; carries the exit code.
struct Program_Stop {
  int exit_code;
};

// Ends the program after a fatal message: the main program catches the exception,
// tidies up and exits with the code.
[[noreturn]] void STOP_PROGRAM(int exit_code = 1);
