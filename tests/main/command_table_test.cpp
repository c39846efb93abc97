// The command loop's own commands, the front end's triples and the key summary, in process
// (no window: the commands tested here draw nothing).

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "records/Command_Codes.h"
#include "main/Command_Loop.h"
#include "records/Globals.h"
#include "main/Initialise.h"
#include "main/User_Interface.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_GLOBALS();
    Display_Settings.Panel_Grid.Panels_Across = Display_Settings.Panel_Grid.Panels_Down = 1;
    DEFAULT_SETTINGS();
    Display_Settings.Auto_Resize = false;  // no page to refit
    auto& r = Result_Set;
    r.Number_Of_Solutions = 1;
    r.Name_Solution.ALLOCATE({Bounds{1, 1}});
    r.Name_Solution(1) = dir_ / "Case_conc.zlt";
    r.Total_Time_Steps.ALLOCATE({Bounds{1, 1}});
    r.Total_Time_Steps(1) = 2;
  }
  void TearDown() override { RESET_GLOBALS(); }

  Scratch_Folder dir_;
};

struct Cycle {
  const char* name;
  std::int32_t code;
  std::int32_t* field;
  std::int32_t from, to;
};

TEST_F(Commands, InlineCyclesWrapAndAskForAFullRedraw) {
  const Cycle cycles[] = {
      {"v+t", 30, &Display_Settings.Wedge_Thickness, 9, 3},
      {"v+t", 30, &Display_Settings.Wedge_Thickness, 3, 5},
      {"v+a", 27, &Display_Settings.Annotation_Mode, 4, 1},
      {"v+a", 27, &Display_Settings.Annotation_Mode, 1, 2},
      {"v+o", 29, &Display_Settings.Annotation_Orientation, 2, 1},
      {"v+o", 29, &Display_Settings.Annotation_Orientation, 1, 2},
      {"b+b", 58, &Vector_Settings.Vector_Colour, 2, 0},
      {"i+b", 68, &Isoline_Data.Isoline_Colour, 2, 0},
      {"i+b", 68, &Isoline_Data.Isoline_Colour, 0, 1},
  };
  for (const Cycle& c : cycles) {
    *c.field = c.from;
    Command_State.Command_Code = c.code;
    EXPECT_EQ(DISPATCH_COMMAND(c.code), 2) << c.name;
    EXPECT_EQ(*c.field, c.to) << c.name << " from " << c.from;
    EXPECT_EQ(Command_State.Command_Code, 23) << c.name;
  }
}

TEST_F(Commands, TemperatureAtTheBottomCyclesThroughItsThreeTexts) {
  write_bytes(dir_ / "Case_TabF.txt", "0.0 1000.0 K\n10.0 900.0 K\n");
  Console_Capture console;
  std::string expected;
  for (const char* text : {" Displaying 'temperaure at the bottom' in Kelvin",
                           " Displaying 'temperaure at the bottom' in degree Celsius",
                           " Not displaying 'temperaure at the bottom'"}) {
    EXPECT_EQ(DISPATCH_COMMAND(33), 2);
    expected += std::string("\n") + text + "\n\n";
  }
  EXPECT_EQ(Display_Settings.Temperature_Display, 0);
  EXPECT_EQ(console.text(), expected);
  EXPECT_EQ(Display_Settings.Time_Temperature.EXTENT(0), 2);
}

// Without a table the read warns and leaves the display off: no message claims it is on.
TEST_F(Commands, TemperatureAtTheBottomWithoutATableStaysOff) {
  Console_Capture console;
  DISPATCH_COMMAND(33);
  EXPECT_EQ(Display_Settings.Temperature_Display, 0);
  EXPECT_EQ(console.text(), "\n\n Warning: unable to find file: " + (dir_ / "Case_TabF.txt") +
                                "\n Disabling display of 'temperature'\n\n\n");
}

TEST_F(Commands, TogglesReportBetweenEmptyLinesAndWaitForTheNextCommand) {
  struct Toggle {
    std::int32_t code;
    bool* flag;
    const char* on_text;
  } toggles[] = {
      {24, &Display_Settings.Auto_Replot, " 'Auto-replot' on"},
      {79, &Output_Settings.Larger_Images, " Writing of 'larger' images toggled on"},
      {80, &Output_Settings.High_Resolution_Images, " Writing of 'high resolution' images toggled on"},
      {86, &Output_Settings.Numbering_Of_Outputs, " Numbering of outputs toggled on"},
      {91, &Output_Settings.Default_Naming, " 'Default naming' of outputs toggled on"},
  };
  for (const Toggle& t : toggles) {
    Console_Capture console;
    EXPECT_EQ(DISPATCH_COMMAND(t.code), 3) << t.code;
    EXPECT_TRUE(*t.flag) << t.code;
    EXPECT_EQ(console.text(), std::string("\n") + t.on_text + "\n\n");
  }
  Console_Capture console;
  EXPECT_EQ(DISPATCH_COMMAND(53), 2);
  EXPECT_EQ(console.text(), "\n Display of 'raster' on\n\n");
}

TEST_F(Commands, FlippingTheLengthScaleShowsTheVectorScaleWhenNoVectorsAreShown) {
  DISPATCH_COMMAND(37);
  EXPECT_TRUE(Display_Settings.Flip_Length_Scale);
  EXPECT_TRUE(Vector_Settings.Display_Vector_Scale);
  EXPECT_FALSE(Display_Settings.Display_Length_Scale);
  Vector_Settings.Vector_Mode = 1;
  DISPATCH_COMMAND(37);
  EXPECT_FALSE(Display_Settings.Flip_Length_Scale);
  EXPECT_TRUE(Display_Settings.Display_Length_Scale);
}

TEST_F(Commands, TheColourKeyWindowSaysFeatureNotAvailable) {
  Console_Capture console;
  DISPATCH_COMMAND(28);
  EXPECT_EQ(console.text(), "\n Feature not available\n\n");
}

TEST_F(Commands, InformationCodesReachTheirCommands) {
  {
    Console_Capture console;
    Command_State.Command_Code = Command::Info_Version;  // the loop hands the code over in the record
    EXPECT_EQ(DISPATCH_COMMAND(Command::Info_Version), 3);
    EXPECT_EQ(console.text(), "\n Display_ZELTRA version 6.1\n (no information about ZELTRA version available)\n");
  }
  Result_Set.Number_Of_Solutions = 1;
  for (std::int32_t code : {Command::Info_Compare, Command::Info_Compare_All}) {  // nothing to compare with one result
    Console_Capture console;
    Command_State.Command_Code = code;
    EXPECT_EQ(DISPATCH_COMMAND(code), 3);
    EXPECT_EQ(console.text(), "") << code;
  }
}

TEST_F(Commands, FrontEndModeSuspendsToTheKeyboardAndTheSummaryFollows) {
  Result_Geometry.AnzY = 1;
  Command_State.GUI_Started = Command_State.GUI_Active = true;
  {
    Console_Capture console;
    EXPECT_EQ(DISPATCH_COMMAND(126), 3);
    EXPECT_FALSE(Command_State.GUI_Active);
    EXPECT_TRUE(console.text().starts_with("\n Graphical user interface suspended\n\n\n 'Non-graphical interface':"));
    EXPECT_NE(console.text().find("\n\n  Key g to restore GUI\n"), std::string::npos);
  }
  {
    Console_Capture console;
    DISPATCH_COMMAND(126);
    EXPECT_TRUE(Command_State.GUI_Active);
    EXPECT_EQ(console.text(), "\n Graphical user interface restored\n\n");
  }
  {
    Console_Capture console;  // h while the front end is active: nothing
    DISPATCH_COMMAND(128);
    EXPECT_EQ(console.text(), "");
  }
  Command_State.GUI_Started = Command_State.GUI_Active = false;
  {
    Console_Capture console;  // g without the front end: the summary only
    DISPATCH_COMMAND(126);
    EXPECT_FALSE(Command_State.GUI_Active);
    EXPECT_TRUE(console.text().starts_with("\n 'Non-graphical interface':"));
    EXPECT_EQ(console.text().find("restore GUI"), std::string::npos);
  }
}

// ---------------------------------------------------------------- front end

struct Triple_Case {
  const char* input;
  std::int32_t move, code, colour, isolines;
};

TEST_F(Commands, FrontEndTriplesBecomeMovesAndCodes) {
  const Triple_Case cases[] = {
      {"0 6 4", 0, 6, 4, -1},      {"0\n6\n4\n", 0, 6, 4, -1}, {"1 0 0", 1, 0, -1, -1},
      {"0 0 0 1 23 0", 1, 23, -1, -1}, {"0 61 7", 0, 61, -1, 7}, {"0 010 0", 0, 8, -1, -1},
      {"0 0x1A 0", 0, 26, -1, -1}, {"0 130 0", 0, 130, -1, -1}, {"0 -5 0", 0, -5, -1, -1},
      {"", 0, 129, -1, -1},        // the end of the input ends the program as code 129
      {"1 2", 0, 129, -1, -1},     // a triple cut short is not carried out
  };
  for (const Triple_Case& c : cases) {
    Command_State.Colour_Scale_Choice = Command_State.Isoline_Count_Choice = -1;
    Command_State.Time_Step_Command = Command_State.Command_Code = 0;
    std::istringstream in(c.input);
    READ_FRONT_END_COMMAND(in);
    EXPECT_EQ(Command_State.Time_Step_Command, c.move) << c.input;
    EXPECT_EQ(Command_State.Command_Code, c.code) << c.input;
    EXPECT_EQ(Command_State.Colour_Scale_Choice, c.colour) << c.input;
    EXPECT_EQ(Command_State.Isoline_Count_Choice, c.isolines) << c.input;
  }
}

// ---------------------------------------------------------------- key summary

struct Summary_Case {
  std::int32_t files, anz_y;
  bool dissociated, freeze, rgb, difference, vectors, vectors_3d, three_d;
};

TEST_F(Commands, KeySummaryShowsWhatAppliesToTheCase) {
  const Summary_Case cases[] = {
      {1, 1, false, true, false, false, false, false, false},
      {2, 1, true, false, false, true, false, false, false},
      {3, 1, true, false, true, false, true, false, false},
      {4, 1, true, false, false, false, true, true, false},
      {1, 5, false, true, false, false, false, false, true},
  };
  for (const Summary_Case& c : cases) {
    Result_Set.Number_Of_Solutions = c.files;
    Result_Geometry.AnzY = c.anz_y;
    Console_Capture console;
    SUMMARY_SHORTCUTS();
    const std::string text = console.text();
    auto has = [&](const char* line) { return text.find(std::string("\n") + line + "\n") != std::string::npos; };
    const std::string label = std::to_string(c.files) + " files, AnzY " + std::to_string(c.anz_y);
    EXPECT_TRUE(text.starts_with("\n 'Non-graphical interface':\n --------------------------\n\n Change time-step:\n"));
    EXPECT_TRUE(text.ends_with("\n  Key h for these instructions\n\n  Key x exits program\n\n")) << label;
    EXPECT_EQ(has("  Keys j+g goes to given time-step, with graphical selector\n"
                  " 'Dissociated' operation, on 'some' file(s) only, (starting with key m):"),
              c.dissociated)
        << label;
    EXPECT_EQ(has("           (available only for single result file)"), c.freeze) << label;
    EXPECT_EQ(has("  Keys d+t toggle on and off 'RGB triangle' display mode"), c.rgb) << label;
    EXPECT_EQ(has("  Keys d+d toggle on and off display of 'difference' between two results"), c.difference) << label;
    EXPECT_EQ(has(" 'Vector field display' operations (starting with key b):"), c.vectors) << label;
    EXPECT_EQ(has("  Keys b+3 toggle on and off 'vector field display' (3D mode)"), c.vectors_3d) << label;
    EXPECT_EQ(has(" 3D operations (starting with key 3):"), c.three_d) << label;
    EXPECT_TRUE(has("  Keys c+1,...,11 select different colour scales")) << label;
    EXPECT_TRUE(has("  Keys a+r animate (loops 2 times over all time-steps)")) << label;
    EXPECT_FALSE(has("  Key g to restore GUI")) << label;
  }
  Display_Settings.Number_Of_Loops = 100;
  Console_Capture console;
  SUMMARY_SHORTCUTS();
  EXPECT_NE(console.text().find("\n  Keys a+r animate (loops** times over all time-steps)\n"), std::string::npos);
}

}  // namespace
