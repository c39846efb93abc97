// Combined pictures of the display modes: RGB triangle, Miller indices, difference,
// logarithm and absolute value, and their failures.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Display_Arrays.h"
#include "result_files/Read_Results.h"

namespace {

class Combined : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_GLOBALS();
    SET_CONSOLE_STREAM(&console_);
  }
  void TearDown() override {
    SET_CONSOLE_STREAM(nullptr);
    RESET_GLOBALS();
  }
  // N files of one row of cells, the display modes set, limits 0..1.
  void layout(int files, int cells, Processed_Display_Modes_Type modes) {
    auto& r = Result_Set;
    r.Number_Of_Solutions = files;
    for (auto* a : {&r.Time, &r.Current_Min, &r.Current_Max}) a->ALLOCATE({Bounds{1, files}});
    for (int i = 1; i <= files; ++i) r.Current_Max(i) = 1.0f;
    Display_Settings.Processed_Display_Modes = modes;
    Result_Geometry = {cells, 1, 2};
    Display_Field.Cut_Direction = 2;
    ALLOCATE_ARRAYS();  // cells x 2 displayed
  }
  float& at(int slot, int x) { return Display_Field.Array_to_be_displayed(slot, x, 1); }
  bool stops(auto&& work) {
    try {
      work();
      return false;
    } catch (const Program_Stop&) {
      return true;
    }
  }
  std::ostringstream console_;
};

Processed_Display_Modes_Type rgb() { return {false, false, false, false, true}; }
Processed_Display_Modes_Type miller() { return {false, false, false, true, false}; }
Processed_Display_Modes_Type difference() { return {false, false, true, false, false}; }
Processed_Display_Modes_Type logarithm(bool absolute = false) { return {absolute, true, false, false, false}; }
Processed_Display_Modes_Type absolute() { return {true, false, false, false, false}; }

TEST_F(Combined, RgbShares) {
  struct Row {
    float v1, v2, v3;
    float index;
  } rows[] = {{0.5f, 0.0f, 0.0f, 3},   {-0.4f, 0.0f, 0.0f, 0}, {7.0f, 0.0f, 0.0f, 5},
              {1.0f, 0.0f, 1.0f, 185}, {0.0f, 1.0f, 0.0f, 30}, {0.09f, 0.1f, 0.11f, 0 + 6 * 1 + 36 * 1},
              {0.099f, 0.0f, 0.0f, 0}, {0.9f, 0.0f, 0.0f, 5},  {std::nanf(""), 0.0f, 1.0f, 180}};
  layout(3, 1, rgb());
  for (const auto& row : rows) {
    at(1, 1) = row.v1;
    at(2, 1) = row.v2;
    at(3, 1) = row.v3;
    EXPECT_TRUE(MERGE_READ_RESULTS());
    EXPECT_EQ(at(0, 1), row.index) << row.v1 << " " << row.v2 << " " << row.v3;
  }
  // Equal limits: no division by a zero range, the share counts as 0.
  Result_Set.Current_Min(2) = Result_Set.Current_Max(2) = 0.5f;
  at(1, 1) = 1.0f, at(2, 1) = 0.7f, at(3, 1) = 0.0f;
  EXPECT_TRUE(MERGE_READ_RESULTS());
  EXPECT_EQ(at(0, 1), 5.0f);
  EXPECT_EQ(console_.str(), "");
}

// Both colour modes on, laid out for the triangle (the layout the arrays get then): the
// triangle is the picture, the Miller layers are not asked for.
TEST_F(Combined, TriangleWinsOverMillerIndices) {
  layout(3, 1, {false, false, false, true, true});
  ASSERT_EQ(Display_Field.Array_to_be_displayed.LOWER(0), 0);
  at(1, 1) = 1.0f, at(2, 1) = 0.0f, at(3, 1) = 1.0f;
  EXPECT_TRUE(MERGE_READ_RESULTS());
  EXPECT_EQ(at(0, 1), 185.0f);
  EXPECT_EQ(console_.str(), "");
}

TEST_F(Combined, RgbTimes) {
  struct Row {
    float t1, t2, t3;
    bool same;
  } rows[] = {{0, 0, 0, true},           {1000, 1010, 1000, true}, {1000, 990, 1000, true},
              {1000, 1010.5f, 1000, false}, {0, 1e-11f, 0, true},    {0, 1e-9f, 0, false},
              {-5, -5, -5.00001f, false}};
  layout(3, 2, rgb());
  for (const auto& row : rows) {
    console_.str("");
    Result_Set.Time(1) = row.t1, Result_Set.Time(2) = row.t2, Result_Set.Time(3) = row.t3;
    EXPECT_EQ(MERGE_READ_RESULTS(), row.same) << row.t2;
    if (row.same) {
      EXPECT_EQ(console_.str(), "");
    } else {
      // A warning, the combined panel marked as left out, and no stop.
      EXPECT_EQ(console_.str(), "\n Warning: the outputs shown are not at the same time: no 'RGB triangle'\n\n");
      EXPECT_EQ(at(0, 2), -1.0f);
    }
  }
}

TEST_F(Combined, MillerColours) {
  struct Row {
    float code, colour;
  } rows[] = {{10203, 86}, {1, 5},   {101, 30},     {10101, 180},  {999999, 180}, {0, 217},
              {-3, -1},    {1e6, 217}, {-0.4f, 217}, {20301, 380}, {10200, 217},  {-0.5f, -1},
              {999999.4f, 180}, {std::nanf(""), 217}, {std::numeric_limits<float>::infinity(), 217},
              {-std::numeric_limits<float>::infinity(), -1}, {3e9f, 217}};
  layout(2, 1, miller());
  for (const auto& row : rows) {
    at(1, 1) = row.code;
    at(2, 1) = row.code;
    EXPECT_TRUE(MERGE_READ_RESULTS());
    EXPECT_EQ(at(-1, 1), row.colour) << row.code;
    EXPECT_EQ(at(-2, 1), row.colour) << row.code;
  }
}

TEST_F(Combined, DifferenceLogarithmAbsolute) {
  layout(2, 2, difference());
  at(1, 1) = 5.0f, at(2, 1) = 7.0f;
  PROCESS_DISPLAYED_RESULTS();
  EXPECT_EQ(at(0, 1), -2.0f);  // file 1 minus file 2

  struct Row {
    float minimum, maximum, value;
    bool absolute_on, logarithmic;
    float expected;
  } rows[] = {{1, 100, 0.001f, false, true, 0.0f},     {1, 100, 1000, false, true, std::log(100.0f)},
              {1, 100, 10, false, true, std::log(10.0f)}, {0, 100, 10, false, false, 10},
              {5, 5, 10, false, false, 10},            {1, 100, -50, true, true, std::log(50.0f)},
              {0, 100, -50, true, false, 50},          {std::nanf(""), 100, 10, false, false, 10},
              {100, 1, 10, false, false, 10}};
  for (const auto& row : rows) {
    layout(1, 1, logarithm(row.absolute_on));
    Result_Set.Current_Min(1) = row.minimum;
    Result_Set.Current_Max(1) = row.maximum;
    at(1, 1) = row.value;
    EXPECT_EQ(CHECK_LOGARITHMIC(1), row.logarithmic) << row.minimum << " " << row.maximum;
    PROCESS_DISPLAYED_RESULTS();
    EXPECT_EQ(at(-1, 1), row.expected) << row.value;
  }
  layout(2, 1, absolute());
  at(1, 1) = -3.0f, at(2, 1) = 4.0f;
  PROCESS_DISPLAYED_RESULTS();
  EXPECT_EQ(at(-1, 1), 3.0f);
  EXPECT_EQ(at(-2, 1), 4.0f);
  EXPECT_FALSE(CHECK_LOGARITHMIC(1));
}

TEST_F(Combined, ViolationsStop) {
  const std::string message = "\n\nUnable to process results\n\n\n";
  auto check = [&](int files, Processed_Display_Modes_Type modes, Processed_Display_Modes_Type switched, bool merge) {
    layout(files, 1, modes);
    Display_Settings.Processed_Display_Modes = switched;  // a mode whose layout the array lacks
    console_.str("");
    EXPECT_TRUE(stops([&] { merge ? (void)MERGE_READ_RESULTS() : PROCESS_DISPLAYED_RESULTS(); }));
    EXPECT_EQ(console_.str(), message);
  };
  check(2, rgb(), rgb(), true);                  // RGB triangle with two files
  check(3, miller(), {false, false, false, true, true}, true);  // RGB and Miller on the Miller layout
  check(3, {}, miller(), true);                  // Miller without its slots
  check(3, difference(), difference(), false);   // difference of three files
  check(2, {}, difference(), false);             // difference without slot 0
  check(2, {}, logarithm(), false);              // logarithm without its slots
}

}  // namespace
