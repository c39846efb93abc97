// Initialise: the start-up values of the display.
//
// Reads:   Panel_Grid (Panels_Across, Panels_Down), set by the command line; Startup_Options
//          (window position), Number_Of_Solutions, Auto_Resize, GUI_Active, Computed_Min and
//          Computed_Max.
// Writes:  Graphics_Units (Unit_Display, Unit_Current), Current_Min, Current_Max, the per-file
//          arrays of the display; Display_Settings, Output_Settings, Command_State, Scan_Line, Raster_Overlay,
//          Vector_Settings, Display_Field.One_D_Display, Isoline_Data.Display_Isoline_Labels,
//          Solution_Counter. Fields with only a load value (Random_Seed, Auto_Resize, the
//          device identifiers ...) keep it.

#include "main/Initialise.h"

#include <cpgplot.h>
#include <unistd.h>  // usleep

#include <string>

#include "display/Colour_Scale.h"
#include "display/Manage_Display.h"
#include "korin_client/Korin_Upper.h"
#include "main/Command_Line_Help.h"
#include "records/Allocation_Checks.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Read_GeoF.h"

namespace {

constexpr const char* Screen_Device = "/CKR";

void open_screen_device() {
  const auto& start = Startup_Options;
  if (start.Window_Position_X >= 0 && start.Window_Position_Y >= 0) {
    int status = 0;
    KRINITX(status, 8, start.Window_Position_X, start.Window_Position_Y, 760, 586, 13, -1, -1);
    ::usleep(100000);
  }
  const int unit = cpgopen(Screen_Device);
  if (unit <= 0) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Unable to open screen device");
    CONSOLE_EMPTY();
    STOP_PROGRAM(1);
  }
  Graphics_Units.Unit_Display = unit;
  Graphics_Units.Unit_Current = unit;
}

void please_wait_page() {
  cpgask(0);
  cpgpage();
  cpgenv(0.0f, 1.0f, 0.0f, 1.0f, 0, -2);
  cpgptxt(0.5f, 0.5f, 0.0f, 0.5f,
          Result_Set.Number_Of_Solutions > 1 ? "\\fiReading result files, please wait..."
                                             : "\\fiReading result file, please wait...");
}

void window_options() {
  int status = 0;
  KROPTION(status, 1, 1);  // the window keeps its drawing, for repaints, printing and saving
  KROPTION(status, 2, 1);  // drawing through a back buffer
  KROPTION(status, 3, 0);  // no status bar
}

template <typename Array, typename Value>
void allocate_per_file(Array& array, const char* name, const Value& value) {
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  CHECK_ALLOCATION_ERROR(name, array.ALLOCATE({Bounds{1, n}}));
  CHECK_ALLOCATION_SIZE(name, array.SIZE(), n);
  array.FILL(value);
}

void per_file_arrays() {
  allocate_per_file(Isoline_Data.Isoline_Number, "Isoline_Number", std::int32_t{0});
  allocate_per_file(Isoline_Data.Display_Isolines, "Display_Isolines", false);
  allocate_per_file(Isoline_Data.Display_Contours, "Display_Contours", false);
  allocate_per_file(Result_Set.Selected_Solutions, "Selected_Solutions", false);
  allocate_per_file(Selected_Solutions_SOS, "Selected_Solutions_SOS", false);
  allocate_per_file(Previous_Time_Stamp, "Previous_Time_Stamp", std::string());
}

void page_and_drawing_state() {
  cpgask(0);
  cpgpage();
  if (Display_Settings.Auto_Resize) {
    AUTOMATIC_RESIZE();
  } else {
    DIVIDE_DISPLAY(false);
    SET_COLOUR_SCALE();
  }
  cpgswin(0.0f, 1.0f, 0.0f, 7.5f);
  cpgsvp(0.0f, 1.0f, 0.0f, 1.0f);
  cpgscr(0, 0.0f, 0.0f, 0.0f);
  cpgscr(1, 1.0f, 1.0f, 1.0f);
  cpgscr(14, 0.25f, 0.25f, 0.25f);
  cpgsci(Display_Settings.Drawing_Colour_Index);
  cpgstbg(Display_Settings.Text_Background_Index);
  cpgsah(2, 45.0f, 0.5f);
}

}  // namespace

void DEFAULT_SETTINGS() {
  auto& d = Display_Settings;
  auto& panels = d.Panel_Grid;
  auto& output = Output_Settings;
  auto& command = Command_State;

  d.Processed_Display_Modes = {};
  d.Flip_Length_Scale = false;
  d.Display_Time = 0.75f;
  d.TR_Matrix = {0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
  Scan_Line.Probe_Overlay = false;
  d.Display_Grid = false;
  panels.Current_Panel_X = panels.Panels_Across;
  panels.Current_Panel_Y = panels.Panels_Down;
  Vector_Settings.Display_Vector_Scale = false;
  Display_Field.One_D_Display = false;
  d.Contrast = 1.0f;
  d.Brightness = 0.5f;
  d.Scale_Sign = 1.0f;
  output.Image_Driver = "/GIF";
  output.Image_Extension = "gif";
  output.Image_Driver_Name = "'GIF'";
  Scan_Line.Scan_X1 = Scan_Line.Scan_Y1 = Scan_Line.Scan_X2 = Scan_Line.Scan_Y2 = 0;
  Scan_Line.Scan_Samples = 0;
  panels.Freeze_Panel = false;
  output.Numbering_Of_Outputs = false;
  Raster_Overlay.Display_Raster = false;
  command.Command_Code = Command::Replot;
  d.White_Background = false;
  command.Time_Step_Command = 1;
  d.Cut_Off = false;
  d.Colour_Scale_Number = 1;
  d.Stepwise_Colour_Scale = false;
  Vector_Settings.Centred_Vectors = true;
  d.Number_Of_Steps = 0;
  d.Automatic_Scale_Length = true;
  d.Random_Steps = false;
  d.Annotation_Mode = 1;
  d.Auto_Replot = false;
  d.Wedge_Thickness = 3;
  output.Larger_Images = false;
  d.Annotation_Orientation = 1;
  output.High_Resolution_Images = false;
  d.Number_Of_Loops = 2;
  output.Default_Naming = false;
  Solution_Counter = 1;
  d.Temperature_Display = 0;
  d.Grid_Lines = 5;
  Isoline_Data.Display_Isoline_Labels = false;
  d.Drawing_Colour_Index = 1;
  d.Text_Background_Index = -1;
  d.Automatic_Steps = true;
}

void INITIALISE() {
  open_screen_device();
  please_wait_page();
  window_options();
  DEFAULT_SETTINGS();
  READ_GEOF();
  per_file_arrays();
  auto& r = Result_Set;
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i) {
    r.Current_Min(i) = r.Computed_Min(i);
    r.Current_Max(i) = r.Computed_Max(i);
  }
  page_and_drawing_state();
  ACKNOWLEDGMENTS();
  if (!Command_State.GUI_Active) SUMMARY_SHORTCUTS();
}
