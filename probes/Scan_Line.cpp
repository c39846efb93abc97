// Scan_Line: the pickers of the probes' shared line or point.
//
// Reads:  Display_Field (zoom window, cut plane size, One_D_Display, Cut_Direction),
//         Result_Geometry (AnzX, AnzY, AnzZ), Panel_Grid, Command_State (code, cursor).
// Writes: Scan_Line, Graphics_Units (the pop-up window), the console; draws in the main
//         display and the pop-up window.

#include "probes/Scan_Line.h"

#include <cpgplot.h>

#include <algorithm>
#include <cmath>

#include "display/Korin_Stuff.h"
#include "display/Manage_Display.h"
#include "display/Pop_Up.h"
#include "display/Tools_Graphical.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

constexpr int Field_Length = 20;

// A one-cell-thick field keeps its only column or row.
void one_cell_thick(std::int32_t& x1, std::int32_t& y1, std::int32_t& x2, std::int32_t& y2) {
  const auto& f = Display_Field;
  if (!f.One_D_Display) return;
  if (f.Cut_Size_X == 1) x1 = x2 = 1;
  if (f.Cut_Size_Y == 1) y1 = y2 = 1;
}

// Draws the preview in the current panel (a grid past its first panel is re-entered).
template <typename Draw>
void preview(Draw draw) {
  const auto& g = Display_Settings.Panel_Grid;
  const bool re_enter = g.Current_Panel_X + g.Current_Panel_Y > 1;
  if (re_enter) cpgpanl(1, g.Current_Panel_Y);
  draw();
  if (re_enter) cpgpanl(g.Current_Panel_X, g.Current_Panel_Y);
  cpgupdt();
}

// True when the user asks for the pick again: a right click ("X"), "x" or character 0.
bool pick_again(const char* what) {
  CONSOLE_LINE("Press right mouse button or x to redraw");
  CONSOLE_LINE(std::string(" or any key to accept scannning ") + what);
  char key = ' ';
  cpgcurs(&Command_State.Cursor_X, &Command_State.Cursor_Y, &key);
  return key == 'X' || key == 'x' || key == '\0';
}

bool along_x(std::int32_t code) { return code == Command::Line_Scan_X; }

}  // namespace

void VIRTUAL_EDX_DISPLAY_SCAN_LINE() {
  Scan_Line.Probe_Overlay = true;
  MANAGE_DISPLAY();
  Scan_Line.Probe_Overlay = false;
}

void VIRTUAL_EDX_SELECT(bool confirm) {
  auto& s = Scan_Line;
  do {
    CONSOLE_EMPTY();
    CONSOLE_LINE(confirm ? "Set scan line by holding down the mouse's left button"
                         : "Set line by holding down the mouse's left button");
    KORIN_CURSOR(2, s.Scan_X1, s.Scan_Y1, &s.Scan_X2, &s.Scan_Y2);
    one_cell_thick(s.Scan_X1, s.Scan_Y1, s.Scan_X2, s.Scan_Y2);
    preview([&] {
      const float x[2] = {static_cast<float>(s.Scan_X1), static_cast<float>(s.Scan_X2)};
      const float y[2] = {static_cast<float>(s.Scan_Y1), static_cast<float>(s.Scan_Y2)};
      PLOT_LINE(2, x, y);
    });
  } while (confirm && pick_again("line"));
  VIRTUAL_EDX_DISPLAY_SCAN_LINE();
}

void SCAN_POINT_SELECT(bool confirm) {
  auto& s = Scan_Line;
  do {
    if (confirm) {
      CONSOLE_EMPTY();
      CONSOLE_LINE("Set scan point");
    }
    KORIN_CURSOR(1, s.Scan_X1, s.Scan_Y1);
    one_cell_thick(s.Scan_X1, s.Scan_Y1, s.Scan_X1, s.Scan_Y1);
    s.Scan_X2 = s.Scan_X1;
    s.Scan_Y2 = s.Scan_Y1;
    preview([&] { PLOT_POINT(static_cast<float>(s.Scan_X1), static_cast<float>(s.Scan_Y1)); });
  } while (confirm && pick_again("point"));
  VIRTUAL_EDX_DISPLAY_SCAN_LINE();
}

std::string LINESCAN_PRESET(std::int32_t code) {
  const auto& f = Display_Field;
  const double middle = along_x(code) ? (f.Zoom_Y_From + f.Zoom_Y_To) / 2.0 : (f.Zoom_X_From + f.Zoom_X_To) / 2.0;
  std::string text = FORMAT_LINE("(I4)", {static_cast<std::int64_t>(std::round(middle))});
  text.resize(Field_Length, ' ');
  return text;
}

std::int32_t LINESCAN_COORDINATE(std::int32_t code, const std::string& typed) {
  const auto& f = Display_Field;
  std::int32_t value = 0;
  if (READ_INTEGER_FROM_TEXT(typed, value) != Free_Form_Status::Ok)
    value = along_x(code) ? (f.Zoom_Y_From + f.Zoom_Y_To) / 2 : (f.Zoom_X_From + f.Zoom_X_To) / 2;
  const std::int32_t last = along_x(code) ? std::min(f.Cut_Size_Y, f.Display_Size_Y)
                                          : std::min(f.Cut_Size_X, f.Display_Size_X);
  return std::max(std::min(value, last), 1);
}

void VIRTUAL_EDX_LINESCAN() {
  const std::int32_t code = Command_State.Command_Code;
  const auto& f = Display_Field;
  auto& s = Scan_Line;
  // A field one cell thick across the asked line needs no question and no redraw.
  if (f.One_D_Display && along_x(code) && f.Cut_Size_Y == 1) {
    s.Scan_X1 = f.Zoom_X_From, s.Scan_X2 = f.Zoom_X_To, s.Scan_Y1 = s.Scan_Y2 = 1;
    return;
  }
  if (f.One_D_Display && !along_x(code) && f.Cut_Size_X == 1) {
    s.Scan_X1 = s.Scan_X2 = 1, s.Scan_Y1 = f.Zoom_Y_From, s.Scan_Y2 = f.Zoom_Y_To;
    return;
  }
  pop_up::Window window;
  if (!window.open(4.0f, 2.0f)) return;
  const std::string title = std::string("LineScan ") + (along_x(code) ? "X" : "Y");
  cpgsch(8.0f);
  pop_up::DRAW("\\fi " + title, 2.0f, 1.6f, 0.5f);
  const pop_up::Text_Box heading = pop_up::BOX("\\fi" + title, 2.0f, 1.6f, 0.5f);
  pop_up::FRAME(heading, heading.width() / 20.0f, heading.height() / 5.0f);
  cpgsch(3.0f);
  const auto& geo = Result_Geometry;
  const std::pair<const char*, std::int32_t> rows[3] = {{"AnzX", geo.AnzX}, {"AnzY", geo.AnzY}, {"AnzZ", geo.AnzZ}};
  const float heights[3] = {1.0f, 0.6f, 0.2f};
  for (int r = 0; r < 3; ++r) {
    const std::string text = FORMAT_LINE("(A,I4)", {std::string("\\fi") + rows[r].first + ": \\fn", std::int64_t{rows[r].second}});
    pop_up::DRAW(text, 1.25f, heights[r], 0.5f);
    const pop_up::Text_Box box = pop_up::BOX(text, 1.25f, heights[r], 0.5f);
    const float below = box.y[0] - box.height() / 5.0f;
    const float lx[2] = {box.x[0], box.x[2]}, ly[2] = {below, below};
    cpgline(2, lx, ly);
  }
  cpgebuf();
  // The row of the asked axis: the display's vertical axis for 95, its horizontal for 96.
  const int row = along_x(code) ? (f.Cut_Direction == 1 ? 1 : 2) : (f.Cut_Direction == 3 ? 1 : 0);
  Text_Field typed{LINESCAN_PRESET(code), Field_Length};
  std::int32_t tab_ended = 0;  // a TAB ends the entry like any other ending key
  PGRSTR(2.25f, heights[row], 0.0f, typed, tab_ended);
  const std::int32_t value = LINESCAN_COORDINATE(code, typed.text);
  if (along_x(code)) {
    s.Scan_X1 = f.Zoom_X_From, s.Scan_X2 = f.Zoom_X_To, s.Scan_Y1 = s.Scan_Y2 = value;
  } else {
    s.Scan_X1 = s.Scan_X2 = value, s.Scan_Y1 = f.Zoom_Y_From, s.Scan_Y2 = f.Zoom_Y_To;
  }
  window.close();
  VIRTUAL_EDX_DISPLAY_SCAN_LINE();
}
