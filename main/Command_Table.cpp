// Command_Table: the handler and next pass level of every command code, and the commands
// that the command loop carries out itself.
//
// Reads and writes: the Display_Settings, Output_Settings, Vector_Settings, Isoline_Data and
// Command_State fields that the inline commands change; the console.

#include <array>

#include "display/Animate.h"
#include "display/Colour_Keys.h"
#include "display/Colour_Scale.h"
#include "display/Grid.h"
#include "display/Isolines.h"
#include "display/Length_Scale.h"
#include "display/Manage_3D.h"
#include "display/Manage_Display.h"
#include "display/Tools_Graphical.h"
#include "display/Vector_Settings.h"
#include "display/Zoom.h"
#include "main/Command_Loop.h"
#include "main/Display_Modes.h"
#include "main/Initialise.h"
#include "main/Remove_Output.h"
#include "main/Tools_General.h"
#include "probes/Data_Information.h"
#include "probes/Front_Tracking.h"
#include "probes/Probe_Outputs.h"
#include "probes/Scan_Point.h"
#include "probes/Virtual_EDX.h"
#include "probes/Write_ASCII_Output.h"
#include "probes/Write_Contour.h"
#include "probes/Write_Image.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "records/Toggle_Boolean.h"
#include "result_files/Display_Arrays.h"
#include "result_files/Extrema.h"
#include "result_files/Time_Temperature.h"

namespace {

using Handler = void (*)();

struct Entry {
  Handler handler = nullptr;
  std::int32_t level = 3;
  bool replot = false;  // the next pass repaints everything (code 23)
};

// The redraw itself acts on the code.
void redraw_only() {}

void resize_if_automatic() {
  if (Display_Settings.Auto_Resize) AUTOMATIC_RESIZE();
}

void cycle_annotation_mode() {
  auto& d = Display_Settings;
  d.Annotation_Mode = d.Annotation_Mode % 4 + 1;
  resize_if_automatic();
}

void cycle_annotation_orientation() {
  auto& d = Display_Settings;
  d.Annotation_Orientation = d.Annotation_Orientation % 2 + 1;
  resize_if_automatic();
}

void thicken_wedge() {
  auto& d = Display_Settings;
  d.Wedge_Thickness += 2;
  if (d.Wedge_Thickness > 9) d.Wedge_Thickness = 3;
  resize_if_automatic();
}

void toggle_auto_replot() { TOGGLE_BOOLEAN(Display_Settings.Auto_Replot, "'Auto-replot' on", "'Auto-replot' off"); }

void toggle_enhanced_1d() {
  TOGGLE_BOOLEAN(Display_Field.Enhanced_1D, "'Enhanced 1D' display on", "'Enhanced 1D' display off");
  ALLOCATE_ARRAYS();
}

void cycle_temperature_display() {
  auto& d = Display_Settings;
  // A table that cannot be read has said so and left the display off.
  if (d.Temperature_Display == 0 && !READ_TIME_TEMPERATURE()) return;
  d.Temperature_Display = (d.Temperature_Display + 1) % 3;
  static constexpr std::array<const char*, 3> texts{
      " Not displaying 'temperaure at the bottom'", " Displaying 'temperaure at the bottom' in Kelvin",
      " Displaying 'temperaure at the bottom' in degree Celsius"};
  CONSOLE_EMPTY();
  CONSOLE_LINE(texts[static_cast<std::size_t>(d.Temperature_Display)]);
  CONSOLE_EMPTY();
}

void close_extra_windows() {
  CLOSE_POP_UP();
  CLOSE_PLOT();
  CLOSE_COLOUR_SCALES();
}

void colour_key_window() { DISPLAY_SCALE(true); }
void colour_key_images() { DISPLAY_SCALE(false); }

void choose_scale_length() {
  auto& d = Display_Settings;
  d.Automatic_Scale_Length = !d.Automatic_Scale_Length;
  if (d.Automatic_Scale_Length) return;
  SET_LENGTH_SCALE();
  d.Display_Length_Scale = true;
}

void toggle_length_scale() { Display_Settings.Display_Length_Scale = !Display_Settings.Display_Length_Scale; }

void flip_length_scale() {
  Display_Settings.Flip_Length_Scale = !Display_Settings.Flip_Length_Scale;
  if (Vector_Settings.Vector_Mode != 0)
    Display_Settings.Display_Length_Scale = true;
  else
    Vector_Settings.Display_Vector_Scale = true;
}

void toggle_raster() {
  TOGGLE_BOOLEAN(Raster_Overlay.Display_Raster, "Display of 'raster' on", "Display of 'raster' off");
}

void toggle_vector_scale() { Vector_Settings.Display_Vector_Scale = !Vector_Settings.Display_Vector_Scale; }
void cycle_vector_colour() { Vector_Settings.Vector_Colour = (Vector_Settings.Vector_Colour + 1) % 3; }
void cycle_isoline_colour() { Isoline_Data.Isoline_Colour = (Isoline_Data.Isoline_Colour + 1) % 3; }

void toggle_larger_images() {
  TOGGLE_BOOLEAN(Output_Settings.Larger_Images, "Writing of 'larger' images toggled on",
                 "Writing of 'larger' images toggled off");
}
void toggle_high_resolution() {
  TOGGLE_BOOLEAN(Output_Settings.High_Resolution_Images, "Writing of 'high resolution' images toggled on",
                 "Writing of 'high resolution' images toggled off");
}
void toggle_numbering() {
  TOGGLE_BOOLEAN(Output_Settings.Numbering_Of_Outputs, "Numbering of outputs toggled on",
                 "Numbering of outputs toggled off");
}
void toggle_default_naming() {
  TOGGLE_BOOLEAN(Output_Settings.Default_Naming, "'Default naming' of outputs toggled on",
                 "'Default naming' of outputs toggled off");
}

// The front end hands the program to the keyboard with this code; the key g hands it back.
void toggle_front_end() {
  auto& command = Command_State;
  if (command.GUI_Started)
    TOGGLE_BOOLEAN(command.GUI_Active, "Graphical user interface restored", "Graphical user interface suspended");
  if (!command.GUI_Active) SUMMARY_SHORTCUTS();
}

void key_summary() {
  if (!Command_State.GUI_Active) SUMMARY_SHORTCUTS();
}

std::array<Entry, Command::End_Program> make_table() {
  std::array<Entry, Command::End_Program> table{};
  auto set = [&](std::int32_t first, std::int32_t last, Handler handler, std::int32_t level, bool replot = false) {
    for (std::int32_t code = first; code <= last; ++code) table[static_cast<std::size_t>(code)] = {handler, level, replot};
  };
  set(1, 5, EXTREMA, 2);
  set(6, 17, COLOUR_SCALE, 2);
  set(18, 20, ANIMATE, 2);
  set(21, 23, redraw_only, 2);
  set(24, 24, toggle_auto_replot, 3);
  set(25, 25, redraw_only, 2);
  set(26, 26, TOGGLE_AUTORESIZE, 2);
  set(27, 27, cycle_annotation_mode, 2, true);
  set(28, 28, colour_key_window, 2);
  set(29, 29, cycle_annotation_orientation, 2, true);
  set(30, 30, thicken_wedge, 2, true);
  set(31, 31, BLACK_2_WHITE, 2);
  set(32, 32, toggle_enhanced_1d, 1, true);
  set(33, 33, cycle_temperature_display, 2, true);
  set(34, 34, close_extra_windows, 3);
  set(35, 35, toggle_length_scale, 2);
  set(36, 36, choose_scale_length, 2);
  set(37, 37, flip_length_scale, 2);
  set(38, 40, ZOOM, 2);
  set(41, 45, TOGGLE_SYMMETRY, 2);
  set(46, 47, GRID, 2);
  set(48, 49, TOGGLE_FLAG_RGB_TRIANGLE, 3);
  set(50, 52, TOGGLE_PROCESSED_RESULTS, 3);
  set(53, 53, toggle_raster, 2);
  set(54, 55, TOGGLE_PROCESSED_RESULTS, 3);
  set(56, 56, DISPLAY_VECTORS_SETTINGS, 2);
  set(57, 57, toggle_vector_scale, 2);
  set(58, 58, cycle_vector_colour, 2, true);
  set(59, 67, ISOLINES, 2);
  set(68, 68, cycle_isoline_colour, 2, true);
  set(69, 70, CALL_WRITE_CONTOUR, 3);
  set(71, 76, MANAGE_3D, 1);
  set(77, 77, WRITE_IMAGE, 3);
  set(78, 78, WRITE_IMAGES, 2);
  set(79, 79, toggle_larger_images, 3);
  set(80, 80, toggle_high_resolution, 3);
  set(81, 81, WRITE_ASCII_OUTPUT, 3);
  set(82, 82, WRITE_ASCII_OUTPUTS, 2);
  set(83, 83, WRITE_ASCII_OUTPUT, 2);
  set(84, 84, WRITE_ASCII_OUTPUTS, 2);
  set(85, 85, colour_key_images, 3);
  set(86, 86, toggle_numbering, 3);
  set(87, 90, CHANGE_IMAGE_DRIVER, 3);
  set(91, 91, toggle_default_naming, 3);
  set(92, 99, VIRTUAL_EDX, 3);
  set(100, 100, FRONT_TRACKING, 3);
  set(101, 101, SCAN_POINT, 3);
  set(102, 114, VIRTUAL_EDX_OUTPUT, 2);
  set(115, 125, DATA_INFORMATION, 3);
  set(126, 126, toggle_front_end, 3);
  set(127, 127, CALL_KICK_OUT_OUTPUT, 2);
  set(128, 128, key_summary, 3);
  return table;
}

}  // namespace

std::int32_t DISPATCH_COMMAND(std::int32_t code) {
  static const std::array<Entry, Command::End_Program> table = make_table();
  if (code < 1 || code >= Command::End_Program) return 3;
  const Entry& entry = table[static_cast<std::size_t>(code)];
  entry.handler();
  if (entry.replot) Command_State.Command_Code = Command::Replot;
  return entry.level;
}
