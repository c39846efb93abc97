// Write_Image: the display drawn into an image file.
//
// Reads:  Output_Settings, Command_State.Command_Code, Display_Settings (Auto_Resize,
//         Panel_Grid, White_Background, Drawing_Colour_Index), Display_Field (zoom window),
//         Result_Set.Number_Of_Solutions, Graphics_Units.Unit_Display.
// Writes: Output_File_Name (and the default name); Annotation_Mode and the current panel only
//         while the image is drawn; the console.

#include "probes/Write_Image.h"

#include <cpgplot.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "display/Colour_Scale.h"
#include "display/Dialog_Stuff.h"
#include "display/Manage_Display.h"
#include "display/Output_File_Names.h"
#include "display/Tools_Graphical.h"
#include "probes/All_Outputs.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "text/Blanks.h"

namespace {

constexpr float Inches_Per_Cell = 0.012352941f;  // about 81 cells to the inch

bool named_by_caller(std::int32_t code) { return code == 104 || code == 105 || code == 113; }

// The name of the image into Output_File_Name; false when the user cancelled.
bool choose_name(std::int32_t code) {
  auto& out = Output_Settings;
  const bool batched = code == Command::Image_Outputs;
  SET_DEFAULT_OUTPUT_FILE(1, " ", WITHOUT_TRAILING_BLANKS(out.Image_Extension), batched);
  if (batched) {
    out.Output_File_Name = out.Default_Output_File_Name;
    return true;
  }
  INPUT_FILE_NAME("Image output");
  return !WITHOUT_TRAILING_BLANKS(out.Output_File_Name).empty();
}

Image_Size base_size() {
  const auto& grid = Display_Settings.Panel_Grid;
  if (Display_Settings.Auto_Resize) return {grid.Panel_Paper_Width, grid.Panel_Paper_Height};
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  cpgqvsz(1, &x1, &x2, &y1, &y2);
  return {x2 - x1, y2 - y1};
}

void select_main_display() { SELECT_PGPLOT_UNIT(Graphics_Units.Unit_Display); }

}  // namespace

Image_Size IMAGE_PAGE_SIZE(Image_Size base, int cells_across, int cells_down) {
  const auto& out = Output_Settings;
  const auto& grid = Display_Settings.Panel_Grid;
  Image_Size size = base;
  if (out.High_Resolution_Images) {
    size.width = std::max({10.0f, static_cast<float>(cells_across) * Inches_Per_Cell, size.width});
    size.height = std::max({10.0f, static_cast<float>(cells_down) * Inches_Per_Cell, size.height});
  } else if (out.Larger_Images) {
    size.width *= 2.0f;
    size.height *= 2.0f;
  }
  if (Result_Set.Number_Of_Solutions > 1) {
    size.width *= static_cast<float>(std::abs(grid.Panels_Across));
    size.height *= static_cast<float>(std::abs(grid.Panels_Down));
  }
  return size;
}

void WRITE_IMAGE() {
  auto& out = Output_Settings;
  auto& d = Display_Settings;
  auto& grid = d.Panel_Grid;
  const auto& f = Display_Field;
  const std::int32_t code = Command_State.Command_Code;
  if (!named_by_caller(code) && !choose_name(code)) return;

  const Image_Size base = base_size();
  const std::int32_t device = PGOPEN_WIN(true, WITHOUT_TRAILING_BLANKS(out.Output_File_Name) + WITHOUT_TRAILING_BLANKS(out.Image_Driver));
  if (device < 1) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Unable to open image file!");
    CONSOLE_EMPTY();
    select_main_display();
    return;
  }
  SELECT_PGPLOT_UNIT(device);
  if (d.White_Background) {
    cpgscr(0, 1.0f, 1.0f, 1.0f);
    cpgscr(1, 0.0f, 0.0f, 0.0f);
  }
  const std::int32_t saved_x = grid.Current_Panel_X, saved_y = grid.Current_Panel_Y;
  const std::int32_t saved_mode = d.Annotation_Mode;
  grid.Current_Panel_X = grid.Panels_Across;
  grid.Current_Panel_Y = grid.Panels_Down;
  if (out.High_Resolution_Images) d.Annotation_Mode = 4;
  const Image_Size page =
      IMAGE_PAGE_SIZE(base, f.Zoom_X_To - f.Zoom_X_From + 1, f.Zoom_Y_To - f.Zoom_Y_From + 1);

  cpgpap(page.width, page.height / page.width);
  cpgask(0);
  cpgpage();
  if (Result_Set.Number_Of_Solutions > 1) {
    cpgsubp(grid.Panels_Across, grid.Panels_Down);
    cpgpage();
  }
  SET_COLOUR_SCALE();
  MANAGE_DISPLAY();
  cpgclos();

  CONSOLE_LINE(" File: " + WITHOUT_TRAILING_BLANKS(out.Output_File_Name) + " created");
  if (code != Command::Image_Outputs && !named_by_caller(code)) CONSOLE_EMPTY();

  select_main_display();
  cpgscr(14, 0.25f, 0.25f, 0.25f);
  cpgsci(d.Drawing_Colour_Index);
  grid.Current_Panel_X = saved_x;
  grid.Current_Panel_Y = saved_y;
  d.Annotation_Mode = saved_mode;
}

// Each image draws its output itself; the window keeps its picture meanwhile and is redrawn
// once when the series ends back on the output it showed.
void WRITE_IMAGES() { FOR_EVERY_OUTPUT("Writing images... please wait", "Images written", WRITE_IMAGE, false); }
