// Test support for the result readers: writes a small case (geometry and result files)
// with the sample writer, fills the records as the command line would, opens the case
// with READ_GEOF and reads through the display's moves, the console captured.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Input_Layer.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"
#include "tests/result_files/Scratch_Folder.h"
#include "tools/Sample_Case.h"

using sample::Encoding;

// Values of a small field: output k, cell c (from 0) -> 100 k + c.
inline std::vector<double> ramp(int k, std::int64_t cells) {
  std::vector<double> values(static_cast<std::size_t>(cells));
  for (std::int64_t c = 0; c < cells; ++c) values[c] = 100.0 * k + static_cast<double>(c);
  return values;
}

// Outputs 1..count of a ramp field at times 10 k.
inline std::vector<sample::Output> ramp_outputs(int count, std::int64_t cells) {
  std::vector<sample::Output> outputs;
  for (int k = 1; k <= count; ++k) outputs.push_back({10.0 * k, ramp(k, cells)});
  return outputs;
}

class Case_Fixture : public ::testing::Test {
 protected:
  void SetUp() override {
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    SET_CONSOLE_STREAM(&console_);
  }
  void TearDown() override {
    CLOSE_RESULT_FILES();
    SET_CONSOLE_STREAM(nullptr);
    RESET_GLOBALS();
  }

  std::string geometry_path() const { return dir_ / "Case_geoF.zlt"; }
  std::string result_path(int i) const { return dir_ / ("Case_f" + std::to_string(i) + ".zlt"); }

  // Writes the geometry and one result file per entry of files.
  void write_case(Encoding encoding, const sample::Geometry& geometry,
                  const std::vector<std::vector<sample::Output>>& files) {
    sample::WRITE_GEOMETRY(geometry_path(), encoding, geometry);
    for (std::size_t i = 0; i < files.size(); ++i)
      sample::WRITE_RESULTS(result_path(static_cast<int>(i + 1)), encoding, files[i]);
    files_ = static_cast<int>(files.size());
  }

  // Fills the records as the command line leaves them (format 0: not given).
  void prepare(int format = 0, bool compressed = false) {
    auto& r = Result_Set;
    r.Number_Of_Solutions = files_;
    r.Name_Solution.ALLOCATE({Bounds{1, files_}});
    r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, files_}});
    for (int i = 1; i <= files_; ++i) {
      r.Name_Solution(i) = result_path(i);
      r.Name_To_Be_Displayed(i) = "Case_f" + std::to_string(i) + ".zlt";
    }
    r.Geometry_File_Name = geometry_path();
    r.Result_Format = format == 0 ? 1 : format;
    r.Format_Given = format != 0;
    r.Compressed_Results = compressed;
    r.Temporary_Files_Directory = dir_.path().string() + "/";
  }

  // Opens the case; true when READ_GEOF returned, false when it stopped the program.
  bool open(int format = 0, bool compressed = false) {
    prepare(format, compressed);
    try {
      READ_GEOF();
      return true;
    } catch (const Program_Stop&) {
      return false;
    }
  }

  // Runs one time-step move; false when the program stopped.
  bool move(std::int32_t command) {
    Command_State.Time_Step_Command = command;
    try {
      READ_RESULTS();
      return true;
    } catch (const Program_Stop&) {
      return false;
    }
  }

  // The displayed value of file i at (x, y).
  float shown(int i, int x, int y = 1) const { return Display_Field.Array_to_be_displayed(i, x, y); }

  // Files with the given output counts over an x-z field 3 x 2, opened on their first outputs,
  // every one selected for the probes.
  void OPEN_RAMP_FILES(const std::vector<int>& counts) {
    std::vector<std::vector<sample::Output>> files;
    for (int count : counts) files.push_back(ramp_outputs(count, 6));
    write_case(Encoding::Single, {3, 1, 2, 1e-4}, files);
    ASSERT_TRUE(open(1));
    ASSERT_TRUE(move(1));
    Result_Set.Selected_Solutions.ALLOCATE({Bounds{1, files_}});
  }

  std::string console() const { return console_.str(); }
  void clear_console() { console_.str(""); }

  Scratch_Folder dir_;
  int files_ = 0;
  std::ostringstream console_;
};
