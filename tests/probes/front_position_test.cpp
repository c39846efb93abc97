// The front-tracking crossing rule on plain samples, and when it interpolates.

#include <cpgplot.h>
#include <gtest/gtest.h>

#include <vector>

#include "records/Globals.h"
#include "probes/Front_Tracking.h"
#include "probes/Virtual_EDX.h"
#include "tests/probes/Field_Case.h"

namespace {

TEST(Front_Position, FirstCrossingOfTheTrackedValue) {
  const float s = 2.5f;  // micrometres between samples
  const float denormal = 1.0e-45f;
  struct Case {
    const char* what;
    std::vector<float> values;
    float target;
    bool interpolate;
    float expected;  // in sample widths, -1 for none
  } cases[] = {
      {"rising step", {0, 0, 1, 1}, 0.5f, true, 1.5f},
      {"falling past a sample above", {1, 1, 0.9f, 0}, 0.5f, true, 2.0f + 0.4f / 0.9f},
      {"a sample equal to the target lies below", {0.5f, 1}, 0.5f, true, 0.0f},
      {"slanted line: the middle", {0, 0.9f, 1}, 0.1f, false, 0.5f},
      {"the same along an axis", {0, 0.9f, 1}, 0.1f, true, 0.1f / 0.9f},
      {"only the first crossing counts", {0, 1, 0, 1}, 0.5f, true, 0.5f},
      {"no crossing", {1, 2, 3}, 0.0f, true, -1.0f},
      {"all at the target", {0.5f, 0.5f, 0.5f}, 0.5f, true, -1.0f},
      {"a step not above 1.0E-40 takes the middle", {0, denormal}, 0.0f, true, 0.5f},
      {"a single sample", {3}, 1.0f, true, -1.0f},
  };
  for (const Case& c : cases) {
    std::vector<float> d;
    for (std::size_t k = 0; k < c.values.size(); ++k) d.push_back(s * static_cast<float>(k));
    const float got = FRONT_POSITION(c.values, d, c.target, c.interpolate);
    if (c.expected < 0)
      EXPECT_EQ(got, -1.0f) << c.what;
    else
      EXPECT_NEAR(got, c.expected * s, 1e-5f) << c.what;
  }
}

TEST(Front_Position, InterpolatedOnlyAlongAnAxis) {
  struct Case {
    int x1, y1, x2, y2;
    bool interpolated;
  } cases[] = {
      {1, 1, 20, 1, true}, {1, 1, 20, 5, true},    // 4 cells across: nearly horizontal
      {1, 1, 20, 6, false}, {6, 1, 1, 6, false},   // 5 cells or more both ways
      {3, 1, 3, 30, true}, {30, 30, 26, 2, true},
  };
  for (const Case& c : cases) {
    Scan_Line = {};
    Scan_Line.Scan_X1 = c.x1, Scan_Line.Scan_Y1 = c.y1, Scan_Line.Scan_X2 = c.x2, Scan_Line.Scan_Y2 = c.y2;
    EXPECT_EQ(FRONT_INTERPOLATED(), c.interpolated) << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2;
  }
}

// Fronts recorded from a line scan held in the tables, as a run records them per output.
class Front_Recording : public Field_Case {
 protected:
  // Two results over a horizontal line of 4 samples, 1 micrometre apart; 3 outputs each.
  void SetUp() override {
    Field_Case::SetUp();
    make_field(2, 8, 8, [](int, int, int) { return 0.0f; });
    for (int i = 1; i <= 2; ++i) Result_Set.Total_Time_Steps(i) = 3, Result_Set.Selected_Solutions(i) = true;
    Scan_Line.Scan_X1 = 1, Scan_Line.Scan_X2 = 4, Scan_Line.Scan_Y1 = Scan_Line.Scan_Y2 = 2;
    Scan_Line.Scan_Samples = 4;
    Virtual_EDX_values.ALLOCATE({Bounds{1, 2}, Bounds{1, 4}});
    Virtual_EDX_distances.ALLOCATE({Bounds{1, 4}});
    for (int k = 1; k <= 4; ++k) Virtual_EDX_distances(k) = static_cast<float>(k - 1);
  }
  void TearDown() override {
    RELEASE_VIRTUAL_EDX_TABLES();
    Front_Tracking_Values.RELEASE(), Front_Tracking_Times.RELEASE(), Front_Tracking_Value_Tracked.RELEASE();
    Field_Case::TearDown();
  }
  void scan(int i, std::vector<float> values) {
    for (int k = 1; k <= 4; ++k) Virtual_EDX_values(i, k) = values[static_cast<std::size_t>(k - 1)];
  }
};

TEST_F(Front_Recording, DefaultsAreTheMiddleOfTheLastScanAndKeptAfterwards) {
  scan(1, {2, 4, 6, 10});
  scan(2, {-3, -1, -2, -5});
  DEFAULT_TRACKED_VALUES();
  EXPECT_FLOAT_EQ(Front_Tracking_Value_Tracked(1), 6.0f);
  EXPECT_FLOAT_EQ(Front_Tracking_Value_Tracked(2), -3.0f);
  float value = 7.5f;
  EXPECT_TRUE(READ_TRACKED_VALUE("  1.25E+01    ", value));
  EXPECT_FLOAT_EQ(value, 12.5f);
  for (const char* unreadable : {"abc", "", "     "}) {
    value = 7.5f;
    EXPECT_FALSE(READ_TRACKED_VALUE(unreadable, value)) << unreadable;
    EXPECT_EQ(value, 7.5f) << unreadable;
  }
}

TEST_F(Front_Recording, FormThatCannotOpenSaysSoAndKeepsTheValues) {
  scan(1, {2, 4, 6, 10});
  scan(2, {-3, -1, -2, -5});
  // Every device the library can hold is taken: the form's window cannot open.
  std::vector<int> filler;
  for (int k = 0; k < 8; ++k)
    if (const int unit = cpgopen("/NULL"); unit > 0) filler.push_back(unit);
  ASSERT_FALSE(filler.empty());
  Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = filler.front();  // the main display
  clear_console();
  FRONT_TRACKING_SET_VALUES();
  EXPECT_EQ(console(), "\n Unable to open secondary display!\n\n");
  ASSERT_TRUE(Front_Tracking_Value_Tracked.ALLOCATED());
  EXPECT_FLOAT_EQ(Front_Tracking_Value_Tracked(1), 6.0f);
  EXPECT_FLOAT_EQ(Front_Tracking_Value_Tracked(2), -3.0f);
  for (int unit : filler) {
    cpgslct(unit);
    cpgclos();
  }
}

TEST_F(Front_Recording, EveryOutputGetsItsFrontAndUnselectedResultsMinusOne) {
  Front_Tracking_Value_Tracked.ALLOCATE({Bounds{1, 2}});
  Front_Tracking_Value_Tracked(1) = 0.5f, Front_Tracking_Value_Tracked(2) = 0.5f;
  struct Output {
    int number;
    float time;
    std::vector<float> first, second;
  } outputs[] = {{2, 0.2f, {0, 0, 1, 1}, {1, 1, 0.9f, 0}}, {3, 0.3f, {1, 1, 1, 1}, {0.5f, 1, 1, 1}},
                 {1, 0.1f, {0, 1, 1, 1}, {0, 0, 0, 1}}};
  Result_Set.Selected_Solutions(2) = false;  // the second: -1 wherever it stands
  for (const Output& o : outputs) {
    Result_Set.Time_Step_Number(1) = Result_Set.Time_Step_Number(2) = o.number;
    Result_Set.Time(1) = Result_Set.Time(2) = o.time;
    scan(1, o.first), scan(2, o.second);
    FRONT_TRACKING_VALUE();
  }
  ASSERT_EQ(Front_Tracking_Values.EXTENT(0), 3);
  const float expected[3] = {0.5f, 1.5f, -1.0f};
  for (int t = 1; t <= 3; ++t) {
    EXPECT_FLOAT_EQ(Front_Tracking_Values(t, 1), expected[t - 1]) << t;
    EXPECT_EQ(Front_Tracking_Values(t, 2), -1.0f) << t;
    EXPECT_FLOAT_EQ(Front_Tracking_Times(t), 0.1f * t) << t;
  }
  // Selected again, the second result gets its fronts; a slanted line takes the middles.
  Result_Set.Selected_Solutions(2) = true;
  Scan_Line.Scan_X2 = 8, Scan_Line.Scan_Y2 = 7;
  Result_Set.Time_Step_Number(1) = Result_Set.Time_Step_Number(2) = 2;
  scan(2, {1, 1, 0.9f, 0});
  FRONT_TRACKING_VALUE();
  EXPECT_FLOAT_EQ(Front_Tracking_Values(2, 2), 2.5f);
}

}  // namespace
