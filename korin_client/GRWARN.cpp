// GRWARN and GRPROM: the library prints these on standard output; standard output belongs
// to the program's own answers, so they go to the console stream (standard error).

#include <cstdio>
#include <iostream>

#include "korin_client/PGPLOT_Fortran.h"

std::string fortran_text(const char* text, std::size_t len) {
  while (len > 0 && (text[len - 1] == ' ' || text[len - 1] == '\0')) --len;
  return std::string(text, len);
}

void grwarn_text(std::string_view text) {
  std::cerr << "%PGPLOT, " << text << '\n' << std::flush;
}

extern "C" void grwarn_(const char* text, std::size_t text_len) {
  grwarn_text(fortran_text(text, text_len));
}

extern "C" void grprom_() {
  std::cerr << "Type <RETURN> for next page: " << std::flush;
  int c;
  do {
    c = std::getchar();
  } while (c != '\n' && c != EOF);
}
