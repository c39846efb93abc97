// The global records of the display program: one instance of each, shared by every
// routine (no state travels along call chains). Per-file arrays are indexed 1..N,
// N = Result_Set.Number_Of_Solutions; texts are std::string without their padding.
//
// Fields keep their load values here; the command line, start-up and READ_GEOF set the
// rest. RESET_GLOBALS() puts every record back to its load values (tests use it).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "records/Bounded_Array.h"

using Real_Array = Bounded_Array<float, 1>;
using Integer_Array = Bounded_Array<std::int32_t, 1>;
using Logical_Array = Bounded_Array<bool, 1>;
using Text_Array = Bounded_Array<std::string, 1>;

constexpr int No_Device = -13;
constexpr int Not_Set = -666;

// ---------------------------------------------------------------- result files
struct Result_Set_Type {
  std::int32_t Number_Of_Solutions = 0;
  Text_Array Name_Solution;           // 1..N, with folder
  Text_Array Name_To_Be_Displayed;    // 1..N, without folder
  std::string Geometry_File_Name;
  std::int32_t Result_Format = 1;     // 1..7
  bool Format_Given = false;
  bool Compressed_Results = false;
  bool Sequential_Reading = true;     // false for the record-number codes 4 and 5
  std::int32_t Extrema_Mode = 1;      // 1 all outputs, 2 first, 3 last, 4 user limits
  float Global_Minimum = 0.0f;        // "--Min:"
  float Global_Maximum = 0.0f;        // "--Max:"
  std::string Temporary_Files_Directory;  // "--Temp:", used as a prefix
  Text_Array Temporary_Files;         // 0 geometry copy, 1..N result copies
  Real_Array Time;                    // time of the output shown; -666 before the first
  Integer_Array Time_Step_Number;     // output read last (records in front of a sequential stream)
  Integer_Array Total_Time_Steps;     // highest output number known
  Real_Array Computed_Min, Computed_Max;
  Real_Array Current_Min, Current_Max;
  Logical_Array Selected_Solutions;   // files the current command acts on
  // Values of the output read last in full, indexed (file, x, y, z) and stored one file
  // after the other, x fastest: single precision for codes 1, 3, 4, 6, double for 2, 5, 7.
  Bounded_Array<float, 4> Buffer_Array_Single;
  Bounded_Array<double, 4> Buffer_Array_Double;
  Bounded_Array<float, 1> Buffer_Array_Text;  // an ASCII output until it was read whole
  std::int32_t Seek_Step = Not_Set;   // output number to seek, -666 none
  std::int32_t Seek_Reference_File = 1;
};

struct Result_Geometry_Type {
  std::int32_t AnzX = 0, AnzY = 0, AnzZ = 0;
  float Grid_Spacing = 0.0f;          // displayed cell size in cm (file spacing x Skip_Factor)
  std::array<std::string, 5> Simulation_Info{"No info!  ", "No info!  ", "No info!  ",
                                             "No info!  ", "No info!  "};
  bool Simulation_Info_Present = false;
};

// ---------------------------------------------------------------- display state
struct Processed_Display_Modes_Type {
  bool Absolute_Values = false;
  bool Logarithmic_Display = false;
  bool Difference_Display = false;
  bool Miller_Indices = false;
  bool RGB_Triangle = false;
};

struct Panel_Grid_Type {
  std::int32_t Panels_Across = 0, Panels_Down = 0;
  bool Row_Major_Panels = true;
  std::int32_t Current_Panel_X = 0, Current_Panel_Y = 0;
  bool Freeze_Panel = false;
  std::int32_t Saved_Panels_Across = 0, Saved_Panels_Down = 0;
  // The grid before the first processed or vector mode went on (kept apart from the one the
  // RGB triangle saves: both kinds of mode can be on at once).
  std::int32_t Processed_Saved_Panels_Across = 0, Processed_Saved_Panels_Down = 0;
  float Panel_Paper_Width = 0.0f, Panel_Paper_Height = 0.0f;
};

struct Display_Settings_Type {
  float Display_Time = 0.0f;
  std::int32_t Number_Of_Loops = 0;
  std::array<float, 6> TR_Matrix{};
  std::int32_t Colour_Scale_Number = 0;
  std::int32_t Saved_Colour_Scale_Number = 0;
  float Scale_Sign = 0.0f;
  float Brightness = 0.0f;
  float Contrast = 0.0f;
  bool Stepwise_Colour_Scale = false;
  bool Automatic_Steps = false;
  std::int32_t Number_Of_Steps = 0;
  bool Random_Steps = false;
  std::int32_t Random_Seed = 13;
  bool Cut_Off = false;
  bool White_Background = false;
  std::int32_t Drawing_Colour_Index = 0;
  std::int32_t Text_Background_Index = 0;
  std::int32_t Annotation_Mode = 0;
  std::int32_t Annotation_Orientation = 0;
  std::int32_t Wedge_Thickness = 0;
  bool Wedge_Win9X = false;
  bool Auto_Replot = false;
  bool Auto_Resize = true;
  std::int32_t Temperature_Display = 0;
  bool Display_Grid = false;
  std::int32_t Grid_Lines = 0;
  bool Display_Length_Scale = false;
  bool Automatic_Scale_Length = false;
  float Scale_Length = 20.0f;         // length bar in displayed cells
  bool Flip_Length_Scale = false;
  Bounded_Array<float, 2> Time_Temperature;  // (row, 1 time | 2 temperature); unallocated at start
  Processed_Display_Modes_Type Processed_Display_Modes;
  Panel_Grid_Type Panel_Grid;
};

struct Frame_Factors_Type {
  float Frame_Factor_X = 7.6f, Frame_Factor_Y = 4.9f;
};

struct Raster_Overlay_Type {
  bool Display_Raster = false;
  std::int32_t Raster_X_From = -1, Raster_X_To = -1, Raster_Y_From = -1, Raster_Y_To = -1;
  std::int32_t Raster_Spacing = -1;
};

struct Vector_Settings_Type {
  std::int32_t Vector_Mode = 0;       // 0 none, 1 2D, 2 3D
  std::int32_t Vector_Colour = 0;
  bool Display_Vector_Scale = false;
  bool Centred_Vectors = false;
  std::int32_t Vector_X_Component = 2, Vector_Y_Component = 3;
  float Vector_Min_Intensity = 666.0f;   // 666: not set
  float Vector_Max_Intensity = -666.0f;  // -666: not set
  std::int32_t Vector_Thinning = Not_Set;
};

struct Output_Settings_Type {
  std::string Image_Driver, Image_Extension, Image_Driver_Name;
  bool Larger_Images = false, High_Resolution_Images = false;
  bool Numbering_Of_Outputs = false, Default_Naming = false;
  std::string Output_File_Name, Default_Output_File_Name;
};

struct Graphics_Units_Type {
  std::int32_t Unit_Display = No_Device;
  std::int32_t Unit_Current = No_Device;
  std::int32_t Unit_Pop_Up = No_Device;
  std::int32_t Unit_Curves = No_Device;
  Integer_Array Unit_Colour_Scales;   // the open colour-scale windows
};

struct Command_State_Type {
  std::int32_t Command_Code = 0;
  std::int32_t Time_Step_Command = 0;
  char Command_Key = ' ';
  std::int32_t Command_Argument = 0;
  float Cursor_X = 0.0f, Cursor_Y = 0.0f;
  std::int32_t Colour_Scale_Choice = 0;
  std::int32_t Isoline_Count_Choice = 0;
  bool GUI_Active = false;
  bool GUI_Started = false;
};

struct Startup_Options_Type {
  bool Animate_At_Start = false;
  bool Last_At_Start = false;
  bool Miller_At_Start = false;
  std::int32_t Window_Position_X = -1, Window_Position_Y = -1;
};

struct Display_Field_Type {
  std::int32_t Cut_Direction = 0;     // 1 x-y, 2 x-z, 3 y-z
  std::int32_t Cut_Index = 0;
  std::int32_t Cut_Size_X = 0, Cut_Size_Y = 0;
  std::int32_t Display_Size_X = 0, Display_Size_Y = 0;
  std::int32_t Zoom_X_From = 0, Zoom_X_To = 0, Zoom_Y_From = 0, Zoom_Y_To = 0;
  std::int32_t Previous_Zoom_X_From = 0, Previous_Zoom_X_To = 0;
  std::int32_t Previous_Zoom_Y_From = 0, Previous_Zoom_Y_To = 0;
  bool One_D_Display = false;
  bool Enhanced_1D = false;
  std::int32_t Skip_Factor = 1;
  std::int32_t Symmetry_Mode = 1;     // 1 off, 2 four-, 3 three-, 4 nine-folded
  std::int32_t Symmetry_Type = 1;     // 1 mirroring, 2 translation
  // Indexed (slot, x, y); stored one slot after the other, x fastest, so that every
  // slot is one contiguous NX x NY plane (as the plotting library takes images).
  Bounded_Array<float, 3> Array_to_be_displayed;
  Bounded_Array<float, 2> Buffer_Array_Cut;  // (a, b) of the cut plane
};

struct Isoline_Data_Type {
  Integer_Array Isoline_Number;
  Logical_Array Display_Isolines;
  Logical_Array Display_Contours;
  // (file, column): the values of file k in columns 1..Isoline_Number(k), largest first;
  // unallocated until the first isoline is added.
  Bounded_Array<float, 2> Isoline_values;
  Logical_Array Selected_Isolines;    // exists only while isolines are being removed
  bool Display_Isoline_Labels = false;
  std::int32_t Isoline_Colour = 0;
};

struct Scan_Line_Type {
  std::int32_t Scan_X1 = 0, Scan_Y1 = 0, Scan_X2 = 0, Scan_Y2 = 0;
  std::int32_t Scan_Samples = 0;
  bool Probe_Overlay = false;
};

inline Result_Set_Type Result_Set;
inline Result_Geometry_Type Result_Geometry;
inline Display_Settings_Type Display_Settings;
inline Frame_Factors_Type Frame_Factors;
inline Raster_Overlay_Type Raster_Overlay;
inline Vector_Settings_Type Vector_Settings;
inline Output_Settings_Type Output_Settings;
inline Graphics_Units_Type Graphics_Units;
inline Command_State_Type Command_State;
inline Startup_Options_Type Startup_Options;
inline Display_Field_Type Display_Field;
inline Isoline_Data_Type Isoline_Data;
inline Scan_Line_Type Scan_Line;
inline std::int32_t Solution_Counter = 0;
inline std::int32_t EDX_Processing_Mode = 0;
inline Logical_Array Selected_Solutions_SOS;  // 1..N: second selection of the probes
inline Text_Array Previous_Time_Stamp;        // 1..N: the time text last shown for each file


// Puts every record of the display back to its load values and releases their arrays
// (the conversion's records have RESET_TRANSFER_STATE).
inline void RESET_GLOBALS() {
  Result_Set = {};
  Result_Geometry = {};
  Display_Settings = {};
  Frame_Factors = {};
  Raster_Overlay = {};
  Vector_Settings = {};
  Output_Settings = {};
  Graphics_Units = {};
  Command_State = {};
  Startup_Options = {};
  Display_Field = {};
  Isoline_Data = {};
  Scan_Line = {};
  Solution_Counter = 0;
  EDX_Processing_Mode = 0;
  Selected_Solutions_SOS = {};
  Previous_Time_Stamp = {};
}

// ---------------------------------------------------------------- conversion (-t)
// Conversion mode
// The state of one conversion run: filled by TRANSFER_ZELTRA from the command words, read
// by the conversion routines; the display's remove-output command sets the input format
// and the temporary folder. RESET_TRANSFER_STATE() restores the load values (tests).

// Transfer_Format codes (not those of Result_Format).
constexpr std::int32_t Transfer_Binary_Single = 1;
constexpr std::int32_t Transfer_Ascii = 2;
constexpr std::int32_t Transfer_Binary_Double = 3;

struct Transfer_Options_Type {
  std::string FORM;                      // "FORMATTED" or "UNFORMATTED", set before each open
  std::int32_t NX = 0, NY = 0, NZ = 0;   // cell counts of the geometry record read last
  std::int32_t Output_Format = Transfer_Ascii;
  std::int32_t Input_Format = Transfer_Binary_Single;
  bool Fraction = false;                 // matrix composition in fractions, not percent
  bool Whole_Set = false;                // missing files are skipped silently
  bool Geometry_Input = false;           // the input is a geometry file
  bool Output_Compressed = false;
  bool Input_Compressed = false;
};

struct Rescale_Ratio_Type {
  std::int32_t n = 1;  // sub-cells made from one old cell
  std::int32_t p = 1;  // sub-cells merged into one new cell
};

struct Transfer_Files_Type {
  std::array<std::string, 2> Input_Files{"No_File", "No_File"};
  std::string Output_File = "No_File";
  std::string Working_Input = "No_File";  // the name the chosen mode works on
  std::string Geometry_File = "No_File";  // geometry used to rescale one file
};

// Parse state of one run.
struct Transfer_Parse_Type {
  std::int32_t Name_Count = 0;
  bool Remove_One = false;   // -k
  std::int32_t Remove_One_Number = 0;  // the number of the last -k word
  bool Remove_List = false;  // -l
  bool Rename = false;       // -r
  bool Matrix = false;       // -m
  bool Times = false;        // --Output_Times and its spellings
  bool Run_Failed = false;   // a mode reported a failure and returned: the run exits with 1
};

// Record buffers of the conversion (one output record each), kept for the whole run and
// shared by the record copier and the matrix composition.
struct Transfer_Buffers_Type {
  std::vector<float> Buffer_Array_Single;
  std::vector<double> Buffer_Array_Double;
  float Time_Single = 0.0f;
  double Time_Double = 0.0;
  std::int32_t Cell_Count = 0;  // of the record read last
};

inline Transfer_Options_Type Transfer_Options;
inline Rescale_Ratio_Type Rescale_Ratio;
inline std::int32_t Result_To_Kick_Out = 0;
inline std::vector<std::int32_t> Results_To_Kick_Out;
inline std::string Temporary_Directory;                 // folder prefix, used exactly as typed
inline std::array<std::string, 4> Temporary_File_Names; // slots 0..3
inline Transfer_Files_Type Transfer_Files;
inline Transfer_Parse_Type Transfer_Parse;
inline Transfer_Buffers_Type Transfer_Buffers;
inline std::vector<std::string> Extensions;  // the 1029 known extensions of a result set

inline void RESET_TRANSFER_STATE() {
  Transfer_Options = {};
  Rescale_Ratio = {};
  Result_To_Kick_Out = 0;
  Results_To_Kick_Out.clear();
  Temporary_Directory.clear();
  Temporary_File_Names = {};
  Transfer_Files = {};
  Transfer_Parse = {};
  Transfer_Buffers = {};
  Extensions.clear();
}
