// Dump_Shim.cpp - see Dump_Shim.h.
#include "Dump_Shim.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "korin_client/Client_State.h"

extern "C" int dump_pause(const char*) {
  const char* pixels = std::getenv("DUMP_PIXELS");
  const char* out_name = std::getenv("DUMP_OUT");
  if (pixels == nullptr || out_name == nullptr) return 0;
  std::ofstream out(out_name, std::ios::app);
  std::istringstream in(pixels);
  const int w = KRstate().current_window;
  for (std::string pair; std::getline(in, pair, ';');) {
    int x = 0, y = 0;
    std::istringstream(pair) >> x >> y;
    KRwincmd1(w, 'F', x, y);
    out << (static_cast<unsigned>(KRblock(w)->a[2]) & 0xFFFFFFu) << "\n";
  }
  return 0;
}

extern "C" int dump_quit(void) { return KRquitx(0); }
