// Information_Reports: the version of the display program and of the simulation, and the
// geometry, symmetry and zoom of the display.
//
// Reads:  Result_Geometry (counts, spacing, simulation texts), Display_Field (cut, sizes,
//         zoom window, symmetry).
// Writes: the console.

#include "probes/Data_Information.h"
#include "probes/Information_Texts.h"
#include "records/Console.h"
#include "records/Display_Version.h"
#include "text/Fortran_Format.h"

void DATA_INFORMATION_VERSION() {
  const auto& g = Result_Geometry;
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Display_ZELTRA version " + std::string(Display_Version));
  if (!g.Simulation_Info_Present) {
    CONSOLE_LINE(" (no information about ZELTRA version available)");
    return;
  }
  auto t = [&](int k) { return WITHOUT_TRAILING_BLANKS(g.Simulation_Info[static_cast<std::size_t>(k - 1)]); };
  CONSOLE_EMPTY();
  CONSOLE_LINE(" ZELTRA version " + t(1) + " ('" + t(5) + " precision' binary, compiled: " + t(2) + ")");
  CONSOLE_LINE(" Simulation run " + t(3) + " (under " + t(4) + ")");
  CONSOLE_EMPTY();
}

void DATA_INFORMATION_GEOMETRY() {
  const auto& g = Result_Geometry;
  const auto& f = Display_Field;
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Simulation geometry:");
  for (const auto& [label, count] : {std::pair{"  AnzX: ", g.AnzX}, {"  AnzY: ", g.AnzY}, {"  AnzZ: ", g.AnzZ}})
    CONSOLE_LINE(FORMAT_LINE("(A,I4)", {std::string(label), std::int64_t{count}}));
  const char* axis = f.Cut_Direction == 1 ? "Z" : f.Cut_Direction == 2 ? "Y" : "X";
  CONSOLE_LINE(FORMAT_LINE("(A,I4)", {"    " + std::string(axis) + " = ", std::int64_t{f.Cut_Index}}));
  CONSOLE_LINE("  Grid spacing [micrometers]: " + TRIMMED(FORMAT_LINE("(1P,G13.7)", {g.Grid_Spacing * 10000.0f})));
  static constexpr const char* symmetry[] = {"Symmetry toggled off", "'Four-folded symmetry' toggled on",
                                             "'Three-folded symmetry' toggled on", "'Nine-folded symmetry' toggled on"};
  CONSOLE_EMPTY();
  if (f.Symmetry_Mode >= 1 && f.Symmetry_Mode <= 4) CONSOLE_LINE(symmetry[f.Symmetry_Mode - 1]);
  if (f.Symmetry_Type == 1) CONSOLE_LINE("'Mirroring' domain for symmetry");
  if (f.Symmetry_Type == 2) CONSOLE_LINE("'Translation' of domain for symmetry");
  CONSOLE_EMPTY();
  if (f.Zoom_X_From == 1 && f.Zoom_X_To == f.Display_Size_X && f.Zoom_Y_From == 1 && f.Zoom_Y_To == f.Display_Size_Y) {
    CONSOLE_LINE(" No zoom");
    return;
  }
  CONSOLE_LINE(" Zoom activated:");
  auto bounds = [](const char* name, std::int32_t from, std::int32_t to) {
    CONSOLE_LINE(std::string("  '") + name + "': from " + std::to_string(from) + " to " + std::to_string(to) + " (" +
                 std::to_string(std::int64_t{to} - from + 1) + " points)");
  };
  bounds("X", f.Zoom_X_From, f.Zoom_X_To);
  bounds("Y", f.Zoom_Y_From, f.Zoom_Y_To);
}
