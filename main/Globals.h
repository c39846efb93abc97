#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Conversion mode
// ---------------------------------------------------------------- conversion (-t)
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
  bool Remove_List = false;  // -l
  bool Rename = false;       // -r
  bool Matrix = false;       // -m
  bool Times = false;        // --Output_Times and its spellings
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
}
