// Pop_Up.cpp - see Pop_Up.h.
//
// Reads and writes Graphics_Units (Unit_Pop_Up, Unit_Current) and Command_State (the cursor);
// reads Display_Settings (Drawing_Colour_Index).
#include "display/Pop_Up.h"

#include <cpgplot.h>

#include "display/Tools_Graphical.h"
#include "korin_client/Latin1.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "text/Blanks.h"

namespace pop_up {

namespace {
constexpr float Shrink = 0.95f;
// Below this share of the start height a text counts as fitting nowhere.
constexpr float Smallest_Share = 0.01f;
}  // namespace

bool Window::open_device(std::string_view failure) {
  auto& units = Graphics_Units;
  cpgqch(&saved_height);
  CLOSE_POP_UP();
  unit = cpgopen("/CKR");
  if (unit <= 0) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(std::string(failure));
    CONSOLE_EMPTY();
    SELECT_PGPLOT_UNIT(units.Unit_Display);
    cpgsch(saved_height);
    return false;
  }
  units.Unit_Pop_Up = unit;
  SELECT_PGPLOT_UNIT(unit);
  return true;
}

bool Window::open(float width, float height, std::string_view failure) {
  if (!open_device(failure)) return false;
  cpgask(0);
  cpgbbuf();
  cpgpap(width, height / width);
  cpgpage();
  cpgsvp(0.0f, 1.0f, 0.0f, 1.0f);
  cpgswin(0.0f, width, 0.0f, height);
  cpgeras();
  cpgsfs(2);
  return true;
}

// Closing the device for real (not only its window) keeps PGPLOT's table of devices free.
void Window::close(bool restore) const {
  CLOSE_POP_UP();
  if (restore) cpgsch(saved_height);
}

std::string DRAWN(std::string_view text) { return UTF8_TO_LATIN1(WITHOUT_TRAILING_BLANKS(text)); }

Text_Box BOX(std::string_view text, float x, float y, float justification) {
  Text_Box box{};
  const std::string t(text);
  cpgqtxt(x, y, 0.0f, justification, t.c_str(), box.x, box.y);
  return box;
}

float FIT(std::string_view text, float x, float y, float justification, float h0, float limit, bool right_end) {
  float h = h0;
  for (;;) {
    cpgsch(h);
    const Text_Box box = BOX(text, x, y, justification);
    const float reach = right_end ? box.x[2] : box.width();
    if (reach <= limit || h * Shrink < h0 * Smallest_Share) return h;
    h *= Shrink;
  }
}

void DRAW(std::string_view text, float x, float y, float justification) {
  const std::string t(text);
  cpgptxt(x, y, 0.0f, justification, t.c_str());
}

void FRAME(const Text_Box& box, float dx, float dy, bool erase) {
  if (erase) cpgsci(0);
  cpgrect(box.x[0] - dx, box.x[2] + dx, box.y[0] - dy, box.y[1] + dy);
  if (erase) cpgsci(Display_Settings.Drawing_Colour_Index);
}

void HEADING(std::string_view text, float x, float y) {
  DRAW(text, x, y, 0.5f);
  const Text_Box box = BOX(text, x, y, 0.5f);
  FRAME(box, box.width() / 20, box.height() / 5);
}

char READ() {
  auto& c = Command_State;
  char key = ' ';
  cpgcurs(&c.Cursor_X, &c.Cursor_Y, &key);
  return key;
}

}  // namespace pop_up
