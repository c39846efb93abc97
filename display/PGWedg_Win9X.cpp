// PGWedg_Win9X: colour wedge drawn through the plotting library's public routines only.
//
// Reads:   the selected device's viewport, window and character height.
// Writes:  the wedge on the selected device; the library's state is restored afterwards.
// Keeps between calls: the image-or-grey choice (grey before the first call), as a side
// letter other than I or G keeps the previous one.

#include "display/PGWedg_Win9X.h"

#include <cpgplot.h>

#include <algorithm>  // std::min, std::max
#include <array>
#include <cctype>     // std::toupper
#include <string>

#include "display/Image_Strips.h"
#include "korin_client/PGPLOT_Fortran.h"

extern "C" int pgnoto_(const char* routine, std::size_t routine_len);  // LOGICAL PGNOTO(RTN)

namespace {

constexpr int Strip_Elements = 100;
constexpr float Strip_Share = 0.2f;  // the strip's share of the wedge band
constexpr float Band_Share = 0.4f;   // the band's share of WIDTH; the numbers take the rest

bool image_colours = false;          // PGIMAG rather than PGGRAY

void warn_side() {
  const char text[] = "Invalid \"SIDE\" argument in PGWEDG.";
  grwarn_(text, sizeof text - 1);
}

bool blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// The wedge with its coloured strip filling strip_share of the band next to the image.
void wedge(std::string_view SIDE, float DISP, float WIDTH, float FG, float BG, std::string_view LABEL,
           float strip_share) {
  const char side = SIDE.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(SIDE[0])));
  if (side != 'B' && side != 'T' && side != 'L' && side != 'R') {
    warn_side();
    return;
  }
  const bool horizontal = side == 'B' || side == 'T';
  if (SIDE.size() == 1) {
    image_colours = false;
  } else {
    const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(SIDE[1])));
    if (kind == 'I') image_colours = true;
    else if (kind == 'G') image_colours = false;
    else warn_side();
  }

  cpgbbuf();
  float wx1, wx2, wy1, wy2, xa, xb, ya, yb, h0;
  cpgqwin(&wx1, &wx2, &wy1, &wy2);
  cpgqvp(0, &xa, &xb, &ya, &yb);
  cpgqch(&h0);

  // Unit character size in normalised device coordinates, across the wedge.
  cpgsch(1.0f);
  float xch, ych;
  cpgqcs(0, &xch, &ych);
  const float u = horizontal ? ych : xch;
  const float vw = WIDTH * u * h0;
  const float vd = DISP * u * h0;
  const float label_room = blank(LABEL) ? 2.2f : 3.2f;
  cpgsch(0.6f * vw / (label_room * u));
  const float w = Band_Share * vw;
  const float s = strip_share * w;

  // Viewport of a layer of the given thickness next to the image.
  auto set_layer = [&](float thickness) {
    switch (side) {
      case 'B': cpgsvp(xa, xb, ya - vd - thickness, ya - vd); break;
      case 'T': cpgsvp(xa, xb, yb + vd, yb + vd + thickness); break;
      case 'L': cpgsvp(xa - vd - thickness, xa - vd, ya, yb); break;
      default: cpgsvp(xb + vd, xb + vd + thickness, ya, yb); break;
    }
  };

  const float low = std::min(FG, BG), high = std::max(FG, BG);
  std::array<float, Strip_Elements> strip;
  for (int i = 0; i < Strip_Elements; ++i) strip[i] = low + static_cast<float>(i) * (high - low) / (Strip_Elements - 1);
  const float tr[6] = {0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
  auto draw_strip = [&](int nx, int ny) {
    if (image_colours) IMAGE_STRIPS(strip.data(), nx, ny, 1, nx, 1, ny, FG, BG, tr);
    else GRAY_STRIPS(strip.data(), nx, ny, 1, nx, 1, ny, FG, BG, tr);
  };

  set_layer(s);
  if (horizontal) {
    cpgswin(1.0f, Strip_Elements, 0.9f, 1.1f);
    draw_strip(Strip_Elements, 1);
    cpgswin(low, high, 0.0f, 1.0f);
  } else {
    cpgswin(0.9f, 1.1f, 1.0f, Strip_Elements);
    draw_strip(1, Strip_Elements);
    cpgswin(0.0f, 1.0f, low, high);
  }

  set_layer(w);
  switch (side) {
    case 'B': cpgbox("BCNST", 0.0f, 0, "BC", 0.0f, 0); break;
    case 'T': cpgbox("BCMST", 0.0f, 0, "BC", 0.0f, 0); break;
    case 'L': cpgbox("BC", 0.0f, 0, "BCNST", 0.0f, 0); break;
    default: cpgbox("BC", 0.0f, 0, "BCMST", 0.0f, 0); break;
  }
  if (!blank(LABEL)) cpgmtxt(std::string(SIDE).c_str(), 2.2f, 1.0f, 1.0f, std::string(LABEL).c_str());

  cpgsvp(xa, xb, ya, yb);
  cpgswin(wx1, wx2, wy1, wy2);
  cpgsch(h0);
  cpgebuf();
}

}  // namespace

void PGWEDG_WIN9X(std::string_view SIDE, float DISP, float WIDTH, float FG, float BG, std::string_view LABEL) {
  if (pgnoto_("PGWEDG", 6)) return;
  wedge(SIDE, DISP, WIDTH, FG, BG, LABEL, Strip_Share);
}

void PGWEDG_WHOLE(std::string_view SIDE, float DISP, float WIDTH, float FG, float BG, std::string_view LABEL) {
  if (pgnoto_("PGWEDG", 6)) return;
  wedge(SIDE, DISP, WIDTH, FG, BG, LABEL, 1.0f);
}
