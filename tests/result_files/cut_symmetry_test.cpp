// Cut, sub-sampling and symmetry into the display slots, and the sizes that
// ALLOCATE_ARRAYS gives them. The read buffer is filled directly: value of cell
// (x, y, z) = 100 x + 10 y + z for single precision; the copy is checked cell by cell.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "records/Console.h"
#include "records/Globals.h"
#include "records/Allocation_Checks.h"
#include "result_files/Display_Arrays.h"
#include "result_files/Read_Results.h"

namespace {

class Cut_Symmetry : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_GLOBALS();
    SET_CONSOLE_STREAM(&console_);
  }
  void TearDown() override {
    SET_CONSOLE_STREAM(nullptr);
    RESET_GLOBALS();
  }

  // A one-file case of nx x ny x nz cells already read, in single or double precision.
  void field(int nx, int ny, int nz, int format = 1) {
    auto& r = Result_Set;
    Result_Geometry.AnzX = nx;
    Result_Geometry.AnzY = ny;
    Result_Geometry.AnzZ = nz;
    r.Number_Of_Solutions = 1;
    r.Result_Format = format;
    const std::array<Bounds, 4> bounds{Bounds{1, 1}, Bounds{1, nx}, Bounds{1, ny}, Bounds{1, nz}};
    r.Buffer_Array_Single.ALLOCATE(bounds, {1, 2, 3, 0});
    r.Buffer_Array_Double.ALLOCATE(bounds, {1, 2, 3, 0});
    for (int z = 1; z <= nz; ++z)
      for (int y = 1; y <= ny; ++y)
        for (int x = 1; x <= nx; ++x) {
          r.Buffer_Array_Single(1, x, y, z) = static_cast<float>(100 * x + 10 * y + z);
          r.Buffer_Array_Double(1, x, y, z) = 100.0 * x + 10.0 * y + z + 0.25;
        }
    r.Selected_Solutions.ALLOCATE({Bounds{1, 1}});
  }

  // Cuts and copies as after a change of plane (no move); false when it stopped.
  bool copy(int direction, int index, int skip = 1, int mode = 1, int type = 1) {
    auto& f = Display_Field;
    f.Cut_Direction = direction;
    f.Cut_Index = index;
    f.Skip_Factor = skip;
    f.Symmetry_Mode = mode;
    f.Symmetry_Type = type;
    ALLOCATE_ARRAYS();
    Command_State.Time_Step_Command = 0;
    try {
      READ_RESULTS();
      return true;
    } catch (const Program_Stop&) {
      return false;
    }
  }

  float d(int x, int y) const { return Display_Field.Array_to_be_displayed(1, x, y); }

  // The row y of the slot as plane columns: (value / 100) for x-* cuts.
  std::vector<int> row_of(int y, int divisor = 100, int modulo = 10) const {
    std::vector<int> row;
    for (int x = 1; x <= Display_Field.Display_Size_X; ++x)
      row.push_back(static_cast<int>(d(x, y)) / divisor % modulo);
    return row;
  }
  std::vector<int> column_of(int x, int divisor = 1, int modulo = 10) const {
    std::vector<int> column;
    for (int y = 1; y <= Display_Field.Display_Size_Y; ++y)
      column.push_back(static_cast<int>(d(x, y)) / divisor % modulo);
    return column;
  }

  std::ostringstream console_;
};

TEST_F(Cut_Symmetry, SubSampling) {
  field(7, 1, 5);
  ASSERT_TRUE(copy(2, 1, 2));
  EXPECT_EQ(Display_Field.Display_Size_X, 4);
  EXPECT_EQ(Display_Field.Display_Size_Y, 3);
  EXPECT_EQ(row_of(1), (std::vector<int>{1, 3, 5, 7}));
  EXPECT_EQ(column_of(1), (std::vector<int>{1, 3, 5}));
}

TEST_F(Cut_Symmetry, FourFold) {
  field(4, 1, 3);
  ASSERT_TRUE(copy(2, 1, 1, 2, 1));
  EXPECT_EQ(Display_Field.Display_Size_X, 8);
  EXPECT_EQ(Display_Field.Display_Size_Y, 6);
  EXPECT_EQ(row_of(1), (std::vector<int>{4, 3, 2, 1, 1, 2, 3, 4}));
  EXPECT_EQ(column_of(1), (std::vector<int>{3, 2, 1, 1, 2, 3}));
  ASSERT_TRUE(copy(2, 1, 1, 2, 2));
  EXPECT_EQ(row_of(1), (std::vector<int>{1, 2, 3, 4, 1, 2, 3, 4}));
  EXPECT_EQ(column_of(1), (std::vector<int>{1, 2, 3, 1, 2, 3}));
}

TEST_F(Cut_Symmetry, ThreeFold) {
  field(4, 1, 2);
  ASSERT_TRUE(copy(2, 1, 1, 3, 1));
  EXPECT_EQ(Display_Field.Display_Size_Y, 2);
  EXPECT_EQ(row_of(1), (std::vector<int>{4, 3, 2, 1, 1, 2, 3, 4, 4, 3, 2, 1}));
  EXPECT_EQ(row_of(2), row_of(1));
  EXPECT_EQ(column_of(5), (std::vector<int>{1, 2}));
  ASSERT_TRUE(copy(2, 1, 1, 3, 2));
  EXPECT_EQ(row_of(2), (std::vector<int>{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4}));
}

TEST_F(Cut_Symmetry, NineFold) {
  field(3, 1, 2);
  ASSERT_TRUE(copy(2, 1, 1, 4, 1));
  EXPECT_EQ(Display_Field.Display_Size_X, 9);
  EXPECT_EQ(Display_Field.Display_Size_Y, 6);
  EXPECT_EQ(d(4, 3), 111.0f);  // the centre tile starts at column 4, row 3
  EXPECT_EQ(d(6, 4), 312.0f);
  for (int x = 1; x <= 9; ++x) EXPECT_EQ(column_of(x), (std::vector<int>{2, 1, 1, 2, 2, 1})) << x;
  for (int y = 1; y <= 6; ++y) EXPECT_EQ(row_of(y), (std::vector<int>{3, 2, 1, 1, 2, 3, 3, 2, 1})) << y;
  ASSERT_TRUE(copy(2, 1, 1, 4, 2));
  for (int y = 1; y <= 6; ++y) EXPECT_EQ(row_of(y), (std::vector<int>{1, 2, 3, 1, 2, 3, 1, 2, 3})) << y;
  for (int x = 1; x <= 9; ++x) EXPECT_EQ(column_of(x), (std::vector<int>{1, 2, 1, 2, 1, 2})) << x;
}

TEST_F(Cut_Symmetry, OneCellWideOrHigh) {
  field(1, 1, 10);  // one cell in x: every column shows the z profile
  ASSERT_TRUE(copy(2, 1, 1));
  EXPECT_EQ(Display_Field.Display_Size_X, 5);
  EXPECT_EQ(Display_Field.Display_Size_Y, 10);
  for (int x = 1; x <= 5; ++x) EXPECT_EQ(column_of(x, 1, 100), (std::vector<int>{11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
  ASSERT_TRUE(copy(2, 1, 2));
  EXPECT_EQ(Display_Field.Display_Size_Y, 5);
  for (int x = 1; x <= 5; ++x) EXPECT_EQ(column_of(x, 1, 100), (std::vector<int>{11, 13, 15, 17, 19}));

  field(10, 1, 1);  // one cell high
  ASSERT_TRUE(copy(2, 1, 2));
  EXPECT_EQ(Display_Field.Display_Size_X, 5);
  EXPECT_EQ(Display_Field.Display_Size_Y, 5);
  for (int y = 1; y <= 5; ++y) EXPECT_EQ(row_of(y, 100, 100), (std::vector<int>{1, 3, 5, 7, 9}));
}

TEST_F(Cut_Symmetry, WidenedDirectionIsFollowed) {
  // A y-z cut of a field one cell wide in x whose z is short, x shrunk to one cell by
  // the sub-sampling, and three-fold symmetry on a single row: the copy repeats the
  // profile along the widened direction and reads nothing outside the plane.
  field(1, 8, 1);
  ASSERT_TRUE(copy(3, 1));
  EXPECT_EQ(Display_Field.Display_Size_X, 8);
  EXPECT_EQ(Display_Field.Display_Size_Y, 5);
  for (int y = 1; y <= 5; ++y) EXPECT_EQ(row_of(y, 10), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  field(2, 1, 6);
  ASSERT_TRUE(copy(2, 1, 2));
  EXPECT_EQ(Display_Field.Display_Size_X, 5);
  for (int x = 1; x <= 5; ++x) EXPECT_EQ(column_of(x), (std::vector<int>{1, 3, 5}));
  field(3, 1, 1);
  ASSERT_TRUE(copy(2, 1, 1, 3, 1));
  EXPECT_EQ(Display_Field.Display_Size_Y, 5);
  for (int y = 1; y <= 5; ++y) EXPECT_EQ(row_of(y), (std::vector<int>{3, 2, 1, 1, 2, 3, 3, 2, 1}));
}

TEST_F(Cut_Symmetry, CutDirections) {
  field(3, 4, 5);
  ASSERT_TRUE(copy(3, 2));  // y-z plane at x = 2; a runs along y
  EXPECT_EQ(Display_Field.Display_Size_X, 4);
  EXPECT_EQ(Display_Field.Display_Size_Y, 5);
  EXPECT_EQ(d(1, 1), 211.0f);
  EXPECT_EQ(d(4, 5), 245.0f);
  ASSERT_TRUE(copy(1, 5));  // x-y plane at z = 5
  EXPECT_EQ(d(3, 4), 345.0f);
  ASSERT_TRUE(copy(2, 3));  // x-z plane at y = 3
  EXPECT_EQ(d(2, 4), 234.0f);
  // An index outside the field copies nothing and reads nothing outside the buffer.
  ASSERT_TRUE(copy(2, 9));
  EXPECT_EQ(d(2, 4), 0.0f);
}

TEST_F(Cut_Symmetry, DoublePrecisionIsRoundedToSingle) {
  field(3, 1, 2, 2);
  ASSERT_TRUE(copy(2, 1));
  EXPECT_EQ(d(3, 2), static_cast<float>(312.25));
}

TEST_F(Cut_Symmetry, BadSettingsStop) {
  struct Row {
    int mode, type;
    std::string message;
  } rows[] = {{5, 1, "\n'Symmetry':  5 not recognised!\n\n"},
              {0, 1, "\n'Symmetry':  0 not recognised!\n\n"},
              {123, 1, "\n'Symmetry': ** not recognised!\n\n"},
              {2, 3, "\n'Type of symmetry':  3 not recognised!\n\n"},
              {4, -12, "\n'Type of symmetry': ** not recognised!\n\n"},
              {3, 0, "\n'Type of symmetry':  0 not recognised!\n\n"}};
  for (const auto& row : rows) {
    field(3, 1, 2);
    console_.str("");
    Display_Field.Symmetry_Mode = row.mode;
    Display_Field.Symmetry_Type = row.type;
    Display_Field.Cut_Direction = 2;
    Display_Field.Cut_Index = 1;
    ALLOCATE_ARRAYS();
    Command_State.Time_Step_Command = 0;
    EXPECT_THROW(READ_RESULTS(), Program_Stop);
    EXPECT_EQ(console_.str(), row.message);
  }
  field(3, 1, 2, 8);
  console_.str("");
  EXPECT_FALSE(copy(2, 1));
  EXPECT_EQ(console_.str(), "\n\n Unrecognised format!\n\n\n");
}

TEST(Allocate_Arrays, DisplayedSizes) {
  struct Row {
    int nx, ny, nz, direction, skip, mode;
    bool enhanced;
    int display_x, display_y, orientation;
  } rows[] = {
      {200, 1, 100, 2, 1, 1, false, 200, 100, 0}, {200, 1, 100, 2, 1, 2, false, 400, 200, 0},
      {200, 1, 100, 2, 1, 3, false, 600, 100, 0}, {200, 1, 100, 2, 1, 4, false, 600, 300, 0},
      {101, 1, 51, 2, 2, 1, false, 51, 26, 0},    {1, 1, 300, 2, 1, 1, false, 12, 300, 1},
      {1, 1, 300, 2, 1, 1, true, 24, 300, 1},     {1, 1, 60, 2, 1, 1, false, 5, 60, 1},
      {1000, 1, 1, 2, 1, 1, false, 1000, 40, 2},  {1, 1, 1, 2, 1, 1, false, 5, 1, 1},
      {1, 1, 1, 2, 1, 1, true, 10, 1, 1},         {3, 4, 5, 1, 1, 1, false, 3, 4, 0},
      {3, 4, 5, 3, 1, 1, false, 4, 5, 0},         {1, 1, 2, 2, 3, 1, false, 0, 1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.nx) + "x" + std::to_string(row.nz) + " mode " + std::to_string(row.mode));
    RESET_GLOBALS();
    Result_Set.Number_Of_Solutions = 1;
    Result_Geometry = {row.nx, row.ny, row.nz};
    auto& f = Display_Field;
    f.Cut_Direction = row.direction;
    f.Skip_Factor = row.skip;
    f.Symmetry_Mode = row.mode;
    f.Enhanced_1D = row.enhanced;
    f.Zoom_X_From = 7;
    ALLOCATE_ARRAYS();
    EXPECT_EQ(f.Display_Size_X, row.display_x);
    EXPECT_EQ(f.Display_Size_Y, row.display_y);
    EXPECT_EQ(f.One_D_Display, row.orientation != 0);
    EXPECT_EQ(Display_Settings.Annotation_Orientation, row.orientation);
    EXPECT_EQ(Display_Settings.Flip_Length_Scale, row.orientation == 1);
    EXPECT_EQ(f.Zoom_X_From, 1);
    EXPECT_EQ(f.Zoom_X_To, row.display_x);
    EXPECT_EQ(f.Previous_Zoom_Y_To, row.display_y);
    EXPECT_EQ(f.Array_to_be_displayed.SIZE(), std::int64_t{row.display_x} * row.display_y);
    EXPECT_EQ(f.Buffer_Array_Cut.SIZE(), std::int64_t{f.Cut_Size_X} * f.Cut_Size_Y);
  }
}

TEST(Allocate_Arrays, FirstSlotFollowsTheModes) {
  struct Row {
    bool rgb, miller, difference, log, absolute;
    int first;
  } rows[] = {{false, false, false, false, false, 1}, {true, false, false, true, false, 0},
              {false, true, false, false, false, -3}, {false, false, true, false, false, 0},
              {false, false, false, true, false, -3},  {false, false, false, false, true, -3},
              {false, true, true, false, false, -3}};
  for (const auto& row : rows) {
    RESET_GLOBALS();
    Result_Set.Number_Of_Solutions = 3;
    Result_Geometry = {4, 1, 2};
    Display_Field.Cut_Direction = 2;
    auto& m = Display_Settings.Processed_Display_Modes;
    m = {row.absolute, row.log, row.difference, row.miller, row.rgb};
    ALLOCATE_ARRAYS();
    EXPECT_EQ(Display_Field.Array_to_be_displayed.LOWER(0), row.first);
    EXPECT_EQ(Display_Field.Array_to_be_displayed.SIZE(), (3 - row.first + 1) * 8);
  }
}

TEST(Allocation_Checks, MessagesAndStops) {
  std::ostringstream text;
  SET_CONSOLE_STREAM(&text);
  CHECK_ALLOCATION_ERROR("Times_Real", 0);
  CHECK_ALLOCATION_ERROR("Times_Real", -1);
  CHECK_ALLOCATION_SIZE("Times_Real", 0, 0);
  CHECK_DEALLOCATION("Buffer_Times", 0);
  EXPECT_EQ(text.str(), "");
  struct Row {
    int check;
    std::string name;
    std::string message;
  } rows[] = {{0, "Times_Real     ", "\n\nUnable to allocate Times_Real !\n\n\n"},
              {1, "Times_Real", "\n\nUnable to allocate Times_Real !\n\n\n"},
              {2, "Buffer_Times", "\n\nUnable to deallocate Buffer_Times !\n\n\n"},
              {0, "   ", "\n\nUnable to allocate  !\n\n\n"}};
  for (const auto& row : rows) {
    text.str("");
    switch (row.check) {
      case 0: EXPECT_THROW(CHECK_ALLOCATION_ERROR(row.name, 41), Program_Stop); break;
      case 1: EXPECT_THROW(CHECK_ALLOCATION_SIZE(row.name, 12, 11), Program_Stop); break;
      default: EXPECT_THROW(CHECK_DEALLOCATION(row.name, 1), Program_Stop); break;
    }
    EXPECT_EQ(text.str(), row.message);
  }
  SET_CONSOLE_STREAM(nullptr);
}

TEST(Bounded_Array, BoundsAndRefusals) {
  Bounded_Array<float, 3> slots;
  ASSERT_EQ(slots.ALLOCATE({Bounds{-2, 2}, Bounds{1, 3}, Bounds{1, 2}}, {1, 2, 0}), 0);
  EXPECT_EQ(slots.SIZE(), 30);
  slots(-2, 1, 1) = 1.0f;
  slots(2, 3, 2) = 2.0f;
  EXPECT_EQ(slots.data()[0], 1.0f);   // slot -2, x 1, y 1 first
  EXPECT_EQ(slots.data()[29], 2.0f);  // slot 2, x 3, y 2 last
  EXPECT_EQ(&slots(0, 2, 1) + 1, &slots(0, 3, 1));  // x runs fastest within a slot
  Bounded_Array<double, 2> huge;
  EXPECT_EQ(huge.ALLOCATE({Bounds{1, INT64_MAX / 2}, Bounds{1, 4}}), 2);
  EXPECT_FALSE(huge.ALLOCATED());
  EXPECT_EQ(huge.ALLOCATE({Bounds{1, 1LL << 40}, Bounds{1, 1LL << 20}}), 2);
  EXPECT_EQ(huge.ALLOCATE({Bounds{1, -5}, Bounds{1, 4}}), 0);
  EXPECT_EQ(huge.SIZE(), 0);
}

// The memory limit holds for all arrays together: arrays that each fit are refused once the
// ones already held leave too little, and a release gives the room back.
TEST(Bounded_Array, TheLimitHoldsForTheSumOfTheArrays) {
  Memory_Bytes_For_Tests = Bounded_Bytes_Held + 1000 * sizeof(float);
  Bounded_Array<float, 1> first, second, third;
  EXPECT_EQ(first.ALLOCATE({Bounds{1, 600}}), 0);
  EXPECT_EQ(second.ALLOCATE({Bounds{1, 600}}), 1);  // 1200 together
  EXPECT_FALSE(second.ALLOCATED());
  EXPECT_EQ(second.ALLOCATE({Bounds{1, 400}}), 0);  // exactly the rest
  EXPECT_EQ(third.ALLOCATE({Bounds{1, 1}}), 1);
  {
    Bounded_Array<float, 1> moved = std::move(first);  // a move keeps the count
    EXPECT_EQ(third.ALLOCATE({Bounds{1, 1}}), 1);
  }
  EXPECT_EQ(third.ALLOCATE({Bounds{1, 600}}), 0);  // the moved array's room is back
  EXPECT_EQ(second.ALLOCATE({Bounds{1, 400}}), 0);  // a new allocation releases the old first
  EXPECT_EQ(second.ALLOCATE({Bounds{1, 401}}), 1);
  Memory_Bytes_For_Tests = 0;
}

// The standard containers of the program go through the same checks, and within the room
// the bounded arrays leave.
TEST(Checked_Resize, RefusalsStopWithTheArraysLabel) {
  std::ostringstream text;
  SET_CONSOLE_STREAM(&text);
  std::vector<float> times;
  CHECKED_RESIZE("Times_Real", times, 3, 1.5f);
  EXPECT_EQ(times, (std::vector<float>{1.5f, 1.5f, 1.5f}));
  EXPECT_EQ(text.str(), "");
  Memory_Bytes_For_Tests = Bounded_Bytes_Held + 1000 * sizeof(float);
  Bounded_Array<float, 1> held;
  ASSERT_EQ(held.ALLOCATE({Bounds{1, 900}}), 0);
  const struct {
    std::int64_t count;
    const char* label;
  } rows[] = {{101, "Buffer_Times"}, {-1, "Times_Real"}, {INT64_MAX, "Times_String"}};
  for (const auto& row : rows) {
    text.str("");
    EXPECT_THROW(CHECKED_RESIZE(row.label, times, row.count), Program_Stop) << row.count;
    EXPECT_EQ(text.str(), std::string("\n\nUnable to allocate ") + row.label + " !\n\n\n");
    EXPECT_EQ(times.size(), 3u);  // untouched
  }
  CHECKED_RESIZE("Buffer_Times", times, 100);
  EXPECT_EQ(times.size(), 100u);
  text.str("");
  EXPECT_THROW(CHECKED_ALLOCATION("Cmd_Instr", [] { throw std::bad_alloc(); }), Program_Stop);
  EXPECT_EQ(text.str(), "\n\nUnable to allocate Cmd_Instr !\n\n\n");
  Memory_Bytes_For_Tests = 0;
  SET_CONSOLE_STREAM(nullptr);
}

}  // namespace
