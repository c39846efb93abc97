// Contour point lists: the head byte for byte, the scan's reporting rule, the interpolation
// edge, undefined values, the first proposed value, and files that cannot be written.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "records/Command_Codes.h"
#include "probes/Write_Contour.h"
#include "tests/probes/Field_Case.h"

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();

class Contour_Lists : public Field_Case {
 protected:
  void SetUp() override {
    Field_Case::SetUp();
    Contour_State = {};
  }
  // One result per entry of columns; columns[k][x - 1][y - 1] is the value at (x, y).
  void make(const std::vector<std::vector<std::vector<float>>>& results) {
    const int nx = static_cast<int>(results[0].size()), ny = static_cast<int>(results[0][0].size());
    make_field(static_cast<int>(results.size()), nx, ny,
               [&](int k, int x, int y) { return x <= nx && y <= ny ? results[k - 1][x - 1][y - 1] : 0.0f; });
    // A field one cell across is widened for the display; the window stays on the data.
    zoom(1, nx, 1, ny);
  }
  std::string write(float c) {
    const std::string name = dir_ / "list.txt";
    clear_console();
    EXPECT_TRUE(WRITE_OUT_CONTOUR(c, name));
    return read_bytes(name);
  }
  static std::string head(const std::string& c_text, int results = 1) {
    std::string text = "# 'Contour output' at t = 12.50\n#    Cutting plane coordinate 0.50000 micrometers\n"
                       "#    'Contour value': " + c_text + "\n#  x coordinate   y coordinate  ";
    for (int k = 1; k <= results; ++k) text += "           Sim_" + std::to_string(k) + ".dat";
    text += "\n# (micrometers)  (micrometers)  ";
    for (int k = 1; k <= results; ++k) text += "     (field value)  ";
    return text + "\n";
  }
};

TEST_F(Contour_Lists, OneColumnCases) {
  struct Case {
    std::vector<float> column;
    float c;
    const char* c_text;
    const char* points;
  } cases[] = {
      {{0, 0, 1, 1}, 0.5f, "0.5000000000", "    0.50000         2.0000        0.5000000000    \n"},
      {{0, 0, 1, 1}, 1.0f, "1.000000000",
       "    0.50000         2.5000         1.000000000    \n    0.50000         2.5000         1.000000000    \n"},
      // (the second: the block (1, 3)-(1, 4) is flat, so the point is its end A)
      {{0, 1, 0}, 0.5f, "0.5000000000", "    0.50000         1.0000        0.5000000000    \n"},
      {{0.5f, 0, 0}, 0.5f, "0.5000000000", "    0.50000        0.50000        0.5000000000    \n"},
      {{0, 0, 0}, 0.5f, "0.5000000000", ""},
  };
  for (const Case& c : cases) {
    make({{c.column}});
    EXPECT_EQ(write(c.c), head(c.c_text) + c.points) << c.c;
  }
  EXPECT_EQ(console(), " File: " + (dir_ / "list.txt") + " written (0 points found)\n");
}

// A column right of the window's left border takes the block ending at the scan cell:
// the left vertical edge from (1, 1) to (1, 2) brackets 0.25 at f = 0.25; every result is
// interpolated there.
TEST_F(Contour_Lists, BlockEdgeAndFieldValues) {
  make({{{0, 1}, {0, 1}}, {{10, 20}, {30, 40}}});
  const std::string list = write(0.25f);
  EXPECT_EQ(list.substr(head("0.2500000000", 2).size()),
            "    0.50000        0.75000        0.2500000000         12.50000000    \n"
            "    0.50000        0.75000        0.2500000000         12.50000000    \n");
  // Result 1 crosses in both columns: (1, 2) with its block starting at the border, (2, 2)
  // with the block ending there; both take the left column's vertical edge.
}

TEST_F(Contour_Lists, OtherPlanesAndLongNames) {
  make({{{0, 1}}});
  Display_Field.Cut_Direction = 3;
  Display_Field.Cut_Index = 3;
  Result_Set.Name_To_Be_Displayed(1) = "a_rather_long_result_name.dat";
  const auto lines = lines_of(write(0.5f));
  EXPECT_EQ(lines[1], "#    Cutting plane coordinate 2.5000 micrometers");
  EXPECT_EQ(lines[3], "#  y coordinate   z coordinate    ng_result_name.dat");
}

// Undefined values around a crossing: the point is lost with a warning, the rest written.
TEST_F(Contour_Lists, UndefinedValuesLoseThePoint) {
  make({{{NaN, NaN}, {0, 1}}});
  const std::string name = dir_ / "list.txt";
  EXPECT_EQ(write(0.5f), head("0.5000000000"));
  EXPECT_EQ(console(), "\n Warning!: 1 crossing(s) left out of " + name +
                           ": no edge around them brackets the value (undefined field values)\n\n File: " + name +
                           " written (0 points found)\n");
}

TEST_F(Contour_Lists, FirstProposedValue) {
  make({{{0, 1}}});
  Result_Set.Current_Min(1) = 0.2f;
  Result_Set.Current_Max(1) = 0.6f;
  EXPECT_EQ(CONTOUR_VALUE_PRESET(), " 0.400              ");
  Contour_State = {};
  Isoline_Data.Isoline_Number.ALLOCATE({Bounds{1, 1}});
  Isoline_Data.Isoline_values.ALLOCATE({Bounds{1, 1}, Bounds{1, 2}});
  Isoline_Data.Isoline_Number(1) = 1;
  Isoline_Data.Isoline_values(1, 1) = 0.3f;
  EXPECT_EQ(CONTOUR_VALUE_PRESET(), " 0.300              ");
  // Later uses propose the value entered last, whatever the isolines.
  Contour_State.Contour_Value = 7.0f;
  EXPECT_EQ(CONTOUR_VALUE_PRESET(), "  7.00              ");
  Contour_State = {};
  Isoline_Data.Isoline_Number(1) = 2;
  EXPECT_EQ(CONTOUR_VALUE_PRESET(), " 0.400              ");
}

TEST_F(Contour_Lists, DefaultNameAndUnwritableFile) {
  make({{{0, 1}}});
  Command_State.Command_Code = Command::Contour_Output;
  WRITE_CONTOUR(0.5f);
  const std::string name = dir_ / "Sim_1_dat_00012500_Contour.txt";
  EXPECT_EQ(console(), " File: " + name + " written (1 points found)\n");
  clear_console();
  Result_Set.Name_Solution(1) = dir_ / "blocker/Sim_1.dat";
  write_bytes(dir_ / "blocker", "x");
  WRITE_CONTOUR(0.5f);
  EXPECT_EQ(console(), "\n Unable to write to file: " + (dir_ / "blocker/Sim_1_dat_00012500_Contour.txt") +
                           "\n (Not a directory)\n\n");
}

}  // namespace
