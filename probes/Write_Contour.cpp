// Write_Contour: contour point lists.
//
// Reads:  Command_State.Command_Code, Display_Field (zoom window, cut, Array_to_be_displayed),
//         Result_Geometry.Grid_Spacing, Result_Set, Isoline_Data, Output_Settings.
// Writes: Contour_State, Output_Settings (names), the list files and the console; the batch
//         moves every file through its outputs.

#include "probes/Write_Contour.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "display/Output_File_Names.h"
#include "display/Tools_Graphical.h"
#include "probes/All_Outputs.h"
#include "probes/Text_Output.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Check_File.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

constexpr int Answer_Length = 20;
constexpr float Tiny = 1.0e-40f;  // magnitudes not above it count as zero

std::string trimmed_number(std::string_view layout, float x) {
  const std::string text = FORMAT_LINE(layout, {x});
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The axis letters of the displayed plane.
std::pair<std::string, std::string> axes() {
  switch (Display_Field.Cut_Direction) {
    case 2: return {"x", "z"};
    case 3: return {"y", "z"};
    default: return {"x", "y"};
  }
}

void write_head(Text_Output& file, float c, const Layout& columns) {
  const auto& r = Result_Set;
  const float um = Result_Geometry.Grid_Spacing * 10000.0f;
  file.LINE("# 'Contour output' at t = " + trimmed_number("(1P,G13.4)", r.Time(1)));
  file.LINE("#    Cutting plane coordinate " +
            trimmed_number("(1P,G13.5)", (static_cast<float>(Display_Field.Cut_Index) - 0.5f) * um) + " micrometers");
  file.LINE("#    'Contour value': " + trimmed_number("(1P,G18.10)", c));
  const auto [h, v] = axes();
  std::vector<Format_Item> labels{std::string("# "), h + " coordinate  ", v + " coordinate  "};
  std::vector<Format_Item> units{std::string("# "), std::string("(micrometers)  "), std::string("(micrometers)  ")};
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i) {
    const std::string name = NAME_WITHOUT_BLANKS(r.Name_To_Be_Displayed(i));
    labels.emplace_back(name.size() > 18 ? name.substr(name.size() - 18) : name);
    units.emplace_back(std::string("(field value)  "));
  }
  for (const auto* items : {&labels, &units})
    for (const std::string& line : WRITE_FORMATTED(columns, *items)) file.LINE(line);
}

// One crossing: the position in cells on the first edge of the block that brackets c, and
// every result's value there.
struct Crossing {
  float x = 0.0f, y = 0.0f;
  std::vector<float> Field_Values;
};

// The 2 x 2 block ending at the scan cell (starting there at the window's lower and left
// borders); false when no edge brackets c (values that do not compare).
bool LINEAR_INTERPOLATION(std::int32_t ix, std::int32_t iy, float c, Crossing& point) {
  const auto& f = Display_Field;
  const auto& a = f.Array_to_be_displayed;
  const std::int32_t i1 = ix > f.Zoom_X_From ? ix - 1 : ix;
  const std::int32_t i2 = std::min(ix > f.Zoom_X_From ? ix : ix + 1, f.Zoom_X_To);
  const std::int32_t j1 = iy > f.Zoom_Y_From ? iy - 1 : iy;
  const std::int32_t j2 = std::min(iy > f.Zoom_Y_From ? iy : iy + 1, f.Zoom_Y_To);
  // Left vertical, lower horizontal, diagonal, anti-diagonal; each from end A to end B.
  const std::int32_t edges[4][4] = {{i1, j1, i1, j2}, {i1, j1, i2, j1}, {i1, j1, i2, j2}, {i1, j2, i2, j1}};
  for (const auto& e : edges) {
    const float va = a(1, e[0], e[1]), vb = a(1, e[2], e[3]);
    if (!((va >= c && c >= vb) || (vb >= c && c >= va))) continue;
    const float f_ab = std::fabs(vb - va) <= Tiny ? 0.0f : (c - va) / (vb - va);
    point.x = static_cast<float>(e[0]) + f_ab * static_cast<float>(e[2] - e[0]);
    point.y = static_cast<float>(e[1]) + f_ab * static_cast<float>(e[3] - e[1]);
    for (std::int32_t i = 1; i <= Result_Set.Number_Of_Solutions; ++i) {
      const float at_a = a(i, e[0], e[1]), at_b = a(i, e[2], e[3]);
      point.Field_Values[static_cast<std::size_t>(i - 1)] = at_a + f_ab * (at_b - at_a);
    }
    return true;
  }
  return false;
}

}  // namespace

std::string CONTOUR_VALUE_PRESET() {
  auto& s = Contour_State;
  if (s.First_Use) {
    const auto& iso = Isoline_Data;
    const bool one_isoline = iso.Isoline_Number.ALLOCATED() && iso.Isoline_values.ALLOCATED() &&
                             iso.Isoline_Number(1) == 1;
    s.Contour_Value = one_isoline ? iso.Isoline_values(1, 1)
                                  : (Result_Set.Current_Min(1) + Result_Set.Current_Max(1)) * 0.5f;
    s.First_Use = false;
  }
  std::string text = FORMAT_LINE("(G10.3)", {s.Contour_Value});
  text.resize(Answer_Length, ' ');
  return text;
}

void CALL_WRITE_CONTOUR() {
  std::string answer = CONTOUR_VALUE_PRESET();
  INPUT_STRING("'Contour' output", "Field value:", answer);
  float c = 0.0f;
  if (READ_REAL_FROM_TEXT(answer, c) != Free_Form_Status::Ok) return;
  Contour_State.Contour_Value = c;
  if (Command_State.Command_Code == Command::Contour_Outputs) {
    WRITE_CONTOURS(c);
  } else {
    WRITE_CONTOUR(c);
  }
}

void WRITE_CONTOUR(float c) {
  auto& out = Output_Settings;
  const bool batched = Command_State.Command_Code == Command::Contour_Outputs;
  SET_DEFAULT_OUTPUT_FILE(1, "_Contour", "txt", batched);
  if (batched) {
    out.Output_File_Name = out.Default_Output_File_Name;
  } else {
    INPUT_FILE_NAME("'Contour' output");
  }
  const std::string name = NAME_WITHOUT_BLANKS(out.Output_File_Name);
  if (name.empty()) return;
  WRITE_OUT_CONTOUR(c, name);
}

void WRITE_CONTOURS(float c) {
  FOR_EVERY_OUTPUT("Writting 'contour' outputs... please wait", "'Contour' outputs written",
                   [c] { WRITE_CONTOUR(c); });
}

bool WRITE_OUT_CONTOUR(float c, const std::string& name) {
  static const Layout columns = PARSE_LAYOUT("(A2,2(A15),25(A20))");
  static const Layout point_line = PARSE_LAYOUT("(2(A,G13.5),1P,25(2X,G18.10))");
  Text_Output file;
  if (!file.OPEN(name)) return false;
  write_head(file, c, columns);
  const auto& f = Display_Field;
  const auto& a = f.Array_to_be_displayed;
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  const float um = Result_Geometry.Grid_Spacing * 10000.0f;
  Crossing point;
  point.Field_Values.assign(static_cast<std::size_t>(n), 0.0f);
  std::vector<Format_Item> items(static_cast<std::size_t>(4 + n));
  items[0] = std::string("  ");
  items[2] = std::string("  ");
  std::int64_t found = 0, lost = 0;
  for (std::int32_t ix = f.Zoom_X_From; ix <= f.Zoom_X_To; ++ix) {
    // The side of c of the last cell looked at; 0 on c or right after a reported point.
    int side = 0;
    for (std::int32_t iy = f.Zoom_Y_From; iy <= f.Zoom_Y_To; ++iy) {
      const float v = a(1, ix, iy);
      if (iy == f.Zoom_Y_From) side = v < c ? -1 : v > c ? 1 : 0;
      bool report = false;
      if (v < c) {
        report = side == 1;
        side = -1;
      } else if (v > c) {
        report = side == -1;
        side = 1;
      } else if (v == c) {
        report = true;
      }
      if (!report) continue;
      side = 0;
      if (!LINEAR_INTERPOLATION(ix, iy, c, point)) {
        ++lost;
        continue;
      }
      ++found;
      items[1] = (point.x - 0.5f) * um;
      items[3] = (point.y - 0.5f) * um;
      for (std::int32_t i = 0; i < n; ++i) items[static_cast<std::size_t>(4 + i)] = point.Field_Values[static_cast<std::size_t>(i)];
      for (const std::string& line : WRITE_FORMATTED(point_line, items)) file.LINE(line);
    }
  }
  if (lost > 0) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(" Warning!: " + std::to_string(lost) + " crossing(s) left out of " + name +
                 ": no edge around them brackets the value (undefined field values)");
    CONSOLE_EMPTY();
  }
  if (!file.CLOSE()) return false;
  CONSOLE_LINE(" File: " + name + " written (" + std::to_string(found) + " points found)");
  return true;
}
