// Annotate: quantity, time and temperature, grid size and cut, and labels of one panel.
//
// Reads:   Result_Set (names, times, output numbers, N), Result_Geometry (sizes, simulation
//          texts), Display_Field (cut), Display_Settings (modes, orientation, wedge, colours,
//          panels, Time_Temperature), Graphics_Units.
// Writes:  Temperature_Display (off when the table is too short), Previous_Time_Stamp,
//          Time_Temperature (read again); the console.

#include "display/Annotate.h"

#include <cpgplot.h>

#include <algorithm>
#include <charconv>  // std::to_chars, std::from_chars
#include <cstdlib>
#include <string>

#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Read_Results.h"
#include "result_files/Time_Temperature.h"
#include "text/Blanks.h"
#include "text/Fortran_Format.h"

namespace {

constexpr std::size_t Time_Text_Length = 25;

void warn(const char* text) {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(text);
  CONSOLE_EMPTY(2);
}

std::int32_t table_rows() {
  const auto& table = Display_Settings.Time_Temperature;
  return table.ALLOCATED() ? static_cast<std::int32_t>(table.EXTENT(0)) : 0;
}

// The temperature of output s of result k from the table, as " (1000.00 K)"; empty (with a
// warning) when the output's time lies outside its neighbouring table times.
std::string temperature_text(std::int32_t k) {
  auto& s = Display_Settings;
  const std::int32_t step = Result_Set.Time_Step_Number(k);
  // The table is read again when it does not match the output: rows may have come since.
  if (step != table_rows()) READ_TIME_TEMPERATURE();
  const std::int32_t rows = table_rows();
  if (rows < step) {
    s.Temperature_Display = 0;
    warn(" Warning disabling display of 'temperature'!");
    return {};
  }
  if (s.Temperature_Display == 0) return {};
  const auto& table = s.Time_Temperature;
  const float time = Result_Set.Time(k);
  const float lower = step <= 1 ? time : table(step - 1, 1);
  const float upper = step >= rows ? time : table(step + 1, 1);
  if (step < 1 || !(lower <= time && time <= upper)) {
    warn(" Warning skiping display of 'temperature'!");
    return {};
  }
  const bool celsius = s.Temperature_Display == 2;
  const float value = celsius ? table(step, 2) - 273.15f : table(step, 2);
  return " (" + TRIMMED(FORMAT_LINE("(F7.2)", {value})) + (celsius ? " \xB0" "C" : " K") + ")";
}

// Distances from the top edge (orientation 2), in heights of each text's own characters.
constexpr float Top_Disp = 1.75f;        // quantity, time and the two labels
constexpr float Anz_X_Top_Disp = 5.7f;   // the first grid-size line
constexpr float Version_Top_Disp = 4.25f;
constexpr float Label_Height = 2.0f;     // the maker's and the product label

struct Text_Layout {
  bool top;        // orientation 2: texts along the top edge
  float f;         // text scale of the wedge thickness
  float h0;        // character height at entry
  const char* side() const { return top ? "T" : "L"; }
  float disp() const { return top ? Top_Disp : 2.75f; }
  void height(float times) const { cpgsch(times * f * h0); }
};

void grid_size_lines(const Text_Layout& l, const std::string& time_text, float xc, float yc) {
  const auto& g = Result_Geometry;
  const auto& field = Display_Field;
  const float length = static_cast<float>(TRIMMED(time_text).size());
  const float a = l.top ? xc : yc, b = l.top ? yc : xc, q = l.top ? 0.5f : 0.575f;
  if (!(1.0f - length * 0.75f * a > 0.75f * b + q)) return;
  const char* cut_axis = field.Cut_Direction == 2 ? "  Y = " : field.Cut_Direction == 3 ? "  X = " : "  Z = ";
  const struct {
    std::string text;
    float coord, disp_top;
  } lines[] = {
      {"AnzX: " + FORMAT_LINE("(I5)", {std::int64_t{g.AnzX}}), 0.575f, Anz_X_Top_Disp},
      {"AnzY: " + FORMAT_LINE("(I5)", {std::int64_t{g.AnzY}}), 0.525f, 4.2f},
      {"AnzZ: " + FORMAT_LINE("(I5)", {std::int64_t{g.AnzZ}}), 0.475f, 2.7f},
      {cut_axis + FORMAT_LINE("(I5)", {std::int64_t{field.Cut_Index}}), 0.425f, 1.2f},
  };
  for (const auto& line : lines) {
    if (l.top)
      cpgmtxt("T", line.disp_top, 0.5f, 0.5f, line.text.c_str());
    else
      cpgmtxt("LV", 2.75f, line.coord, 1.0f, line.text.c_str());
  }
}

void single_panel_labels(const Text_Layout& l) {
  const auto& g = Result_Geometry;
  if (g.Simulation_Info_Present) {
    l.height(0.95f);
    cpgmtxt(l.side(), l.top ? Version_Top_Disp : 6.25f, 0.0f, 0.0f,
            ("\\fiZELTRA version: \\fs" + WITHOUT_TRAILING_BLANKS(g.Simulation_Info[0])).c_str());
    l.height(0.9f);
    cpgmtxt(l.side(), l.top ? 3.25f : 5.0f, 0.0f, 0.0f,
            ("\\fiRun: \\fs" + WITHOUT_TRAILING_BLANKS(g.Simulation_Info[2])).c_str());
  } else {
    l.height(Label_Height);
    cpgmtxt(l.side(), l.disp(), 0.0f, 0.0f, "\\fiKALVOR e.V.");
  }
  l.height(Label_Height);
  cpgmtxt(l.side(), l.disp(), 1.0f, 1.0f, "\\fiZELTRA\\u\\(0273)\\d");
}

// Text sizes grow with the wedge: 1 for thickness 3, 1.5 for 9.
float text_scale() { return 1.0f + 0.5f * (Display_Settings.Wedge_Thickness - 3) / 6.0f; }

bool single_panel() {
  const auto& grid = Display_Settings.Panel_Grid;
  return std::max(std::abs(grid.Panels_Across), std::abs(grid.Panels_Down)) == 1;
}

}  // namespace

float ANNOTATION_ROOM_ABOVE() {
  // Each text's top in heights of its own characters: its distance and one character, the
  // product label's raised mark half a character more.
  float reach = (Top_Disp + 1.0f) * 1.05f;
  if (Graphics_Units.Unit_Current == Graphics_Units.Unit_Display) reach = std::max(reach, (Anz_X_Top_Disp + 1.0f) * 0.75f);
  if (single_panel()) {
    if (Result_Geometry.Simulation_Info_Present) reach = std::max(reach, (Version_Top_Disp + 1.0f) * 0.95f);
    reach = std::max(reach, (Top_Disp + 1.5f) * Label_Height);
  }
  float xch = 0.0f, ych = 0.0f;
  cpgqcs(1, &xch, &ych);
  return reach * text_scale() * ych;
}

namespace {

// A stored time as the shortest decimal that reads back as it: eight digits of the float's own
// binary value would show noise ("3.5000001E-05" for 0.000035).
double as_written(float v) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, v).ptr;
  double d = v;
  std::from_chars(text, end, d);
  return d;
}

}  // namespace

std::string TIME_TEXT(std::int32_t k) {
  const bool temperature = Display_Settings.Temperature_Display != 0;
  std::string text =
      WITHOUT_TRAILING_BLANKS(FORMAT_LINE(temperature ? "(1P,G11.5)" : "(1P,G15.7)", {as_written(Result_Set.Time(k))})) +
      " s";
  if (temperature) text += temperature_text(k);
  if (text.size() > Time_Text_Length) text.resize(Time_Text_Length);
  return text;
}

void ANNOTATE(std::int32_t i) {
  const auto& s = Display_Settings;
  const auto& modes = s.Processed_Display_Modes;
  const auto& r = Result_Set;
  if (modes.RGB_Triangle && i != 0) return;
  Text_Layout l{s.Annotation_Orientation == 2, text_scale(), 1.0f};
  cpgqch(&l.h0);
  cpgstbg(0);
  l.height(1.05f);

  const bool difference_panel = i <= 0 && modes.Difference_Display;
  if (!modes.RGB_Triangle) {
    std::string quantity;
    if (difference_panel) {
      quantity = "Difference ('1-2')";
    } else if (i >= 1 && i <= r.Number_Of_Solutions) {
      quantity = WITHOUT_TRAILING_BLANKS(r.Name_To_Be_Displayed(i));
      if (modes.Logarithmic_Display && CHECK_LOGARITHMIC(i)) quantity += " (rescaled)";
    }
    cpgmtxt(l.side(), l.disp(), 0.0f, 0.0f, quantity.c_str());
  } else {
    for (std::int32_t n = 1; n <= 3 && n <= r.Number_Of_Solutions; ++n) {
      const float at = 0.5f * static_cast<float>(n - 1);
      cpgmtxt(l.top ? "B" : "R", l.top ? 1.75f : 2.5f, at, at, WITHOUT_TRAILING_BLANKS(r.Name_To_Be_Displayed(n)).c_str());
    }
    l.height(0.85f);
    cpgmtxt(l.side(), l.disp(), 0.0f, 0.0f, "\\fr'RGB triangle' display mode");
  }

  const std::int32_t k = modes.RGB_Triangle || difference_panel ? 1 : i;
  if (k >= 1 && k <= r.Number_Of_Solutions) {
    const bool stamps = Previous_Time_Stamp.ALLOCATED() && k <= Previous_Time_Stamp.UPPER(0);
    if (stamps) {
      cpgsci(0);
      cpgmtxt(l.side(), l.disp(), 1.0f, 1.0f, WITHOUT_TRAILING_BLANKS(Previous_Time_Stamp(k)).c_str());
    }
    cpgsci(s.Drawing_Colour_Index);
    const std::string time_text = TIME_TEXT(k);
    if (stamps && !difference_panel) Previous_Time_Stamp(k) = time_text;
    float xc = 0.0f, yc = 0.0f;
    cpgqcs(0, &xc, &yc);
    cpgmtxt(l.side(), l.disp(), 1.0f, 1.0f, WITHOUT_TRAILING_BLANKS(time_text).c_str());
    l.height(0.75f);
    if (Graphics_Units.Unit_Current == Graphics_Units.Unit_Display) grid_size_lines(l, time_text, xc, yc);
  }

  if (single_panel()) single_panel_labels(l);
  cpgsch(l.h0);
  cpgstbg(s.Text_Background_Index);
}
