// Zoom: changes Zoom_Window and keeps the box before as Previous_Zoom_Window.
//
// Reads:   Display_Field (sizes, One_D_Display, Cut_Size_X/Y), Command_Code.
// Writes:  Display_Field zoom windows, Command_Code (23).

#include "display/Zoom.h"

#include <algorithm>

#include "display/Korin_Stuff.h"
#include "records/Console.h"
#include "records/Globals.h"

namespace {

struct Box {
  int x_from, x_to, y_from, y_to;
};

Box current() {
  const auto& f = Display_Field;
  return {f.Zoom_X_From, f.Zoom_X_To, f.Zoom_Y_From, f.Zoom_Y_To};
}

void set_current(const Box& b) {
  auto& f = Display_Field;
  f.Zoom_X_From = b.x_from, f.Zoom_X_To = b.x_to, f.Zoom_Y_From = b.y_from, f.Zoom_Y_To = b.y_to;
}

void set_previous(const Box& b) {
  auto& f = Display_Field;
  f.Previous_Zoom_X_From = b.x_from, f.Previous_Zoom_X_To = b.x_to;
  f.Previous_Zoom_Y_From = b.y_from, f.Previous_Zoom_Y_To = b.y_to;
}

// One direction of a picked box: ordered, and at least two cells wide within the old range.
void order_and_widen(int& lo, int& hi, int old_from, int old_to) {
  if (lo > hi) std::swap(lo, hi);
  if (hi - lo < 2) {
    lo = std::max(old_from, lo - 1);
    hi = std::min(old_to, hi + 1);
  }
}

}  // namespace

void ZOOM_TO(int x1, int y1, int x2, int y2) {
  const auto& f = Display_Field;
  const Box old = current();
  if (f.One_D_Display && f.Cut_Size_X == 1) x1 = 1, x2 = f.Display_Size_X;
  if (f.One_D_Display && f.Cut_Size_Y == 1) y1 = 1, y2 = f.Display_Size_Y;
  order_and_widen(x1, x2, old.x_from, old.x_to);
  order_and_widen(y1, y2, old.y_from, old.y_to);
  set_current({x1, x2, y1, y2});
}

void ZOOM() {
  const auto& f = Display_Field;
  auto& code = Command_State.Command_Code;
  const Box old = current();
  if (code == 40)
    set_current({f.Previous_Zoom_X_From, f.Previous_Zoom_X_To, f.Previous_Zoom_Y_From, f.Previous_Zoom_Y_To});
  if (code == 39) set_current({1, f.Display_Size_X, 1, f.Display_Size_Y});
  if (code == 38) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Set zoom box by holding right mouse's button");
    CONSOLE_LINE(" (The selection can then be adjusted or accepted with a right click)");
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    KORIN_CURSOR(3, x1, y1, &x2, &y2);
    ZOOM_TO(x1, y1, x2, y2);
  }
  set_previous(old);
  code = 23;
}
