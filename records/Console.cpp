// Console stream of the display program (standard error unless a test redirects it).

#include "records/Console.h"

#include <iostream>

namespace {
std::ostream* console_stream = nullptr;

std::ostream& console() { return console_stream ? *console_stream : std::cerr; }
}  // namespace

void CONSOLE_LINE(std::string_view text) { console() << text << '\n'; }

void CONSOLE_EMPTY(int n) {
  for (int i = 0; i < n; ++i) console() << '\n';
}

void CONSOLE_FLUSH() { console().flush(); }

void SET_CONSOLE_STREAM(std::ostream* stream) { console_stream = stream; }

void STOP_PROGRAM(int exit_code) {
  CONSOLE_FLUSH();
  throw Program_Stop{exit_code};
}
