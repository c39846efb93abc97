// Korin_Stuff.cpp - see Korin_Stuff.h.
//
// Reads: Display_Field's zoom window. Writes: Frame_Factors.

#include "display/Korin_Stuff.h"

#include <cpgplot.h>

#include <algorithm>

#include "korin_client/Client_Report.h"
#include "korin_client/Client_State.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Upper.h"
#include "korin_client/KRDRIV.h"
#include "records/Globals.h"

namespace {

// The module's scratch record.
struct Korin_Scratch {
  int status = 0;
  int first_window = 0;
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
  float X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;
  int sizes[4] = {};
} scratch;

float to_cells(float v, float low, float high, int from, int to) {
  const float u = high != low ? std::clamp((v - low) / (high - low), 0.0f, 1.0f) : 0.0f;
  return static_cast<float>(from) + u * static_cast<float>(to - from);
}

}  // namespace

void KORIN_CLOSE(int mode) {
  Korin_Scratch& s = scratch;
  KRFIRSTWN(s.first_window);
  if (mode == 2) {
    // A device of the plotting library showing the window is closed with it, so that none
    // stays in its table; the main display is never closed here.
    const int current = KRstate().current_window;
    if (current > 0 && current != s.first_window) {
      if (KRDRIV_WINDOW() == current) {
        cpgclos();
      } else {
        int w = 0;
        KRCLOSE(s.status, w);
      }
    }
  }
  if (mode >= 1 && mode <= 3) {
    int w = s.first_window;
    KRSELECT(s.status, w);
  }
  if (mode == 1 || mode == 2) KRSHOWWN(s.status, s.first_window, 5);
  if (mode == 4) {
    // The end's quit is the next request after the last command: a server that went away
    // meanwhile ends the program as a redraw that finds it gone does.
    const bool connected = KRstate().server_window != 0 && !KRstate().quit_done;
    KRQUITX(s.status, 0);
    if (connected && s.status == 0) KRfatal(Korin_Message::Window_Closed);
  }
}

void KORIN_CURSOR(int mode, int& ix1, int& iy1, int* ix2, int* iy2, int* ix3, int* iy3) {
  Korin_Scratch& s = scratch;
  KRSHOWFR(s.status, 11);
  KRSHOWFR(s.status, 12);
  KORIN_CLOSE(1);
  switch (mode) {
    case 1:
      KRPICKPT(s.status, s.x1, s.y1, "");
      break;
    case 2:
      KRPICKRC(s.status, s.x1, s.y1, s.x2, s.y2, "");
      break;
    case 3:
      KRPICKLN(s.status, s.x1, s.y1, s.x2, s.y2, "");
      break;
    case 4:
      KRPICKRC(s.status, s.x1, s.y1, s.x2, s.y2, "");
      KRLINE(s.status, s.x1, s.y1, s.x2, s.y2);
      KRPICKRB(s.status, s.x1, s.y1, s.x3, s.y3, "");
      break;
    default:
      break;
  }
  cpgqvp(3, &s.X1, &s.X2, &s.Y1, &s.Y2);
  const auto& z = Display_Field;
  auto x_cell = [&](float x) { return static_cast<int>(to_cells(x, s.X1, s.X2, z.Zoom_X_From, z.Zoom_X_To)); };
  auto y_cell = [&](float y) { return static_cast<int>(to_cells(y, s.Y1, s.Y2, z.Zoom_Y_From, z.Zoom_Y_To)); };
  ix1 = x_cell(s.x1), iy1 = y_cell(s.y1);
  if (ix2) *ix2 = x_cell(s.x2);
  if (iy2) *iy2 = y_cell(s.y2);
  if (ix3) *ix3 = x_cell(s.x3);
  if (iy3) *iy3 = y_cell(s.y3);
}

void KORIN_FRAME_SIZE() {
  Korin_Scratch& s = scratch;
  KRDIMS(s.status, channel::Size_View, s.sizes[0], s.sizes[1]);
  KRDIMS(s.status, channel::Size_Page_Resolution, s.sizes[2], s.sizes[3]);
  if (s.sizes[2] <= 0 || s.sizes[3] <= 0) return;  // no answer: the factors stay
  Frame_Factors.Frame_Factor_X = static_cast<float>(s.sizes[0]) / static_cast<float>(s.sizes[2]) * 4.5f;
  Frame_Factors.Frame_Factor_Y = static_cast<float>(s.sizes[1]) / static_cast<float>(s.sizes[3]) * 4.5f;
}
