// Initialise: the start-up values of the display.
//
// Reads:   Panel_Grid (Panels_Across, Panels_Down), set by the command line.
// Writes:  Display_Settings, Output_Settings, Command_State, Scan_Line, Raster_Overlay,
//          Vector_Settings, Display_Field.One_D_Display, Isoline_Data.Display_Isoline_Labels,
//          Solution_Counter. Fields with only a load value (Random_Seed, Auto_Resize, the
//          device identifiers ...) keep it.

#include "main/Initialise.h"

#include "main/Command_Codes.h"
#include "main/Globals.h"

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
