// Our replacements of PGPLOT's console routines, and helpers for Fortran texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

extern "C" {
// GRWARN(TEXT): a library warning, sent to the console stream instead of standard output.
void grwarn_(const char* text, std::size_t text_len);
// GRPROM: the page prompt, on the console stream; waits for a line on standard input.
void grprom_();
}

// Writes one PGPLOT warning line to the console stream.
void grwarn_text(std::string_view text);

// A Fortran CHARACTER argument as a C++ string, trailing blanks dropped.
std::string fortran_text(const char* text, std::size_t len);
