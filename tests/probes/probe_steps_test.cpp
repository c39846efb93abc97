// The probes' walk through all outputs and the exports' batches over real result files.

#include <gtest/gtest.h>

#include <cpgplot.h>

#include <string>
#include <utility>
#include <vector>

#include "records/Command_Codes.h"
#include "main/Initialise.h"
#include "display/Output_File_Names.h"
#include "probes/Probe_Results.h"
#include "probes/Write_ASCII_Output.h"
#include "probes/Write_Contour.h"
#include "tests/result_files/Case_Fixture.h"

namespace {

class Probe_Steps : public Case_Fixture {
 protected:
  // The output numbers each pass records.
  std::vector<std::pair<int, int>> walk() {
    std::vector<std::pair<int, int>> seen;
    STEP_PROBE_OUTPUTS([&] { seen.emplace_back(Result_Set.Time_Step_Number(1), Result_Set.Time_Step_Number(2)); });
    return seen;
  }
};

TEST_F(Probe_Steps, ReferenceDecidesTheEnd) {
  OPEN_RAMP_FILES({10, 12});
  SELECT_PROBE_RESULTS(false);
  std::vector<std::pair<int, int>> expected;
  for (int k = 1; k <= 10; ++k) expected.emplace_back(k, k);
  EXPECT_EQ(walk(), expected);  // outputs 11 and 12 of the second are never recorded
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 1);
}

TEST_F(Probe_Steps, ShorterResultWrapsEarlier) {
  OPEN_RAMP_FILES({12, 10});
  SELECT_PROBE_RESULTS(false);
  const auto seen = walk();
  ASSERT_EQ(seen.size(), 12u);
  EXPECT_EQ(seen[10], std::make_pair(11, 1));
  EXPECT_EQ(seen[11], std::make_pair(12, 2));
}

TEST_F(Probe_Steps, UnselectedResultsStayAndNoneMakesOnePass) {
  OPEN_RAMP_FILES({3, 4});
  Result_Set.Selected_Solutions(1) = false;
  Result_Set.Selected_Solutions(2) = true;
  EXPECT_EQ(REFERENCE_RESULT(), 2);
  EXPECT_EQ(walk(), (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 3}, {1, 4}}));
  Result_Set.Selected_Solutions(2) = false;
  EXPECT_EQ(walk().size(), 1u);
}

// A reference that never comes back (its file lost outputs) still ends after one wrap.
TEST_F(Probe_Steps, ShrunkenReferenceEndsAfterOneWrap) {
  OPEN_RAMP_FILES({4, 4});
  SELECT_PROBE_RESULTS(false);
  ASSERT_TRUE(move(1));
  ASSERT_TRUE(move(1));  // on output 3
  sample::WRITE_RESULTS(result_path(1), Encoding::Single, ramp_outputs(2, 6));
  EXPECT_LE(walk().size(), 5u);
}

class Export_Batches : public Probe_Steps {
 protected:
  void SetUp() override {
    Probe_Steps::SetUp();
    DEFAULT_SETTINGS();
    START_OUTPUT_SERIES();
    device_ = cpgopen("/NULL");
    Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = device_;
  }
  void TearDown() override {
    cpgslct(device_);
    cpgclos();
    Probe_Steps::TearDown();
  }
  int device_ = 0;
};

TEST_F(Export_Batches, EveryOutputOfEveryResultThenBackWhereItStarted) {
  OPEN_RAMP_FILES({3, 3});
  Output_Settings.Default_Naming = true;
  ASSERT_TRUE(move(1));  // start on output 2
  clear_console();
  Command_State.Command_Code = Command::Ascii_Outputs;
  WRITE_ASCII_OUTPUTS();
  EXPECT_EQ(dir_.listing(),
            "Case_f1.zlt Case_f1_00010000.txt Case_f1_00020000.txt Case_f1_00030000.txt Case_f2.zlt "
            "Case_f2_00010000.txt Case_f2_00020000.txt Case_f2_00030000.txt Case_geoF.zlt");
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 2);
  EXPECT_EQ(Command_State.Command_Code, Command::Replot);
  const std::string text = console();
  EXPECT_EQ(text.rfind("\nWritting ASCII outputs... please wait\n File: ", 0), 0u) << text;
  EXPECT_TRUE(text.ends_with(" created\nASCII outputs written\n\n")) << text;
  // The table of output 3 of file 2: cell c holds 100 x 3 + c.
  EXPECT_EQ(read_bytes(dir_ / "Case_f2_00030000.txt"),
            "    0.30000E+03    0.30100E+03    0.30200E+03\n    0.30300E+03    0.30400E+03    0.30500E+03\n");
}

TEST_F(Export_Batches, ContourListsOfEveryOutput) {
  OPEN_RAMP_FILES({2});
  clear_console();
  Command_State.Command_Code = Command::Contour_Outputs;
  WRITE_CONTOURS(203.5f);
  EXPECT_EQ(console(), "\nWritting 'contour' outputs... please wait\n File: " + (dir_ / "Case_f1_00010000_Contour.txt") +
                           " written (0 points found)\n File: " + (dir_ / "Case_f1_00020000_Contour.txt") +
                           " written (2 points found)\n'Contour' outputs written\n\n");
}

}  // namespace
