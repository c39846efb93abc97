// One panel's picture: colour limits, the "Add:" note, the viewport box, a flat field, the
// time texts of the annotations.

#include "display/Display_Image.h"

#include <fstream>

#include "display/Annotate.h"
#include "tests/display/Display_Case.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

class Panel : public Display_Case {
 protected:
  Scratch_Folder dir_;
};

TEST_F(Panel, ColourLimitsByMode) {
  make_files({0.0f, 0.0f}, 4, 4);
  auto& r = Result_Set;
  auto& modes = Display_Settings.Processed_Display_Modes;
  r.Current_Min(1) = 2.0f, r.Current_Max(1) = 8.0f;
  r.Current_Min(2) = 3.0f, r.Current_Max(2) = 3.0f;

  modes.Difference_Display = true;
  ALLOCATE_ARRAYS();  // slot 0, all zero: an equal pair of files
  Colour_Limits l = COLOUR_LIMITS(0);
  EXPECT_EQ(l.a1, -5.0e-21f);
  EXPECT_EQ(l.a2, 5.0e-21f);
  // With the absolute values on too, a file's picture keeps its own limits.
  modes.Absolute_Values = true;
  l = COLOUR_LIMITS(1);
  EXPECT_EQ(std::make_pair(l.a1, l.a2), std::make_pair(2.0f, 8.0f));
  EXPECT_EQ(l.file, 1);
  modes = {};

  // Logarithm and absolute values: the logarithm's limits.
  modes.Logarithmic_Display = modes.Absolute_Values = true;
  l = COLOUR_LIMITS(-1);
  EXPECT_FLOAT_EQ(l.a1, std::log(2.0f));
  EXPECT_FLOAT_EQ(l.a2, std::log(8.0f));
  EXPECT_EQ(l.file, 1);
  modes = {};

  // Equal limits are moved apart, negative ones too.
  for (float v : {3.0f, -3.0f, 0.0f}) {
    r.Current_Min(2) = r.Current_Max(2) = v;
    l = COLOUR_LIMITS(2);
    EXPECT_LT(l.a1, l.a2) << v;
    EXPECT_NEAR(l.a1, v, 1.0e-4f);
    EXPECT_NEAR(l.a2, v, 1.0e-4f);
  }
  modes.Miller_Indices = true;
  l = COLOUR_LIMITS(-2);
  EXPECT_EQ(std::make_pair(l.a1, l.a2), std::make_pair(0.0f, 215.0f));
}

TEST_F(Panel, AddNoteForRangesBelowAThousandth) {
  EXPECT_TRUE(NEEDS_ADD_NOTE(1000.0f, 1000.5f));
  EXPECT_FALSE(NEEDS_ADD_NOTE(1000.0f, 1002.0f));
  EXPECT_FALSE(NEEDS_ADD_NOTE(0.0f, 1.0e-6f));
  EXPECT_EQ(ADD_NOTE_TEXT(1000.0f), "\\fi(Add: 1000.000)");
  EXPECT_EQ(ADD_NOTE_TEXT(-2.5e-5f), "\\fi(Add: -0.2500000E-04)");
}

TEST_F(Panel, WedgeRangeAndNoteOfNarrowAndFlatFields) {
  struct Row {
    const char* name;
    float low, high;
    float a1, a2;
    std::string note;
  } rows[] = {
      {"a range below a thousandth: from the lower limit", 1000.0f, 1000.5f, 0.0f, 0.5f, "\\fi(Add: 1000.000)"},
      {"a range of two thousandths: no note", 1000.0f, 1002.0f, 1000.0f, 1002.0f, ""},
      {"a flat field: its own value, the wedge around it", 1000.0f, 1000.0f, -0.005f, 0.005f, "\\fi(Add: 1000.000)"},
      {"a flat negative field", -250.0f, -250.0f, -0.00125f, 0.00125f, "\\fi(Add: -250.0000)"},
      {"a flat zero field: no note", 0.0f, 0.0f, -5.0e-6f, 5.0e-6f, ""},
  };
  for (const Row& row : rows) {
    make_files({0.5f}, 4, 4);
    Result_Set.Current_Min(1) = row.low, Result_Set.Current_Max(1) = row.high;
    const Wedge_Range range = WEDGE_RANGE(COLOUR_LIMITS(1));
    EXPECT_EQ(range.note, row.note) << row.name;
    EXPECT_NEAR(range.a1, row.a1, 1.0e-4f) << row.name;
    EXPECT_NEAR(range.a2, row.a2, 1.0e-4f) << row.name;
  }
}

TEST_F(Panel, ViewportBoxLeavesRoomForWedgeAndTexts) {
  struct Row {
    int mode, nx, ny;
    float x1, x2, y1, y2;
  } rows[] = {
      {1, 20, 20, 0.16f, 4.08f, 0.04f, 3.96f},   // square: the box's full height, centred across
      {1, 100, 10, 0.04f, 4.2f, 1.8107f, 2.1893f}, // wide: the box's full width, centred up
      {2, 20, 20, -0.24f, 3.68f, 0.04f, 3.96f},  // wedge only: moved left by a tenth
      {4, 20, 20, 0.0f, 4.0f, 0.0f, 4.0f},       // nothing around: the whole panel
  };
  for (const auto& row : rows) {
    make_files({0.5f}, row.nx, row.ny);
    Display_Settings.Annotation_Mode = row.mode;
    use_device(cpgopen("/NULL"));
    cpgpap(4.0f, 1.0f);
    cpgpage();
    DISPLAY_IMAGE(1);
    float x1, x2, y1, y2;
    cpgqvp(1, &x1, &x2, &y1, &y2);
    EXPECT_NEAR(x1, row.x1, 0.01f) << row.mode << " " << row.nx;
    EXPECT_NEAR(x2, row.x2, 0.01f) << row.mode << " " << row.nx;
    EXPECT_NEAR(y1, row.y1, 0.01f) << row.mode << " " << row.nx;
    EXPECT_NEAR(y2, row.y2, 0.01f) << row.mode << " " << row.nx;
    cpgclos();
  }
}

TEST_F(Panel, FlatFieldShowsInOneColourWithItsWedge) {
  make_files({4.0f}, 20, 20);
  Result_Set.Current_Min(1) = Result_Set.Current_Max(1) = 4.0f;
  Display_Settings.Annotation_Mode = 2;
  Display_Settings.Panel_Grid.Panels_Across = Display_Settings.Panel_Grid.Panels_Down = 1;
  Gif_Page page(dir_);
  use_device(page.device());
  cpgpap(4.0f, 1.0f);
  cpgpage();
  DISPLAY_IMAGE(1);
  const QImage image = page.CLOSE();
  EXPECT_EQ(pgplot_warnings_.str(), "");
  ASSERT_FALSE(image.isNull());
  EXPECT_NE(RGB_AT(image, image.width() / 2 - 20, image.height() / 2), 0x000000u);  // the image
}

TEST_F(Panel, TimeTexts) {
  make_files({0.5f}, 4, 4);
  EXPECT_EQ(TIME_TEXT(1), "   12.50000 s");
  Result_Set.Time(1) = 0.000035f;
  EXPECT_EQ(TIME_TEXT(1), "  3.5000000E-05 s");  // one digit before the point
  Result_Set.Time(1) = 0.0f;
  EXPECT_EQ(TIME_TEXT(1), "   0.000000 s");
  Result_Set.Time(1) = 2.5e7f;
  EXPECT_EQ(TIME_TEXT(1), "  2.5000000E+07 s");

  Result_Set.Time(1) = 12.5f;
  Result_Set.Name_Solution.ALLOCATE({Bounds{1, 1}});
  Result_Set.Name_Solution(1) = dir_ / "T1_conc.zlt";
  Result_Set.Total_Time_Steps.ALLOCATE({Bounds{1, 1}});
  Result_Set.Total_Time_Steps(1) = 2;
  Result_Set.Time_Step_Number(1) = 2;
  std::ofstream(dir_ / "T1_TabF.txt") << "0 900 a\n12.5 1000 b\n";
  Display_Settings.Temperature_Display = 1;
  EXPECT_EQ(TIME_TEXT(1), " 12.500 s (1000.00 K)");
  Display_Settings.Temperature_Display = 2;
  EXPECT_EQ(TIME_TEXT(1), " 12.500 s (726.85 \xB0" "C)");

  // A time outside its neighbouring table times: no temperature, the setting stays.
  Result_Set.Time_Step_Number(1) = 1;
  EXPECT_EQ(TIME_TEXT(1), " 12.500 s (626.85 \xB0" "C)");  // up to the next row's time
  Result_Set.Time(1) = 20.0f;
  Console_Capture console;
  EXPECT_EQ(TIME_TEXT(1), " 20.000 s");
  EXPECT_EQ(console.text(), "\n\n Warning skiping display of 'temperature'!\n\n\n");
  EXPECT_EQ(Display_Settings.Temperature_Display, 2);
  Result_Set.Time(1) = 0.000035f;
  EXPECT_EQ(TIME_TEXT(1).substr(0, 13), "3.50000E-05 s");
  Result_Set.Time(1) = 20.0f;
  // An output beyond the table: the display is switched off.
  Result_Set.Time_Step_Number(1) = 3;
  EXPECT_EQ(TIME_TEXT(1), " 20.000 s");
  EXPECT_EQ(Display_Settings.Temperature_Display, 0);
}

TEST_F(Panel, DifferencePanelStoresNoTimeStamp) {
  make_files({0.5f, 0.25f}, 4, 4);
  Display_Settings.Processed_Display_Modes.Difference_Display = true;
  use_device(cpgopen("/NULL"));
  cpgpage();
  Previous_Time_Stamp(1) = "old";
  ANNOTATE(0);
  EXPECT_EQ(Previous_Time_Stamp(1), "old");
  ANNOTATE(1);
  EXPECT_EQ(Previous_Time_Stamp(1), "   12.50000 s");
  cpgclos();
}

}  // namespace
