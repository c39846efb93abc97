// Information_Cell: values and position of one cell, and the cell of a typed cell pointer.
//
// Reads:  Scan_Line, Result_Set (names, Time), Result_Geometry, Display_Field,
//         Processed_Display_Modes.Miller_Indices.
// Writes: Scan_Line (x1, y1 of a typed pointer), the console; marks the typed cell.

#include <cpgplot.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "display/Tools_Graphical.h"
#include "probes/Data_Information.h"
#include "probes/Information_Texts.h"
#include "records/Console.h"
#include "text/Fortran_Format.h"

namespace {

bool three_dimensional() { return Result_Geometry.AnzY > 1; }

float micrometres(std::int64_t index) {
  return std::max(static_cast<float>(index) - 0.5f, 0.0f) * Result_Geometry.Grid_Spacing * 10000.0f;
}

int decimal_digits(std::int64_t n) {
  int digits = 1;
  for (; n >= 10; n /= 10) ++digits;
  return digits;
}

}  // namespace

std::int64_t CELL_POINTER(const Cell_Index& cell) {
  const auto& g = Result_Geometry;
  const std::int64_t nx = std::int64_t{g.AnzX} + 2, ny = std::int64_t{g.AnzY} + 2;
  if (!three_dimensional()) return nx * cell.Z + cell.X + 1;
  return nx * cell.Y + cell.X + ny * nx * cell.Z + 1;
}

Cell_Index DECODE_CELL_POINTER(std::int64_t pointer) {
  const auto& g = Result_Geometry;
  const std::int64_t nx = std::int64_t{g.AnzX} + 2, ny = std::int64_t{g.AnzY} + 2;
  const std::int64_t q = pointer - 1;
  Cell_Index cell;
  if (three_dimensional()) {
    cell.Z = q / (nx * ny);
    const std::int64_t r = q - cell.Z * nx * ny;
    cell.Y = r / nx;
    cell.X = r - cell.Y * nx;
  } else {
    cell.Z = q / nx;
    cell.X = q - cell.Z * nx;
    cell.Y = Display_Field.Cut_Index;
  }
  return cell;
}

Cell_Index CELL_OF_DISPLAYED(std::int32_t x, std::int32_t y) {
  const std::int64_t cut = Display_Field.Cut_Index;
  switch (Display_Field.Cut_Direction) {
    case 2:
      return {x, cut, y};
    case 3:
      return {cut, x, y};
    default:
      return {x, y, cut};
  }
}

std::optional<Pointed_Cell> POINTED_CELL(std::int64_t pointer) {
  if (pointer < 1) return std::nullopt;
  const auto& g = Result_Geometry;
  const auto& f = Display_Field;
  const Cell_Index c = DECODE_CELL_POINTER(pointer);
  auto inside = [](std::int64_t v, std::int64_t last) { return v >= 1 && v <= last; };
  if (!inside(c.X, g.AnzX) || !inside(c.Z, g.AnzZ) || (three_dimensional() && !inside(c.Y, g.AnzY)))
    return std::nullopt;
  std::int64_t x = c.X, y = c.Y, across = c.Z;
  if (f.Cut_Direction == 2) y = c.Z, across = c.Y;
  if (f.Cut_Direction == 3) x = c.Y, y = c.Z, across = c.X;
  if (!inside(x, f.Display_Size_X) || !inside(y, f.Display_Size_Y)) return std::nullopt;
  return Pointed_Cell{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), across != f.Cut_Index};
}

std::optional<std::int64_t> READ_POINTER_TEXT(const std::string& typed) {
  const std::size_t first = typed.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  std::size_t end = typed.find_first_of(" \t,/", first);
  if (end == std::string::npos) end = typed.size();
  std::size_t at = first;
  if (typed[at] == '+') ++at;
  if (at == end || typed[at] == '+') return std::nullopt;
  std::int64_t value = 0;
  const auto [stop, error] = std::from_chars(typed.data() + at, typed.data() + end, value);
  if (error != std::errc{} || stop != typed.data() + end) return std::nullopt;
  return value;
}

std::string MILLER_TEXT(float value) {
  const double n = std::round(static_cast<double>(value));
  if (n < 0.0) return ": interface!";
  if (n == 0.0) return ": liquid!";
  if (n <= 999999.0) {
    const auto m = static_cast<std::int64_t>(value);
    return FORMAT_LINE("(A,3I3.2)", {std::string(": "), m / 10000, m / 100 % 100, m % 100});
  }
  return ": unable to process! " + FREE_FORMAT_TEXT(value);
}

void DATA_INFORMATION_COORDINATES() {
  const auto& r = Result_Set;
  const std::int32_t x1 = Scan_Line.Scan_X1, y1 = Scan_Line.Scan_Y1;
  const Cell_Index cell = CELL_OF_DISPLAYED(x1, y1);
  const std::size_t width = LONGEST_NAME(1, r.Number_Of_Solutions);
  CONSOLE_EMPTY();
  CONSOLE_LINE("Field values (t=" + TRIMMED(FORMAT_LINE("(1P,G13.4)", {r.Time(1)})) + "):");
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i) {
    const float v = Display_Field.Array_to_be_displayed(i, x1, y1);
    const std::string name = " " + FITTED(r.Name_To_Be_Displayed(i), width);
    if (Display_Settings.Processed_Display_Modes.Miller_Indices)
      CONSOLE_LINE(name + MILLER_TEXT(v));
    else
      CONSOLE_LINE(FORMAT_LINE("(A,1P,G15.7)", {name + ": ", v}));
  }
  CONSOLE_LINE("Coordinates (micrometers, cells):");
  struct Axis {
    const char* prefix;
    std::int64_t index;
    std::string text;
  };
  std::vector<Axis> axes{{" X = ", cell.X, ""}};
  if (three_dimensional()) axes.push_back({" Y = ", cell.Y, ""});
  axes.push_back({" Z = ", cell.Z, ""});
  std::size_t w = 0;
  for (Axis& a : axes) {
    a.text = WITHOUT_TRAILING_BLANKS(FORMAT_LINE("(1P,G10.4)", {micrometres(a.index)}));
    w = std::max(w, a.text.size());
  }
  w += 2;
  const int d = decimal_digits(std::max({cell.X, cell.Y, cell.Z, std::int64_t{0}}));
  const std::string index_layout = "(I" + std::to_string(d) + ")";
  for (const Axis& a : axes) {
    std::string body = a.text + ",";
    body.resize(std::max(w, body.size()), ' ');
    body += FORMAT_LINE(index_layout, {a.index});
    CONSOLE_LINE(a.prefix + WITHOUT_TRAILING_BLANKS(body));
  }
  CONSOLE_LINE(" 'Cell pointer': " + std::to_string(CELL_POINTER(cell)));
}

void DATA_INFORMATION_CELL_POINTER() {
  for (;;) {
    std::string typed(25, ' ');
    INPUT_STRING("Pinpoint 'cell pointer'", "'zp': ", typed);
    if (TRIMMED(typed).empty()) return;  // cancelled
    const std::optional<std::int64_t> pointer = READ_POINTER_TEXT(typed);
    if (!pointer) continue;
    const std::optional<Pointed_Cell> cell = POINTED_CELL(*pointer);
    if (!cell) {
      CONSOLE_EMPTY();
      CONSOLE_LINE(" 'Cell pointer' " + std::to_string(*pointer) + " names no displayed cell!");
      CONSOLE_EMPTY();
      continue;
    }
    Scan_Line.Scan_X1 = cell->x;
    Scan_Line.Scan_Y1 = cell->y;
    PLOT_POINT(static_cast<float>(cell->x), static_cast<float>(cell->y));
    cpgupdt();
    if (cell->off_plane) {
      CONSOLE_EMPTY();
      CONSOLE_LINE("Note: projection on the cutting plane!");
      CONSOLE_EMPTY();
    }
    DATA_INFORMATION_COORDINATES();
    return;
  }
}
