// Colour_Keys: colour keys drawn on a device of their own, one image file each.
//
// Reads:   Result_Set (N, names, current limits), Panel_Grid, Annotation_Orientation, the
//          display modes, White_Background, Output_Settings, TR_Matrix, Graphics_Units,
//          Drawing_Colour_Index.
// Writes:  Selected_Solutions, Output_File_Name, Default_Output_File_Name, Unit_Current.

#include "display/Colour_Keys.h"

#include <cpgplot.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "display/Colour_Scale.h"
#include "display/Dialog_Stuff.h"
#include "display/Display_Image.h"
#include "display/Image_Strips.h"
#include "display/Output_File_Names.h"
#include "display/Tools_Graphical.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "text/Blanks.h"
#include "text/Fortran_Format.h"

namespace {

void message(const std::string& text) {
  CONSOLE_EMPTY();
  CONSOLE_LINE(text);
  CONSOLE_EMPTY();
}

// Opens the key's device for an output file named after result file k; 0 when the name
// was cancelled or the device did not open (the main display is then selected again).
int open_key(std::int32_t k) {
  auto& out = Output_Settings;
  out.Default_Output_File_Name =
      OUTPUT_BASE_NAME(WITHOUT_TRAILING_BLANKS(Result_Set.Name_Solution(k))) + "_Scale." + WITHOUT_TRAILING_BLANKS(out.Image_Extension);
  INPUT_FILE_NAME("Image output");
  if (WITHOUT_TRAILING_BLANKS(out.Output_File_Name).empty()) return 0;
  const int device = PGOPEN_WIN(true, WITHOUT_TRAILING_BLANKS(out.Output_File_Name) + WITHOUT_TRAILING_BLANKS(out.Image_Driver));
  if (device <= 0) {
    message("Unable to open secondary display!");
    SELECT_PGPLOT_UNIT(Graphics_Units.Unit_Display);
    return 0;
  }
  cpgslct(device);
  if (Display_Settings.White_Background) {
    cpgscr(0, 1.0f, 1.0f, 1.0f);
    cpgscr(1, 0.0f, 0.0f, 0.0f);
  }
  return device;
}

void close_key() {
  cpgebuf();
  cpgclos();
  CONSOLE_EMPTY();
  CONSOLE_LINE(" File: " + WITHOUT_TRAILING_BLANKS(Output_Settings.Output_File_Name) + " created");
  SELECT_PGPLOT_UNIT(Graphics_Units.Unit_Display);
}

void start_page(float width, float aspect) {
  cpgpap(width, aspect);
  cpgask(0);
  cpgpage();
}

// Four significant digits: fixed from 0.1 to below 10000, else one digit before the point.
std::string four_digits(float v) {
  const float a = std::fabs(v);
  std::string text = a >= 0.1f && a < 10000.0f ? FORMAT_LINE("(G11.4)", {v}) : FORMAT_LINE("(1P,E11.4)", {v});
  std::erase(text, ' ');
  return text;
}

struct Point {
  float x, y;
};

void rgb_labels() {
  struct Row {
    float angle;
    Point min_at;
    float min_just;
    Point max_at;
    float max_just;
    Point name_at;
    float name_just;
    const char* colour;
  };
  static const Row rows[] = {
      {0.0f, {0.8f, 0.125f}, 1.0f, {0.2f, 0.125f}, 0.0f, {0.5f, 0.05f}, 0.75f, "red"},
      {-60.0f, {0.575f, 0.71961522f}, 0.0f, {0.875f, 0.2f}, 1.0f, {0.81875f, 0.4598076f}, 0.45f, "green"},
      {60.0f, {0.10625f, 0.2f}, 0.0f, {0.40625f, 0.71961522f}, 1.0f, {0.14375f, 0.4598076f}, 0.1f, "blue"},
  };
  const auto& r = Result_Set;
  for (std::int32_t j = 1; j <= std::min(3, r.Number_Of_Solutions); ++j) {
    const Row& row = rows[j - 1];
    cpgptxt(row.min_at.x, row.min_at.y, row.angle, row.min_just, four_digits(r.Current_Min(j)).c_str());
    cpgptxt(row.max_at.x, row.max_at.y, row.angle, row.max_just, four_digits(r.Current_Max(j)).c_str());
    const std::string name = WITHOUT_TRAILING_BLANKS(r.Name_To_Be_Displayed(j)) + " \\fi(" + row.colour + ")";
    cpgptxt(row.name_at.x, row.name_at.y, row.angle, row.name_just, name.c_str());
  }
}

}  // namespace

Colour_Key_Page COLOUR_KEY_PAGE() {
  const auto& s = Display_Settings;
  float saved = 1.0f, x1, x2, y1, y2, xch, ych;
  cpgqch(&saved);
  cpgqvsz(1, &x1, &x2, &y1, &y2);
  cpgsch(1.0f);
  cpgqcs(1, &xch, &ych);
  cpgsch(saved);
  float width = static_cast<float>(s.Panel_Grid.Panels_Across) * (x2 - x1);
  float height = static_cast<float>(s.Panel_Grid.Panels_Down) * (y2 - y1);
  if (s.Annotation_Orientation == 1) width = 5.0f * xch;
  if (s.Annotation_Orientation == 2) height = 5.0f * ych;
  return {width, height / width};
}

Colour_Key_Bar COLOUR_KEY_BAR(float current_min, float current_max) {
  Colour_Key_Bar bar{std::min(current_min, current_max), std::max(current_min, current_max), {}, {}};
  if (bar.low > 1.0e-40f && std::fabs((bar.low - bar.high) / bar.low) < 1.0e-20f) {
    bar.note = ADD_NOTE_TEXT(bar.low);
    bar.high -= bar.low;
    bar.low = 0.0f;
  }
  SEPARATE_LIMITS(bar.low, bar.high);
  for (int k = 0; k < 100; ++k) bar.values[static_cast<std::size_t>(k)] = bar.low + k * (bar.high - bar.low) / 99.0f;
  return bar;
}

void DISPLAY_SCALE(bool in_window) {
  const auto& s = Display_Settings;
  const auto& modes = s.Processed_Display_Modes;
  auto& r = Result_Set;
  if (in_window) {
    message(" Feature not available");
    return;
  }
  if (modes.RGB_Triangle || modes.Miller_Indices) {
    DISPLAY_RGB_TRIANGLE_SCALE(in_window);
    return;
  }
  const Colour_Key_Page page = COLOUR_KEY_PAGE();
  std::vector<bool> chosen(static_cast<std::size_t>(r.Number_Of_Solutions), true);
  if (r.Number_Of_Solutions > 1) {
    std::vector<std::string> names;
    for (std::int32_t k = 1; k <= r.Number_Of_Solutions; ++k) names.push_back(r.Name_To_Be_Displayed(k));
    chosen = SELECT_STRINGS("Select solution(s)", names);
    chosen.resize(names.size(), false);
  }
  if (r.Selected_Solutions.ALLOCATED())
    for (std::int32_t k = 1; k <= r.Number_Of_Solutions && k <= r.Selected_Solutions.UPPER(0); ++k)
      r.Selected_Solutions(k) = chosen[static_cast<std::size_t>(k - 1)];
  const bool upright = s.Annotation_Orientation != 2;
  for (std::int32_t j = 1; j <= r.Number_Of_Solutions; ++j) {
    if (!chosen[static_cast<std::size_t>(j - 1)]) continue;
    const Colour_Key_Bar bar = COLOUR_KEY_BAR(r.Current_Min(j), r.Current_Max(j));
    if (open_key(j) <= 0) break;
    start_page(page.width, page.aspect);
    cpgsch(2.5f);
    cpgvstd();
    SET_COLOUR_SCALE();
    cpgbbuf();
    if (upright) {
      cpgenv(0.9f, 1.1f, 1.0f, 100.0f, 0, -2);
      cpgimag(bar.values.data(), 1, 100, 1, 1, 1, 100, bar.low, bar.high, s.TR_Matrix.data());
      cpgswin(0.0f, 1.0f, bar.low, bar.high);
      cpgsch(7.5f);
      cpgbox("BC", 0.0f, 0, "BCMST", 0.0f, 0);
      if (!bar.note.empty()) cpgmtxt("L", 0.5f, 0.5f, 0.5f, bar.note.c_str());
    } else {
      cpgenv(1.0f, 100.0f, 0.9f, 1.1f, 0, -2);
      IMAGE_STRIPS(bar.values.data(), 100, 1, 1, 100, 1, 1, bar.low, bar.high, s.TR_Matrix.data());
      cpgswin(bar.low, bar.high, 0.0f, 1.0f);
      cpgsch(7.5f);
      cpgbox("BCNST", 0.0f, 0, "BC", 0.0f, 0);
      if (!bar.note.empty()) cpgmtxt("T", 0.5f, 0.5f, 0.5f, bar.note.c_str());
    }
    close_key();
  }
  Graphics_Units.Unit_Current = Graphics_Units.Unit_Display;
  SELECT_PGPLOT_UNIT(Graphics_Units.Unit_Display);
  cpgscr(14, 0.25f, 0.25f, 0.25f);
  cpgsci(s.Drawing_Colour_Index);
}

void DISPLAY_RGB_TRIANGLE_SCALE(bool in_window) {
  if (in_window) return;
  const bool miller = Display_Settings.Processed_Display_Modes.Miller_Indices;
  float x1, x2, y1, y2, ch = 1.0f;
  int lw = 1;
  cpgqvsz(1, &x1, &x2, &y1, &y2);
  const float size = std::max(x2 - x1, y2 - y1) / 2.0f;
  cpgqlw(&lw);
  cpgqch(&ch);
  if (open_key(1) <= 0) return;
  start_page(size, 1.0f);
  cpgvstd();
  cpgwnad(0.0f, 1.0f, 0.0f, 1.0f);
  SET_COLOUR_SCALE();
  cpgbbuf();
  static const std::array<Point, 3> rgb{{{0.2f, 0.2f}, {0.8f, 0.2f}, {0.5f, 0.71961522f}}};
  static const std::array<Point, 3> orientation{{{0.0f, 0.0f}, {0.82842708f, 0.0f}, {0.73205078f, 0.73205078f}}};
  const std::array<Point, 3>& c = miller ? orientation : rgb;
  cpgslw(5 * lw);
  const float outline_x[] = {c[0].x, c[1].x, c[2].x, c[0].x}, outline_y[] = {c[0].y, c[1].y, c[2].y, c[0].y};
  cpgline(4, outline_x, outline_y);
  cpgslw(20 * lw);
  cpgsfs(1);
  int colour = 1, low = 0, high = 0;
  cpgqci(&colour);
  cpgqcir(&low, &high);
  for (int ci = low + 1; ci <= high; ++ci) {
    float red, green, blue;
    cpgsci(ci);
    cpgqcr(ci, &red, &green, &blue);
    if (std::max({red, green, blue}) <= 0.001f) continue;
    const float sum = red + green + blue;
    cpgpt1((red * c[0].x + green * c[1].x + blue * c[2].x) / sum, (red * c[0].y + green * c[1].y + blue * c[2].y) / sum, -1);
  }
  cpgslw(lw);
  cpgsci(colour);
  cpgsch(2.25f * ch);
  cpgsfs(2);
  cpgptxt(0.5f, 0.91836524f, 0.0f, 0.5f, "\\fiColour scale");
  float bx[4], by[4];
  cpgqtxt(0.5f, 0.91836524f, 0.0f, 0.5f, "\\fiColour scale", bx, by);
  const float w = bx[2] - bx[0], h = by[1] - by[0];
  cpgrect(bx[0] - w / 17.5f, bx[2] + w / 17.5f, by[0] - h / 2.5f, by[1] + h / 2.5f);
  cpgsch(1.25f * ch);
  if (miller) {
    cpgptxt(-0.075f, -0.05625f, 0.0f, 0.0f, " \\fi001");
    cpgptxt(0.90342706f, -0.05625f, 0.0f, 1.0f, " \\fi011");
    cpgptxt(0.73205078f, 0.7695508f, 0.0f, 0.5f, " \\fi111");
  } else {
    rgb_labels();
  }
  close_key();
  cpgsci(colour);
  cpgslw(lw);
  cpgsch(ch);
}
