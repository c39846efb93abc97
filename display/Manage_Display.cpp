// Manage_Display: redraw, panels, frozen panel, page size.
//
// Reads:   Result_Set.Number_Of_Solutions, Display_Field (zoom window, one-dimensional
//          display), Display_Settings (modes, annotations, wedge, Auto_Resize, Auto_Replot,
//          White_Background, Drawing_Colour_Index), Frame_Factors, Vector_Settings,
//          Isoline_Data.Display_Contours, Graphics_Units.
// Writes:  Panel_Grid, Auto_Resize, Command_Code, Cursor_X and Cursor_Y, Unit_Pop_Up,
//          Frame_Factors (from the window); the slots of the processed pictures; the console.

#include "display/Manage_Display.h"

#include <cpgplot.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/Colour_Scale.h"
#include "display/Display_Image.h"
#include "display/Korin_Stuff.h"
#include "display/Pop_Up.h"
#include "display/Tools_Graphical.h"
#include "korin_client/Korin_Upper.h"
#include "korin_client/KRDRIV.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Read_Results.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

Panel_Grid_Type& grid() { return Display_Settings.Panel_Grid; }
std::int32_t across() { return std::abs(grid().Panels_Across); }
std::int32_t down() { return std::abs(grid().Panels_Down); }

void to_last_panel() {
  grid().Current_Panel_X = grid().Panels_Across;
  grid().Current_Panel_Y = grid().Panels_Down;
}

void white_background() {
  if (!Display_Settings.White_Background) return;
  cpgscr(0, 1.0f, 1.0f, 1.0f);
  cpgscr(1, 0.0f, 0.0f, 0.0f);
}

// The pictures of this redraw, by the first display mode that is on; prepares their slots.
std::vector<std::int32_t> picture_list() {
  const auto& modes = Display_Settings.Processed_Display_Modes;
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  std::vector<std::int32_t> list;
  auto files = [&](std::int32_t first, std::int32_t last, std::int32_t sign) {
    for (std::int32_t k = first; k <= last; ++k) list.push_back(sign * k);
  };
  if (modes.RGB_Triangle) {
    // Outputs of different times make no combined picture: it is left out.
    if (MERGE_READ_RESULTS()) list.push_back(0);
    files(1, n, 1);
  } else if (modes.Miller_Indices) {
    MERGE_READ_RESULTS();
    files(1, n, -1);
  } else if (modes.Difference_Display) {
    PROCESS_DISPLAYED_RESULTS();
    list.push_back(0);
    files(1, n, 1);
  } else if (modes.Logarithmic_Display || modes.Absolute_Values) {
    PROCESS_DISPLAYED_RESULTS();
    files(1, n, -1);
  } else {
    const std::int32_t vector_files = Vector_Settings.Vector_Mode == 1 ? 2 : Vector_Settings.Vector_Mode == 2 ? 3 : 0;
    files(1, n - vector_files, 1);
  }
  return list;
}

bool any_contour_only() {
  const auto& contours = Isoline_Data.Display_Contours;
  if (!contours.ALLOCATED()) return false;
  for (std::int64_t k = contours.LOWER(0); k <= contours.UPPER(0); ++k)
    if (contours(k)) return true;
  return false;
}

void advance_panel() {
  auto& g = grid();
  auto& x = g.Current_Panel_X;
  auto& y = g.Current_Panel_Y;
  if (g.Row_Major_Panels) {
    x = x % across() + 1;
    if (x == 1) y = y % down() + 1;
  } else {
    y = y % down() + 1;
    if (y == 1) x = x % across() + 1;
  }
  cpgpanl(x, y);
}

// In a window not cleared by this redraw: the window drops what the current panel showed
// before when picture i hides it, unless an earlier picture of this redraw went into the same
// panel (pictures drawn over each other).
void release_panel(std::int32_t i, std::vector<std::int32_t>& drawn) {
  const auto& units = Graphics_Units;
  const std::int32_t panel = (grid().Current_Panel_Y - 1) * across() + grid().Current_Panel_X;
  if (std::find(drawn.begin(), drawn.end(), panel) != drawn.end()) return;
  drawn.push_back(panel);
  if (units.Unit_Current == units.Unit_Display && HIDES_PANEL(i)) KRDRIV_PANEL(panel);
}

void new_page_at_last_panel() {
  cpgpanl(grid().Panels_Across, grid().Panels_Down);
  cpgpage();
  to_last_panel();
}

// A typed panel count: a whole number of at least 1, else the old count stays.
void read_count(const std::string& text, std::int32_t& count) {
  std::int32_t value = 0;
  if (READ_INTEGER_FROM_TEXT(text, value) == Free_Form_Status::Ok && value >= 1) count = value;
}

// The cell of the pop-up grid under a pick; false outside the grid.
bool picked_cell(float x, float y, std::int32_t& ix, std::int32_t& iy) {
  ix = static_cast<std::int32_t>(x + 1.0f);
  iy = static_cast<std::int32_t>(y + 1.0f);
  return x >= 0.0f && y >= 0.0f && ix >= 1 && ix <= across() && iy >= 1 && iy <= down();
}

void highlight(std::int32_t ix, std::int32_t iy) {
  cpgrect(ix - 0.9f, ix - 0.1f, iy - 0.9f, iy - 0.1f);
}

// Reads picks until two in a row fall into the same cell of the grid; false when the device
// gives no more picks.
bool pick_panel(std::int32_t& ix, std::int32_t& iy) {
  auto& command = Command_State;
  std::int32_t px = 0, py = 0;
  for (;;) {
    char key = ' ';
    if (!cpgcurs(&command.Cursor_X, &command.Cursor_Y, &key)) return false;
    if (!picked_cell(command.Cursor_X, command.Cursor_Y, ix, iy)) continue;
    if (ix == px && iy == py) return true;
    if (px > 0 || py > 0) {
      cpgsci(0);
      highlight(px, py);
      cpgsci(Display_Settings.Drawing_Colour_Index);
    }
    highlight(ix, iy);
    px = ix;
    py = iy;
  }
}

}  // namespace

void MANAGE_DISPLAY() {
  auto& command = Command_State.Command_Code;
  const auto& s = Display_Settings;
  cpgbbuf();
  switch (command) {
    case Command::Panel_Layout:
      RESET_PANELS();
      if (s.Auto_Resize) AUTOMATIC_RESIZE();
      break;
    case Command::Freeze_Panel:
      cpgebuf();
      SELECT_FROZEN_PANEL();
      cpgbbuf();
      cpgpanl(grid().Current_Panel_X, grid().Current_Panel_Y);
      break;
    case Command::Take_Over_Window:
      // The window may have been resized: its size is taken before the page is fitted.
      KORIN_FRAME_SIZE();
      if (s.Auto_Resize) {
        AUTOMATIC_RESIZE();
      } else {
        new_page_at_last_panel();
        DIVIDE_DISPLAY(true);
        command = Command::Replot;
      }
      break;
    default:
      break;
  }

  const std::vector<std::int32_t> pictures = picture_list();
  const auto p = static_cast<std::int32_t>(pictures.size());
  if (s.Auto_Resize && command == Command::Replot) AUTOMATIC_RESIZE();
  const std::int32_t panels = across() * down();
  const auto& units = Graphics_Units;
  const bool cleared = p >= panels && units.Unit_Current == units.Unit_Display && (!any_contour_only() || s.Auto_Replot);
  if (cleared) {
    int status = 0;
    KRCLEAR(status, -1);
    // Nothing shows the old pictures any more: their bitmaps are replaced, not piled up.
    KRDRIV_WINDOW_CLEARED();
  }
  if (panels == 1 && p > 1 && command == Command::Replot) {
    cpgpage();
    command = 0;
  }
  if (Result_Set.Number_Of_Solutions > 1 && p < panels) to_last_panel();
  std::vector<std::int32_t> drawn;
  for (const std::int32_t i : pictures) {
    if (std::max(across(), down()) > 1 && !grid().Freeze_Panel) advance_panel();
    if (!cleared) release_panel(i, drawn);
    DISPLAY_IMAGE(i);
  }
  cpgebuf();
  KORIN_CLOSE(1);
}

void DIVIDE_DISPLAY(bool force_division) {
  auto& g = grid();
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  if (Vector_Settings.Vector_Mode == 0 && n > 1 && across() * down() < n && std::max(across(), down()) != 1) {
    CONSOLE_EMPTY(2);
    CONSOLE_LINE("Adjusting number of panels to match number of solutions");
    CONSOLE_EMPTY(2);
    const auto k = static_cast<std::int32_t>(std::lround(std::sqrt(static_cast<double>(n))));
    g.Panels_Across = k * k < n ? k + 1 : k;
    g.Panels_Down = g.Panels_Across * k < n ? k + 1 : k;
  }
  if (std::max(across(), down()) > 1 || force_division) {
    if (Display_Settings.Processed_Display_Modes.RGB_Triangle)
      cpgsubp(1, 1);
    else
      cpgsubp(g.Row_Major_Panels ? g.Panels_Across : -g.Panels_Across, g.Panels_Down);
  }
  cpgpage();
  to_last_panel();
  white_background();
  SET_COLOUR_SCALE();
}

void RESET_PANELS() {
  auto& g = grid();
  std::vector<Text_Field> values = {{FORMAT_LINE("(I5)", {std::int64_t{g.Panels_Across}}), 10},
                                    {FORMAT_LINE("(I5)", {std::int64_t{g.Panels_Down}}), 10}};
  READ_STRINGS_LOGICAL("\\fiNumber of panels", 2, {"\\fiHorizontal:", "\\fiVertical:"}, values, "\\fiOrder:",
                       g.Row_Major_Panels, {"   Row major", "Column major"});
  read_count(values[0].text, g.Panels_Across);
  read_count(values[1].text, g.Panels_Down);
  DIVIDE_DISPLAY(true);
  g.Freeze_Panel = false;
  SET_COLOUR_SCALE();
}

void SELECT_FROZEN_PANEL() {
  auto& g = grid();
  if (Result_Set.Number_Of_Solutions > 1) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Freeze panel not available with multiple files!");
    CONSOLE_EMPTY();
    return;
  }
  if (std::max(across(), down()) == 1) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Freeze panel not available with a single panel!");
    CONSOLE_EMPTY();
    return;
  }
  g.Freeze_Panel = !g.Freeze_Panel;
  if (!g.Freeze_Panel) return;

  float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
  cpgqvsz(1, &x1, &x2, &y1, &y2);
  const float w = x2 - x1, h = y2 - y1;
  pop_up::Window window;
  if (!window.open_device()) return;
  const float a = static_cast<float>(across()), d = static_cast<float>(down());
  cpgpap(0.5f * a * w, (d * h) / (a * w));
  cpgask(0);
  cpgpage();
  cpgenv(0.0f, a, 0.0f, d, 1, -2);
  cpgvstd();
  cpgbox("BCG", 1.0f, 0, "BCG", 1.0f, 0);
  cpgsci(Display_Settings.Drawing_Colour_Index);
  cpgsch(3.0f);
  cpgmtxt("T", 0.5f, 0.5f, 0.5f, "\\fiSelect a panel");
  cpgsch(2.0f);
  cpgmtxt("B", 1.5f, 0.5f, 0.5f, "\\fs(Click once to highlight and twice to select)");

  std::int32_t ix = 0, iy = 0;
  const bool picked = pick_panel(ix, iy);
  if (picked) {
    g.Current_Panel_X = ix;
    g.Current_Panel_Y = down() - iy + 1;
  }
  window.close();
}

void AUTOMATIC_RESIZE() {
  const auto& s = Display_Settings;
  const auto& f = Display_Field;
  // A span of one cell counts as one, so that a one-cell-high field still has a height.
  const float w = static_cast<float>(std::max(f.Zoom_X_To - f.Zoom_X_From, 1));
  const float h = static_cast<float>(std::max(f.Zoom_Y_To - f.Zoom_Y_From, 1));
  float width = w, height = h;
  if (s.Annotation_Mode == 1 || s.Annotation_Mode == 2) {
    const float t = static_cast<float>(s.Wedge_Thickness - 3);
    float fx = 1.01f, fy = 1.01f;
    if (s.Annotation_Orientation == 2)
      fy = 1.3f + 0.05f * t;
    else
      fx = 1.4f + 0.05f * t;
    auto stretch = [](float& factor, float times) { factor = times * (factor - 1.0f) + 1.0f; };
    const float r = h / w;
    if (f.One_D_Display) {
      if (f.Cut_Size_Y == 1) stretch(fy, 50.0f);
      if (f.Cut_Size_X == 1) stretch(fx, 50.0f);
    } else if (r < 0.25f) {
      stretch(fy, 2.0f);
    } else if (r > 5.0f) {
      stretch(fx, 8.0f);
    } else if (r > 2.5f) {
      stretch(fx, 4.0f);
    } else if (r > 1.25f) {
      stretch(fx, 2.0f);
    }
    width = w * fx;
    height = h * fy;
  }
  const float aspect = (static_cast<float>(down()) * height) / (static_cast<float>(across()) * width);
  const float fx = Frame_Factors.Frame_Factor_X, fy = Frame_Factors.Frame_Factor_Y;
  const float page_width = aspect > fy / fx ? fy / aspect : fx;
  const float page_height = aspect > fy / fx ? fy : fx * aspect;
  grid().Panel_Paper_Width = page_width / static_cast<float>(across());
  grid().Panel_Paper_Height = page_height / static_cast<float>(down());
  cpgpap(page_width, aspect);
  DIVIDE_DISPLAY(false);
  SET_COLOUR_SCALE();
  white_background();
}

void TOGGLE_AUTORESIZE() {
  auto& s = Display_Settings;
  s.Auto_Resize = !s.Auto_Resize;
  CONSOLE_EMPTY();
  CONSOLE_LINE(s.Auto_Resize ? " Automatic resize on" : " Automatic resize off");
  CONSOLE_EMPTY();
  new_page_at_last_panel();
  if (s.Auto_Resize) {
    KORIN_FRAME_SIZE();
    AUTOMATIC_RESIZE();
  } else {
    DIVIDE_DISPLAY(true);
  }
  Command_State.Command_Code = Command::Replot;
}

void GO_TO_NEXT_PAGE() { new_page_at_last_panel(); }
