// The console lines of the information commands that need no pick: values and position of
// a cell, extrema and average over the zoom window, one comparison, version and geometry.

#include <gtest/gtest.h>

#include "probes/Data_Information.h"
#include "tests/probes/Field_Case.h"

namespace {

class Information_Console : public Field_Case {
 protected:
  void names(const std::vector<std::string>& texts) {
    for (std::size_t k = 0; k < texts.size(); ++k) Result_Set.Name_To_Be_Displayed(static_cast<std::int32_t>(k + 1)) = texts[k];
  }
  void stamps(const std::vector<std::string>& texts) {
    Previous_Time_Stamp.ALLOCATE({Bounds{1, static_cast<std::int64_t>(texts.size())}});
    for (std::size_t k = 0; k < texts.size(); ++k) Previous_Time_Stamp(static_cast<std::int32_t>(k + 1)) = texts[k];
  }
  void pick(std::int32_t x, std::int32_t y) { Scan_Line.Scan_X1 = x, Scan_Line.Scan_Y1 = y; }
};

float by_cell(int k, int x, int y) { return static_cast<float>(10 * k + x + 100 * y); }

TEST_F(Information_Console, ValuesLineUpAndCellColumnsFollowTheLargestIndex) {
  make_field(3, 8, 4, by_cell);
  names({"Sim_1.dat", "Long_name_2.dat", "B"});
  Result_Geometry.AnzZ = 200;
  Display_Field.Cut_Index = 120;
  pick(5, 1);
  DATA_INFORMATION_COORDINATES();
  const std::int64_t pointer = (8 + 2) * 1 + 5 + (4 + 2) * (8 + 2) * 120 + 1;
  EXPECT_EQ(console(),
            "\nField values (t=12.50):\n"
            " Sim_1.dat      :    115.0000    \n"
            " Long_name_2.dat:    125.0000    \n"
            " B              :    135.0000    \n"
            "Coordinates (micrometers, cells):\n"
            " X =  4.500,   5\n"
            " Y = 0.5000,   1\n"
            " Z =  119.5, 120\n"
            " 'Cell pointer': " + std::to_string(pointer) + "\n");
}

TEST_F(Information_Console, TwoDimensionalResultHasNoYLine) {
  make_field(1, 30, 1, by_cell);
  Result_Geometry.AnzY = 1, Result_Geometry.AnzZ = 20;
  Display_Field.Cut_Direction = 2, Display_Field.Cut_Index = 1;
  pick(12, 1);
  DATA_INFORMATION_COORDINATES();
  const std::vector<std::string> lines = lines_of(console());
  ASSERT_EQ(lines.size(), 7u) << console();
  EXPECT_EQ(lines[3], "Coordinates (micrometers, cells):");
  EXPECT_EQ(lines[4], " X =  11.50, 12");
  EXPECT_EQ(lines[5], " Z = 0.5000,  1");
  EXPECT_EQ(lines[6], " 'Cell pointer': " + std::to_string(32 * 1 + 12 + 1));
}

TEST_F(Information_Console, MillerModeNamesTheCell) {
  make_field(4, 3, 3, [](int k, int, int) {
    const float codes[] = {-1.0f, 0.0f, 10203.0f, 1000000.0f};
    return codes[k - 1];
  });
  Display_Settings.Processed_Display_Modes.Miller_Indices = true;
  pick(2, 2);
  DATA_INFORMATION_COORDINATES();
  const std::vector<std::string> lines = lines_of(console());
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 6),
            (std::vector<std::string>{" Sim_1.dat: interface!", " Sim_2.dat: liquid!", " Sim_3.dat:  01 02 03",
                                      " Sim_4.dat: unable to process! 1000000."}));
}

TEST_F(Information_Console, ExtremaWithDifferenceRowFirst) {
  Display_Settings.Processed_Display_Modes.Difference_Display = true;
  make_field(2, 6, 5, by_cell);
  names({"A.dat", "B.dat"});
  stamps({" 12.50 s     ", " 13.00 s     "});
  auto& f = Display_Field;
  for (int y = 1; y <= 5; ++y)
    for (int x = 1; x <= 6; ++x) f.Array_to_be_displayed(0, x, y) = -10.0f;
  zoom(2, 3, 1, 1);  // values 10k+102 and 10k+103
  DATA_INFORMATION_AVERAGE();
  EXPECT_EQ(console(),
            "\nExtrema and average:\n"
            " Difference (t = 12.50 s): \n  Minimum:  -10.0000    \n\n  Maximum:  -10.0000    \n\n  Average:  -10.0000    \n"
            " A.dat      (t = 12.50 s): \n  Minimum:   112.000    \n\n  Maximum:   113.000    \n\n  Average:   112.500    \n"
            " B.dat      (t = 13.00 s): \n  Minimum:   122.000    \n\n  Maximum:   123.000    \n\n  Average:   122.500    \n");
}

TEST_F(Information_Console, OneCellWindowAndTemperatureStamp) {
  make_field(1, 6, 5, by_cell);
  stamps({"12.50 s, 1020 K"});
  Display_Settings.Temperature_Display = 1;
  zoom(4, 4, 3, 3);
  DATA_INFORMATION_AVERAGE();
  const std::vector<std::string> lines = lines_of(console());
  ASSERT_EQ(lines.size(), 8u) << console();
  EXPECT_EQ(lines[2], " Sim_1.dat (t = 12.50 s): ");
  for (int row : {3, 5, 7}) EXPECT_EQ(lines[static_cast<std::size_t>(row)].substr(11), "  314.000    ") << row;
}

// The stamp is the annotation's time text; an exponent or, with the temperature shown, the
// unit letter must not be cut away.
TEST_F(Information_Console, TimeTextKeepsTheWholeNumber) {
  struct Case {
    std::string stamp;
    std::int32_t temperature_display;
    std::string heading;
  } cases[] = {
      {"  0.1000000E-01 s", 0, " Sim_1.dat (t = 0.1000000E-01 s): "},
      {"  12.50000 s", 0, " Sim_1.dat (t = 12.50000 s): "},
      {" 0.10000E-01 s, 1020 K", 1, " Sim_1.dat (t = 0.10000E-01 s): "},
      {" 12.500     s, 1020 K", 2, " Sim_1.dat (t = 12.500     s): "},
  };
  for (const Case& c : cases) {
    make_field(1, 6, 5, by_cell);
    stamps({c.stamp});
    Display_Settings.Temperature_Display = c.temperature_display;
    zoom(4, 4, 3, 3);
    clear_console();
    DATA_INFORMATION_AVERAGE();
    const std::vector<std::string> lines = lines_of(console());
    ASSERT_GE(lines.size(), 3u) << console();
    EXPECT_EQ(lines[2], c.heading) << c.stamp;
  }
}

TEST_F(Information_Console, LargeWindowAveragesInDoublePrecision) {
  // Far beyond 2^24 cells of one: a single-precision running sum stalls at 16 777 216.
  make_field(1, 4200, 4200, [](int, int x, int) { return x % 2 ? 1.0f : 3.0f; });
  const Window_Statistics s = WINDOW_STATISTICS(1);
  EXPECT_EQ(s.minimum, 1.0f);
  EXPECT_EQ(s.maximum, 3.0f);
  EXPECT_EQ(s.average, 2.0f);
}

TEST_F(Information_Console, ExtremaFoundAnywhereInTheWindow) {
  // One low and one high cell wander through every position of windows of every width, so
  // that they fall in the wide steps and in the rest of a row alike.
  make_field(1, 21, 2, [](int, int, int) { return 5.0f; });
  auto& a = Display_Field.Array_to_be_displayed;
  for (int width = 1; width <= 21; ++width)
    for (int from = 1; from + width - 1 <= 21; from += 3)
      for (int at = from; at < from + width; ++at) {
        for (int x = 1; x <= 21; ++x) a(1, x, 2) = 5.0f;
        a(1, at, 2) = -7.0f;
        a(1, from + width - 1 - (at - from), 2) += 20.0f;  // 25, or 13 on the low cell itself
        zoom(from, from + width - 1, 1, 2);
        const Window_Statistics s = WINDOW_STATISTICS(1);
        double sum = 0.0;
        for (int y = 1; y <= 2; ++y)
          for (int x = from; x < from + width; ++x) sum += a(1, x, y);
        const bool same_cell = 2 * (at - from) == width - 1;
        EXPECT_EQ(s.minimum, same_cell ? 5.0f : -7.0f) << width << " " << from << " " << at;
        EXPECT_EQ(s.maximum, same_cell ? 13.0f : 25.0f) << width << " " << from << " " << at;
        EXPECT_FLOAT_EQ(s.average, static_cast<float>(sum / (2 * width))) << width << " " << from << " " << at;
      }
}

TEST_F(Information_Console, ComparisonAgainstResultOne) {
  make_field(3, 4, 4, [](int k, int x, int) { return k == 2 ? 1.5f * x + 0.5f : 1.5f * x; });
  names({"Sim_1.dat", "Sim_22.dat", "Sim_3.dat"});
  Display_Field.Array_to_be_displayed(3, 4, 4) = 6.0f + 0.25f;  // one cell apart, in the corner
  Logical_Array identical;
  identical.ALLOCATE({Bounds{1, 3}});
  struct Case {
    float criterion;
    std::array<int, 4> window;
    const char* second;
    const char* third;
  } cases[] = {
      {0.5f, {1, 4, 1, 4}, "identical", "identical"},  // a difference equal to the criterion
      {0.49f, {1, 4, 1, 4}, "different", "identical"},
      {0.2f, {1, 4, 1, 4}, "different", "different"},
      {0.2f, {1, 3, 1, 4}, "different", "identical"},  // the corner outside the window
      {0.0f, {1, 3, 1, 4}, "different", "identical"},
  };
  for (const Case& c : cases) {
    zoom(c.window[0], c.window[1], c.window[2], c.window[3]);
    clear_console();
    CTN_COMPARE(identical, c.criterion);
    EXPECT_EQ(console(), std::string(" Sim_1.dat and Sim_22.dat ") + c.second + " at t = 12.50\n" +
                             " Sim_1.dat and Sim_3.dat  " + c.third + " at t = 12.50\n")
        << c.criterion;
    EXPECT_EQ(identical(2), std::string(c.second) == "identical");
    EXPECT_EQ(identical(3), std::string(c.third) == "identical");
  }
}

TEST_F(Information_Console, GeometryReport) {
  make_field(1, 30, 20, by_cell);
  Result_Geometry.AnzZ = 12000;
  Display_Field.Cut_Index = 7;
  DATA_INFORMATION_GEOMETRY();
  EXPECT_EQ(console(),
            "\n Simulation geometry:\n  AnzX:   30\n  AnzY:   20\n  AnzZ: ****\n    Z =    7\n"
            "  Grid spacing [micrometers]: 1.000000\n\nSymmetry toggled off\n'Mirroring' domain for symmetry\n\n"
            " No zoom\n");
  struct Case {
    std::int32_t mode, type;
    std::string lines;
  } symmetry[] = {{2, 2, "'Four-folded symmetry' toggled on\n'Translation' of domain for symmetry\n"},
                  {3, 1, "'Three-folded symmetry' toggled on\n'Mirroring' domain for symmetry\n"},
                  {4, 1, "'Nine-folded symmetry' toggled on\n'Mirroring' domain for symmetry\n"},
                  {7, 9, ""}};
  zoom(11, 20, 1, 20);
  for (const Case& c : symmetry) {
    Display_Field.Symmetry_Mode = c.mode, Display_Field.Symmetry_Type = c.type;
    clear_console();
    DATA_INFORMATION_GEOMETRY();
    const std::string text = console();
    const std::size_t at = text.find("\n\n", text.find("Grid"));
    EXPECT_EQ(text.substr(at), "\n\n" + c.lines +
                                   "\n Zoom activated:\n  'X': from 11 to 20 (10 points)\n  'Y': from 1 to 20 (20 points)\n")
        << c.mode;
  }
}

TEST_F(Information_Console, VersionReport) {
  make_field(1, 3, 3, by_cell);
  DATA_INFORMATION_VERSION();
  EXPECT_EQ(console(), "\n Display_ZELTRA version 6.1\n (no information about ZELTRA version available)\n");
  clear_console();
  Result_Geometry.Simulation_Info = {"3.2.1     ", "2024-05-01", "run_7     ", "linux     ", "double    "};
  Result_Geometry.Simulation_Info_Present = true;
  DATA_INFORMATION_VERSION();
  EXPECT_EQ(console(),
            "\n Display_ZELTRA version 6.1\n\n ZELTRA version 3.2.1 ('double precision' binary, compiled: 2024-05-01)\n"
            " Simulation run run_7 (under linux)\n\n");
}

}  // namespace
