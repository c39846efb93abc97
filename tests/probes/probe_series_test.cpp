// The series of the scan point: recording over real result files in output order, the
// processing modes, and growing and cutting the tables as output counts change.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "probes/Front_Tracking.h"
#include "probes/Probe_Outputs.h"
#include "probes/Probe_Results.h"
#include "probes/Scan_Point.h"
#include "probes/Virtual_EDX.h"
#include "tests/probes/Field_Case.h"
#include "tests/result_files/Case_Fixture.h"

namespace {

// The probe's tables outlive a run, as they outlive a command: each case starts without them.
void release_tables() { Scan_Point_Values.RELEASE(), Scan_Point_Times.RELEASE(); }

class Scan_Point_Walk : public Case_Fixture {
 protected:
  void TearDown() override {
    release_tables();
    Case_Fixture::TearDown();
  }
};

TEST_F(Scan_Point_Walk, StartedMidwayRowsStandInOutputOrderAndTheRunEndsWhereItBegan) {
  OPEN_RAMP_FILES({10});
  for (int k = 2; k <= 5; ++k) ASSERT_TRUE(move(1));
  ASSERT_EQ(Result_Set.Time_Step_Number(1), 5);
  Scan_Line.Scan_X1 = 2, Scan_Line.Scan_Y1 = 2;
  const float cell = shown(1, 2, 2) - 500.0f;  // ramp: 100 x output + cell
  SELECT_PROBE_RESULTS(false);
  std::vector<int> visited;
  STEP_PROBE_OUTPUTS([&] {
    visited.push_back(Result_Set.Time_Step_Number(1));
    SCAN_POINT_VALUE();
  });
  EXPECT_EQ(visited, (std::vector<int>{5, 6, 7, 8, 9, 10, 1, 2, 3, 4}));
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 5);
  ASSERT_EQ(Scan_Point_Values.EXTENT(0), 10);
  for (int t = 1; t <= 10; ++t) {
    EXPECT_FLOAT_EQ(Scan_Point_Values(t, 1), 100.0f * t + cell) << t;
    EXPECT_FLOAT_EQ(Scan_Point_Times(t), 10.0f * t) << t;
  }
}

TEST_F(Scan_Point_Walk, UnselectedResultKeepsItsColumnAndTimesComeFromTheLowerSelected) {
  OPEN_RAMP_FILES({4, 4});
  Scan_Line.Scan_X1 = 1, Scan_Line.Scan_Y1 = 1;
  SELECT_PROBE_RESULTS(false);
  STEP_PROBE_OUTPUTS(SCAN_POINT_VALUE);
  const std::vector<float> first(Scan_Point_Values.data(), Scan_Point_Values.data() + 8);
  // The second probe looks at result 2 only, one output further on: result 1's column stays.
  ASSERT_TRUE(move(1));
  Result_Set.Selected_Solutions(1) = false;
  Scan_Line.Scan_X1 = 3;
  STEP_PROBE_OUTPUTS(SCAN_POINT_VALUE);
  for (int t = 1; t <= 4; ++t) {
    EXPECT_EQ(Scan_Point_Values(t, 1), first[static_cast<std::size_t>(t - 1)]) << t;
    EXPECT_FLOAT_EQ(Scan_Point_Values(t, 2), first[static_cast<std::size_t>(3 + t)] + 2.0f) << t;  // two cells on
  }
}

// Result 2 has 5 outputs beside result 1's 7: the walk follows result 1, so result 2 is never
// seen at outputs 6 and 7. The table says so instead of showing zeros there.
TEST_F(Scan_Point_Walk, OutputsNeverExaminedAreNotANumberInTheTable) {
  OPEN_RAMP_FILES({7, 5});
  Output_Settings.Default_Naming = true;
  Scan_Line.Scan_X1 = 1, Scan_Line.Scan_Y1 = 1;  // cell 0 of the ramp: 100 x output
  SELECT_PROBE_RESULTS(false);
  STEP_PROBE_OUTPUTS(SCAN_POINT_VALUE);
  DOWNSIZE_SCAN_POINT_ARRAYS();
  SCAN_POINT_OUTPUT_TXT();
  std::string expected =
      "#    Simulation          Case_f1.zlt          Case_f2.zlt\n"
      "#      time (s)        (field value)        (field value)\n";
  const char* times[] = {"     10.000    ", "     20.000    ", "     30.000    ", "     40.000    ",
                         "     50.000    ", "     60.000    ", "     70.000    "};
  for (int t = 1; t <= 7; ++t) {
    const std::string value = "   " + std::to_string(100 * t) + ".0000000000    ";
    expected += times[t - 1] + value + (t <= 5 ? value : std::string(18, ' ') + "NaN") + "\n";
  }
  EXPECT_EQ(read_bytes(dir_ / "Case_f1_Scan_Point.txt"), expected);
}

class Front_Tracking_Walk : public Case_Fixture {
 protected:
  void TearDown() override {
    Front_Tracking_Values.RELEASE(), Front_Tracking_Times.RELEASE(), Front_Tracking_Value_Tracked.RELEASE();
    RELEASE_VIRTUAL_EDX_TABLES();
    Case_Fixture::TearDown();
  }
};

// Result 1 has 5 outputs beside result 2's 7: the walk follows result 1, so no result is seen
// at outputs 6 and 7. Those rows hold no front at 0 um but not-a-number, times included.
TEST_F(Front_Tracking_Walk, OutputsNeverExaminedAreNotANumberInTheTable) {
  OPEN_RAMP_FILES({5, 7});
  Output_Settings.Default_Naming = true;
  // Along the first row: 100 k, 100 k + 1, 100 k + 2 at 0, 1 and 2 micrometres. The tracked
  // value of both is the middle of output 1's scan, 101, crossed at 1 um (f = 0) there only.
  Scan_Line.Scan_X1 = 1, Scan_Line.Scan_Y1 = 1, Scan_Line.Scan_X2 = 3, Scan_Line.Scan_Y2 = 1;
  SELECT_PROBE_RESULTS(false);
  VIRTUAL_EDX_SCAN();
  DEFAULT_TRACKED_VALUES();
  STEP_PROBE_OUTPUTS([] {
    VIRTUAL_EDX_SCAN();
    FRONT_TRACKING_VALUE();
  });
  DOWNSIZE_FRONT_TRACKING_ARRAYS();
  FRONT_TRACKING_OUTPUT_TXT();
  std::string expected =
      "#    Simulation          Case_f1.zlt          Case_f2.zlt\n"
      "#      time (s)        (micrometers)        (micrometers)\n";
  const std::string found = "   1.000000000000    ", none = "  -1.000000000000    ", nan = std::string(18, ' ') + "NaN";
  expected += "     10.000    " + found + found + "\n";
  for (const char* time : {"     20.000    ", "     30.000    ", "     40.000    ", "     50.000    "})
    expected += time + none + none + "\n";
  for (int t = 6; t <= 7; ++t) expected += std::string(12, ' ') + "NaN" + nan + nan + "\n";
  EXPECT_EQ(read_bytes(dir_ / "Case_f1_Front_Tracking.txt"), expected);
}

class Scan_Point_Tables : public Field_Case {
 protected:
  void TearDown() override {
    release_tables();
    Field_Case::TearDown();
  }
  // n results with the given output counts, all selected, standing on output 1.
  void results(const std::vector<int>& counts) {
    make_field(static_cast<int>(counts.size()), 4, 4, [](int, int, int) { return 0.0f; });
    for (std::size_t i = 0; i < counts.size(); ++i) {
      Result_Set.Total_Time_Steps(static_cast<int>(i + 1)) = counts[i];
      Result_Set.Selected_Solutions(static_cast<int>(i + 1)) = true;
    }
  }
  // Records result 1's series: value and time of each output.
  void record(const std::vector<float>& values, const std::vector<float>& times) {
    for (std::size_t t = 0; t < values.size(); ++t) {
      Result_Set.Time_Step_Number(1) = static_cast<int>(t + 1);
      Result_Set.Time(1) = times[t];
      Display_Field.Array_to_be_displayed(1, 1, 1) = values[t];
      SCAN_POINT_VALUE();
    }
  }
};

TEST_F(Scan_Point_Tables, ProcessingModes) {
  const float third = 1.0f / 3.0f;
  struct Case {
    int mode;
    std::vector<float> values, times, expected;
  } cases[] = {
      {2, {3, -6, 2}, {0, 1, 2}, {0.5f, -1.0f, third}},
      {2, {0, 0, 0}, {0, 1, 2}, {0, 0, 0}},
      {1, {1, 1}, {0, 2}, {0.5f, 0.5f}},          // |1| x 0 + |1| x 2 = 2
      {1, {4, -4}, {0, 0}, {4, -4}},              // norm 0: unchanged
      {0, {3, -6, 2}, {0, 1, 2}, {3, -6, 2}},     // plain
      {2, {1e-41f, 0}, {0, 1}, {1e-41f, 0}},      // a norm not above 1.0E-40 counts as zero
  };
  for (const Case& c : cases) {
    release_tables();
    results({static_cast<int>(c.values.size())});
    Scan_Line.Scan_X1 = Scan_Line.Scan_Y1 = 1;
    record(c.values, c.times);
    EDX_Processing_Mode = c.mode;
    PROCESS_SCAN_POINT_SERIES();
    for (std::size_t t = 0; t < c.expected.size(); ++t)
      EXPECT_FLOAT_EQ(Scan_Point_Values(static_cast<int>(t + 1), 1), c.expected[t]) << "mode " << c.mode << " row " << t + 1;
  }
}

TEST_F(Scan_Point_Tables, GrowKeepsRowsAndCutFollowsTheLargestCount) {
  results({3, 2});
  Scan_Line.Scan_X1 = Scan_Line.Scan_Y1 = 1;
  record({7, 8, 9}, {1, 2, 3});
  ASSERT_EQ(Scan_Point_Values.EXTENT(0), 3);
  // Result 2 stood on its output 1 throughout: its other rows were never measured.
  EXPECT_EQ(Scan_Point_Values(1, 2), 0.0f);
  EXPECT_TRUE(std::isnan(Scan_Point_Values(2, 2)));
  EXPECT_TRUE(std::isnan(Scan_Point_Values(3, 2)));
  Result_Set.Total_Time_Steps(2) = 6;        // a file grew
  Result_Set.Time_Step_Number(1) = 1;
  SCAN_POINT_VALUE();
  ASSERT_EQ(Scan_Point_Values.EXTENT(0), 6);
  EXPECT_EQ(Scan_Point_Values(2, 1), 8.0f);
  EXPECT_EQ(Scan_Point_Values(3, 1), 9.0f);
  EXPECT_EQ(Scan_Point_Times(3), 3.0f);
  EXPECT_TRUE(std::isnan(Scan_Point_Values(6, 1)));  // a row added is not measured
  Result_Set.Total_Time_Steps(2) = 4;  // read to its end, the count was corrected
  DOWNSIZE_SCAN_POINT_ARRAYS();
  ASSERT_EQ(Scan_Point_Values.EXTENT(0), 4);
  ASSERT_EQ(Scan_Point_Times.EXTENT(0), 4);
  EXPECT_EQ(Scan_Point_Values(3, 1), 9.0f);
  DOWNSIZE_SCAN_POINT_ARRAYS();  // nothing longer to cut
  EXPECT_EQ(Scan_Point_Values.EXTENT(0), 4);
}

TEST_F(Scan_Point_Tables, AnOutputPastTheTableIsNotWritten) {
  results({2});
  Scan_Line.Scan_X1 = Scan_Line.Scan_Y1 = 1;
  record({5, 6}, {1, 2});
  // An output number beyond the count the table was made for (a file grown unnoticed).
  Result_Set.Time_Step_Number(1) = 3;
  Result_Set.Total_Time_Steps(1) = 2;
  SCAN_POINT_VALUE();
  ASSERT_EQ(Scan_Point_Values.EXTENT(0), 2);
  EXPECT_EQ(Scan_Point_Values(2, 1), 6.0f);
}

}  // namespace
