// Manage_3D.cpp - see Manage_3D.h.
//
// Reads Result_Geometry (AnzX, AnzY, AnzZ) and Vector_Settings.Vector_Mode; reads and writes
// Display_Field (Cut_Direction, Cut_Index) and Command_State (Command_Code, Time_Step_Command).

#include "display/Manage_3D.h"

#include <cpgplot.h>

#include <algorithm>
#include <array>
#include <string>

#include "display/Pop_Up.h"
#include "display/Tools_Graphical.h"
#include "display/Vector_Settings.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Display_Arrays.h"
#include "result_files/Read_Results.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

// One plane orientation: the axis across it and how the console names them.
struct Orientation {
  const char* plane;  // "XY"
  const char* axis;   // "Z"
};
constexpr std::array<Orientation, 3> Orientations{{{"XY", "Z"}, {"XZ", "Y"}, {"YZ", "X"}}};

// The cell count along the axis across the plane of direction 1 to 3.
std::int32_t cells_across(std::int32_t direction) {
  const auto& g = Result_Geometry;
  return direction == 1 ? g.AnzZ : direction == 2 ? g.AnzY : g.AnzX;
}

std::string i4(std::int32_t value) { return FORMAT_LINE("(I4)", {std::int64_t{value}}); }

void plane_line(std::int32_t direction) {
  CONSOLE_LINE(std::string("Current cutting plane: ") + Orientations[static_cast<std::size_t>(direction - 1)].plane);
}

// Codes 71 to 73; false when the orientation is the current one already.
bool choose_orientation(std::int32_t direction) {
  auto& f = Display_Field;
  if (f.Cut_Direction == direction) return false;
  f.Cut_Direction = direction;
  const std::int32_t n = cells_across(direction);
  f.Cut_Index = std::max(1, n / 2);
  const std::string axis = Orientations[static_cast<std::size_t>(direction - 1)].axis;
  CONSOLE_EMPTY();
  plane_line(direction);
  CONSOLE_LINE(FORMAT_LINE("(A8,I4)", {"Anz" + axis + " = ", std::int64_t{n}}));
  CONSOLE_LINE(FORMAT_LINE("(A8,I4)", {axis + " = ", std::int64_t{f.Cut_Index}}));
  CONSOLE_EMPTY();
  ALLOCATE_ARRAYS();
  if (Vector_Settings.Vector_Mode == 2) SET_VECTOR_COMPONENTS();
  return true;
}

// Codes 74 and 75.
void move_plane(bool up) {
  auto& f = Display_Field;
  const std::int32_t n = std::max(1, cells_across(f.Cut_Direction));
  if (up) f.Cut_Index = f.Cut_Index % n + 1;
  else f.Cut_Index = f.Cut_Index - 1 <= 0 ? n : f.Cut_Index - 1;
  CONSOLE_EMPTY();
  plane_line(f.Cut_Direction);
  CONSOLE_LINE(" Number: " + i4(n));
  CONSOLE_LINE(" Cut: " + i4(f.Cut_Index));
  CONSOLE_EMPTY();
}

// An index outside 1 .. N is brought into it with a warning; N of the last valid direction
// serves for any other.
void check_range() {
  static std::int32_t last_n = 1;
  auto& f = Display_Field;
  if (f.Cut_Direction >= 1 && f.Cut_Direction <= 3) last_n = cells_across(f.Cut_Direction);
  const std::int32_t n = std::max(1, last_n);
  if (f.Cut_Index >= 1 && f.Cut_Index <= n) return;
  const std::int32_t corrected = std::clamp(f.Cut_Index, 1, n);
  CONSOLE_EMPTY(2);
  CONSOLE_LINE("  Warning: cutting plane coordinate changed from " + std::to_string(f.Cut_Index) + " to " +
               std::to_string(corrected));
  CONSOLE_EMPTY(2);
  f.Cut_Index = corrected;
}

// A centred row, underlined from its box's left to its right end.
void underlined_row(const std::string& text, float x, float y) {
  pop_up::DRAW(text, x, y, 0.5f);
  const pop_up::Text_Box box = pop_up::BOX(text, x, y, 0.5f);
  const float under = box.y[0] - box.height() / 5;
  const float line_x[2] = {box.x[0], box.x[3]}, line_y[2] = {under, under};
  cpgline(2, line_x, line_y);
}

}  // namespace

void SELECT_CUTTING_PLANE() {
  const auto& g = Result_Geometry;
  auto& f = Display_Field;
  constexpr float Width = 4.0f, Height = 2.0f;
  // The rows of x, y and z, from the top.
  constexpr std::array<float, 3> Row_Y{1.0f, 0.6f, 0.2f};
  pop_up::Window window;
  if (!window.open(Width, Height)) return;
  cpgsch(5.5f);
  const std::string title = pop_up::DRAWN("\\fiSelect cutting plane");
  pop_up::HEADING(title, 2.0f, 1.6f);
  cpgsch(3.0f);
  const std::array<std::int32_t, 3> counts{g.AnzX, g.AnzY, g.AnzZ};
  for (std::size_t k = 0; k < 3; ++k)
    underlined_row(std::string("\\fiAnz") + "XYZ"[k] + ": \\fn" + i4(counts[k]), 1.25f, Row_Y[k]);
  // Direction 1 cuts across z (the bottom row), 3 across x (the top row).
  const std::size_t answer_row = f.Cut_Direction == 1 ? 2 : f.Cut_Direction == 2 ? 1 : 0;
  Text_Field answer{i4(f.Cut_Index), 20};
  cpgebuf();
  std::int32_t tab_ended = 0;
  PGRSTR(2.0f, Row_Y[answer_row], 0.0f, answer, tab_ended);
  std::int32_t typed = 0;
  if (READ_INTEGER_FROM_TEXT(answer.text, typed) == Free_Form_Status::Ok) f.Cut_Index = typed;
  window.close();
}

void MANAGE_3D() {
  auto& command = Command_State;
  const bool plane_command = command.Command_Code >= Command::Cut_Plane_XY && command.Command_Code <= Command::Cut_Plane_Typed;
  // A result one cell deep in y is two-dimensional: it has no plane to choose, and its
  // other planes would be a line of cells.
  if (plane_command && Result_Geometry.AnzY <= 1) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(" Cutting planes only available with three-dimensional results");
    CONSOLE_EMPTY();
    return;
  }
  switch (command.Command_Code) {
    case Command::Cut_Plane_XY:
    case Command::Cut_Plane_XZ:
    case Command::Cut_Plane_YZ:
      if (!choose_orientation(command.Command_Code - Command::Cut_Plane_XY + 1)) return;
      break;
    case Command::Cut_Plane_Up:
    case Command::Cut_Plane_Down:
      move_plane(command.Command_Code == Command::Cut_Plane_Up);
      break;
    case Command::Cut_Plane_Typed:
      SELECT_CUTTING_PLANE();
      break;
    default:
      return;
  }
  check_range();
  command.Time_Step_Command = 0;
  READ_RESULTS();
  command.Command_Code = Command::Replot;
}
