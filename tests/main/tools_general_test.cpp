// The logical toggles, the image driver and the start-up values of the display's records.

#include <gtest/gtest.h>

#include <string>

#include "records/Command_Codes.h"
#include "records/Globals.h"
#include "main/Initialise.h"
#include "main/Tools_General.h"
#include "records/Toggle_Boolean.h"
#include "result_files/Display_Arrays.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

class Tools : public ::testing::Test {
 protected:
  void SetUp() override { RESET_GLOBALS(); }
  void TearDown() override { RESET_GLOBALS(); }
};

TEST_F(Tools, ToggleReportsTheNewState) {
  struct Row {
    std::string on, off;
    bool before;
    std::string console;
  } rows[] = {
      {"Display of 'raster' on", "Display of 'raster' off", false, "\n Display of 'raster' on\n\n"},
      {"Display of 'raster' on", "Display of 'raster' off", true, "\n Display of 'raster' off\n\n"},
      {"'Auto-replot' on   ", "'Auto-replot' off   ", false, "\n 'Auto-replot' on\n\n"},  // trailing blanks dropped
      {"     ", "off", false, "\n \n\n"},                                                  // a blank text: one blank
  };
  for (const auto& row : rows) {
    bool flag = row.before;
    Console_Capture console;
    TOGGLE_BOOLEAN(flag, row.on, row.off);
    EXPECT_EQ(flag, !row.before);
    EXPECT_EQ(console.text(), row.console);
  }
}

TEST_F(Tools, ImageDriverChoice) {
  DEFAULT_SETTINGS();
  struct Row {
    int code;
    std::string console, driver, extension;
  } rows[] = {
      {Command::Image_Driver_Key_T, " Image_Driver: 'GIF'\n\n", "/GIF", "gif"},  // right after start
      {Command::Image_Driver_PostScript, " Image_Driver: PostScript\n\n", "/VCPS", "ps"},
      {Command::Image_Driver_Key_O, " Image_Driver: PostScript\n\n", "/VCPS", "ps"},
      {Command::Image_Driver_Gif, " Image_Driver: 'GIF'\n\n", "/GIF", "gif"},
      {Command::Image_Driver_Key_O, " Image_Driver: 'GIF'\n\n", "/GIF", "gif"},
  };
  for (const auto& row : rows) {
    Command_State.Command_Code = row.code;
    Console_Capture console;
    CHANGE_IMAGE_DRIVER();
    EXPECT_EQ(console.text(), row.console) << row.code;
    EXPECT_EQ(Output_Settings.Image_Driver, row.driver) << row.code;
    EXPECT_EQ(Output_Settings.Image_Extension, row.extension) << row.code;
  }
}

TEST_F(Tools, StartUpValues) {
  // Before start-up: no command, no move, no device.
  EXPECT_EQ(Command_State.Command_Code, 0);
  EXPECT_EQ(Command_State.Time_Step_Command, 0);
  const auto& units = Graphics_Units;
  for (int unit : {units.Unit_Display, units.Unit_Current, units.Unit_Pop_Up, units.Unit_Curves}) EXPECT_EQ(unit, -13);
  EXPECT_FALSE(units.Unit_Colour_Scales.ALLOCATED());

  Display_Settings.Panel_Grid.Panels_Across = 3;
  Display_Settings.Panel_Grid.Panels_Down = 2;
  Display_Settings.Processed_Display_Modes.Logarithmic_Display = true;
  Display_Settings.Random_Seed = 99;  // a load value: start-up leaves it
  DEFAULT_SETTINGS();
  const auto& d = Display_Settings;
  EXPECT_EQ(Command_State.Command_Code, Command::Replot);
  EXPECT_EQ(Command_State.Time_Step_Command, 1);
  EXPECT_EQ(d.Colour_Scale_Number, 1);
  EXPECT_EQ(d.Contrast, 1.0f);
  EXPECT_EQ(d.Brightness, 0.5f);
  EXPECT_EQ(d.Scale_Sign, 1.0f);
  EXPECT_EQ(d.Annotation_Mode, 1);
  EXPECT_EQ(d.Annotation_Orientation, 1);
  EXPECT_EQ(d.Wedge_Thickness, 3);
  EXPECT_FALSE(d.Display_Grid);
  EXPECT_FALSE(Raster_Overlay.Display_Raster);
  EXPECT_FALSE(Isoline_Data.Display_Isoline_Labels);
  EXPECT_EQ(Vector_Settings.Vector_Mode, 0);
  EXPECT_EQ(Output_Settings.Image_Driver, "/GIF");
  EXPECT_EQ(Output_Settings.Image_Extension, "gif");
  EXPECT_EQ(Output_Settings.Image_Driver_Name, "'GIF'");
  EXPECT_TRUE(d.Auto_Resize);
  EXPECT_FALSE(d.Auto_Replot);
  EXPECT_EQ(d.Drawing_Colour_Index, 1);
  EXPECT_EQ(d.Text_Background_Index, -1);
  EXPECT_TRUE(d.Automatic_Steps);
  EXPECT_FALSE(d.Stepwise_Colour_Scale);
  EXPECT_EQ(d.Random_Seed, 99);
  EXPECT_EQ(d.Display_Time, 0.75f);
  EXPECT_EQ(d.Number_Of_Loops, 2);
  EXPECT_EQ(d.Grid_Lines, 5);
  EXPECT_EQ(d.TR_Matrix, (std::array<float, 6>{0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f}));
  EXPECT_FALSE(d.Processed_Display_Modes.Logarithmic_Display);
  EXPECT_EQ(d.Panel_Grid.Current_Panel_X, 3);
  EXPECT_EQ(d.Panel_Grid.Current_Panel_Y, 2);
  EXPECT_TRUE(Vector_Settings.Centred_Vectors);
  EXPECT_TRUE(d.Automatic_Scale_Length);
  EXPECT_EQ(Solution_Counter, 1);
  EXPECT_EQ(units.Unit_Display, -13);  // the screen device is opened by start-up itself
}

}  // namespace

// The image call takes a slot's plane as one NX x NY block, x fastest: every slot, also the
// negative ones of the logarithmic modes, must be laid out so, whatever the cut's sizes.
TEST(Display_Planes, EverySlotIsOneContiguousPlane) {
  struct Row {
    int files, nx, ny;
    bool logarithmic;
  } rows[] = {{1, 5, 3, false}, {3, 4, 7, false}, {2, 6, 2, true}};
  for (const Row& row : rows) {
    RESET_GLOBALS();
    Result_Set.Number_Of_Solutions = row.files;
    Result_Geometry.AnzX = row.nx, Result_Geometry.AnzY = row.ny, Result_Geometry.AnzZ = 1;
    Display_Field.Cut_Direction = 1;
    Display_Settings.Processed_Display_Modes.Logarithmic_Display = row.logarithmic;
    ALLOCATE_ARRAYS();
    auto& a = Display_Field.Array_to_be_displayed;
    const int nx = Display_Field.Display_Size_X, ny = Display_Field.Display_Size_Y;
    ASSERT_EQ(nx, row.nx);
    ASSERT_EQ(ny, row.ny);
    ASSERT_EQ(a.LOWER(0), row.logarithmic ? -row.files : 1);
    for (auto slot = a.LOWER(0); slot <= a.UPPER(0); ++slot) {
      const float* plane = a.ADDRESS(slot, 1, 1);
      for (int y = 1; y <= ny; ++y)
        for (int x = 1; x <= nx; ++x)
          ASSERT_EQ(&a(slot, x, y), plane + (x - 1) + static_cast<std::ptrdiff_t>(y - 1) * nx)
              << "slot " << slot << " x " << x << " y " << y;
    }
  }
  RESET_GLOBALS();
}
