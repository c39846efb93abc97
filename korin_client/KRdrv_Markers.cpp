// KRdrv_Markers.cpp - PGPLOT markers as the server's combined objects: built once from the
// Hershey symbol per marker, colour and pen width, then placed with one request each.
//
// At most 256 objects per window are kept; beyond that the one placed longest ago is
// recorded again for the new marker, but only when no object of the current page places it
// (an erase deletes the page's objects, not the symbols they place).

#include <algorithm>
#include <vector>

#include "korin_client/Client_State.h"
#include "korin_client/KRdrv_State.h"
#include "korin_client/Korin.h"

extern "C" {
void grsy00_();
void grsyxd_(int* symbol, int* xygrid, int* unused);
}

namespace {

constexpr std::size_t Ring_Size = 256;
constexpr int Stroke_Capacity = 146;
constexpr int Marker_Symbols[32] = {841, 899, 845, 847, 840, 846, 841, 842, 2284, 2281, 735, 843, 844, 852, 866, 868,
                                    851, 850, 856, 254, 900, 901, 902, 903, 904, 905, 906, 907, 2263, 2261, 2262, 2264};

}  // namespace

int KRdrvmarker(int symbol, int object) {
  KRdrv_Globals& g = KRdrv();
  if (!g.font_loaded) {
    grsy00_();
    g.font_loaded = true;
  }
  int grid[300] = {};
  int unused = 0;
  grsyxd_(&symbol, grid, &unused);
  KRdrv_dump("// Symbol #%d = %s: \n", symbol, unused ? "unused" : "used");
  KRdrv_dump("//   X range = %f, %f, Y range = %f, %f, %f\n", static_cast<double>(grid[3]), static_cast<double>(grid[4]),
             static_cast<double>(grid[0]), static_cast<double>(grid[1]), static_cast<double>(grid[2]));
  if (unused) return 0;
  const int made = KRbegincmb(object, 100, 100);
  if (made <= 0) return 0;
  KRdrv_dump("\tKRbegincmb(0, 100.0f, 100.0f);\n");
  std::vector<float> stroke;
  for (int i = 5; i + 1 < 300; i += 2) {
    const int x = grid[i], y = grid[i + 1];
    if (x == -64 && y == -64) break;
    if (x == -64) {
      KRdrv_draw_points(stroke);
      stroke.clear();
      continue;
    }
    if (static_cast<int>(stroke.size() / 2) < Stroke_Capacity)
      stroke.insert(stroke.end(), {static_cast<float>(x + 50), static_cast<float>(y + 50)});
  }
  KRdrv_draw_points(stroke);
  const int number = KRendcmb();
  KRdrv_dump("\tKRendcmb();\n");
  return number;
}

void KRdrv_marker(const float* rbuf) {
  KRdrvstate* r = KRdrv_record();
  const int marker = static_cast<int>(rbuf[0] + 0.5f);
  if (r == nullptr || marker < 0 || marker > 31) return;
  const int colour = r->colours[static_cast<std::size_t>(r->colour_index)];
  auto same = [&](const KRdrv_Marker& m) { return m.marker == marker && m.colour == colour && m.width == r->pen_width; };
  auto it = std::find_if(r->markers.begin(), r->markers.end(), same);
  if (it == r->markers.end()) {
    KRdrv_Marker entry{marker, colour, r->pen_width, 0, r->page};
    int reuse = 0;
    if (r->markers.size() >= Ring_Size) {
      auto oldest = std::min_element(r->markers.begin(), r->markers.end(),
                                     [](const KRdrv_Marker& a, const KRdrv_Marker& b) { return a.last_page < b.last_page; });
      if (oldest->last_page < r->page) {
        reuse = oldest->object;
        r->markers.erase(oldest);
      }
    }
    entry.object = KRdrvmarker(Marker_Symbols[marker], reuse);
    if (entry.object <= 0) return;
    r->markers.push_back(entry);
    it = r->markers.end() - 1;
  }
  it->last_page = r->page;
  const float size = 100 * rbuf[3];
  KRputcmb(it->object, rbuf[1], rbuf[2], size, size, 0);
  KRdrv_dump("\tKRputcmb(%d, %f, %f, %f, %f, 0);\n", it->object, rbuf[1], rbuf[2], size, size);
}
