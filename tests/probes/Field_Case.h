// Test support for the exports and probes: N results over an NX x NY x-y field held only in
// memory (no result files), named in a scratch folder, the console captured.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "records/Console.h"
#include "records/Globals.h"
#include "main/Initialise.h"
#include "display/Output_File_Names.h"
#include "result_files/Display_Arrays.h"
#include "platform/Io_Fault.h"
#include "tests/result_files/Scratch_Folder.h"

class Field_Case : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_GLOBALS();
    DEFAULT_SETTINGS();
    START_OUTPUT_SERIES();
    SET_CONSOLE_STREAM(&console_);
  }
  void TearDown() override {
    IO_FAULT_ARM(0);
    SET_CONSOLE_STREAM(nullptr);
    RESET_GLOBALS();
  }

  // n results over nx x ny cells of 1 micrometre at t = 12.5 s, result k named "Sim_k.dat"
  // in the scratch folder; value(k, x, y) fills the displayed field; default naming on.
  void make_field(int n, int nx, int ny, const std::function<float(int, int, int)>& value) {
    auto& r = Result_Set;
    r.Number_Of_Solutions = n;
    for (auto* a : {&r.Current_Min, &r.Current_Max, &r.Time}) a->ALLOCATE({Bounds{1, n}});
    for (auto* a : {&r.Time_Step_Number, &r.Total_Time_Steps}) a->ALLOCATE({Bounds{1, n}});
    r.Name_Solution.ALLOCATE({Bounds{1, n}});
    r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, n}});
    r.Selected_Solutions.ALLOCATE({Bounds{1, n}});
    for (int k = 1; k <= n; ++k) {
      r.Current_Min(k) = 0.0f;
      r.Current_Max(k) = 1.0f;
      r.Time(k) = 12.5f;
      r.Time_Step_Number(k) = 1;
      r.Total_Time_Steps(k) = 1;
      r.Name_To_Be_Displayed(k) = "Sim_" + std::to_string(k) + ".dat";
      r.Name_Solution(k) = dir_ / r.Name_To_Be_Displayed(k);
    }
    Result_Geometry.AnzX = nx, Result_Geometry.AnzY = ny, Result_Geometry.AnzZ = 1;
    Result_Geometry.Grid_Spacing = 1.0e-4f;
    Display_Field.Cut_Direction = 1;
    Display_Field.Cut_Index = 1;
    ALLOCATE_ARRAYS();
    auto& f = Display_Field;
    for (int k = 1; k <= n; ++k)
      for (int y = 1; y <= f.Display_Size_Y; ++y)
        for (int x = 1; x <= f.Display_Size_X; ++x) f.Array_to_be_displayed(k, x, y) = value(k, x, y);
    Output_Settings.Default_Naming = true;
  }

  void zoom(int x_from, int x_to, int y_from, int y_to) {
    auto& f = Display_Field;
    f.Zoom_X_From = x_from, f.Zoom_X_To = x_to, f.Zoom_Y_From = y_from, f.Zoom_Y_To = y_to;
  }

  std::string console() const { return console_.str(); }
  void clear_console() { console_.str(""); }

  Scratch_Folder dir_;
  std::ostringstream console_;
};

// The lines of a text (each ended by LF; a last line without LF counts too).
inline std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}
