// Colour-scale commands (s+m, s+r, s+d, s+g, s+f), the limits form, seeking an output
// by number or from the list, and the lists of output times.

#include <cpgplot.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/Server_Answers.h"
#include "main/Initialise.h"
#include "display/Select_Time_Step.h"
#include "result_files/Extrema.h"
#include "result_files/Module_GZip.h"
#include "tests/result_files/Case_Fixture.h"

namespace {

class Scale_And_Seek : public Case_Fixture {
 protected:
  void SetUp() override {
    Case_Fixture::SetUp();
    server_answers::START();
    reads_ = server_answers::POP_UP_READS();
  }
  void TearDown() override {
    EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u) << "a pop-up expected was not shown";
    EXPECT_EQ(server_answers::UNANSWERED_READS(), 0) << "a pop-up came unexpected";
    Case_Fixture::TearDown();
  }
  int reads() const { return server_answers::POP_UP_READS() - reads_; }
  int reads_ = 0;
  void open_three(int outputs = 8, int extrema_mode = 1) {
    write_case(Encoding::Single, {3, 1, 2, 1e-4},
               {ramp_outputs(outputs, 6), ramp_outputs(outputs, 6), ramp_outputs(outputs, 6)});
    Result_Set.Extrema_Mode = extrema_mode;
    ASSERT_TRUE(open(1));
    for (int i = 1; i <= 3; ++i) {
      Result_Set.Current_Min(i) = Result_Set.Computed_Min(i);
      Result_Set.Current_Max(i) = Result_Set.Computed_Max(i);
    }
    ASSERT_TRUE(move(1));
  }
  void extrema(int code) {
    Command_State.Command_Code = code;
    EXTREMA();
    EXPECT_EQ(Command_State.Command_Code, 23);
  }
  int output_shown(int i) const { return static_cast<int>(shown(i, 1)) / 100; }
};

TEST_F(Scale_And_Seek, TypedLimits) {
  open_three();
  Result_Set.Current_Min(2) = -1.25f;
  Result_Set.Current_Max(2) = 3.5f;
  server_answers::ACT(pop_up_answers::SELECTION({false, true, true}));
  server_answers::ACT(pop_up_answers::TWO_VALUES("2.5", "9"));
  extrema(1);
  EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u) << "the list, then the form";
  for (int i : {2, 3}) {
    EXPECT_EQ(Result_Set.Current_Min(i), 2.5f);
    EXPECT_EQ(Result_Set.Current_Max(i), 9.0f);
  }
  EXPECT_EQ(Result_Set.Current_Min(1), 100.0f);  // file 1 not chosen
  server_answers::ACT(pop_up_answers::SELECTION({true, false, false}));
  server_answers::ACT(pop_up_answers::TWO_VALUES("5.0", "10.0"));
  extrema(2);  // median and range
  EXPECT_EQ(Result_Set.Current_Min(1), 0.0f);
  EXPECT_EQ(Result_Set.Current_Max(1), 10.0f);
}

TEST_F(Scale_And_Seek, LimitsAcceptedAsShown) {
  struct Row {
    float minimum, maximum, shown_minimum, shown_maximum;
  } rows[] = {{1.23456789f, 2.0f, 1.234568f, 2.0f},
              {1.0e-3f / 3.0f, 98765.4321f, 3.3333336e-4f, 98765.43f},
              {-7.0f, 12345678.9f, -7.0f, 1.2345679e7f}};
  open_three();
  for (const auto& row : rows) {
    Result_Set.Current_Min(1) = row.minimum;
    Result_Set.Current_Max(1) = row.maximum;
    server_answers::ACT(pop_up_answers::SELECTION({true, false, false}));
    server_answers::ACT(pop_up_answers::CLICK(2.5f, 0.4f, 5.0f, 2.25f));
    extrema(1);  // OK without typing
    EXPECT_EQ(Result_Set.Current_Min(1), row.shown_minimum) << row.minimum;
    EXPECT_EQ(Result_Set.Current_Max(1), row.shown_maximum) << row.maximum;
  }
  // A text that is no number keeps the value; nothing chosen changes nothing.
  server_answers::ACT(pop_up_answers::SELECTION({true, false, false}));
  server_answers::ACT(pop_up_answers::TWO_VALUES("abc", ""));
  extrema(1);
  EXPECT_EQ(Result_Set.Current_Min(1), -7.0f);
  EXPECT_EQ(Result_Set.Current_Min(1), -7.0f);
}

// A stepwise scale depends on the limits of result 1, so the limit commands reload it on
// the selected device; other scales stay as installed.
TEST_F(Scale_And_Seek, LimitsReloadAStepwiseScale) {
  open_three();
  DEFAULT_SETTINGS();
  Display_Settings.Colour_Scale_Number = 2;  // black to white
  const int device = cpgopen("/NULL");
  ASSERT_GT(device, 0);
  Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = device;  // the pop-ups come back to it
  int lowest = 0, highest = 0;
  cpgqcir(&lowest, &highest);
  // The device keeps 8 bits per share.
  auto expect_colour = [](int index, float red, float green, float blue) {
    float r, g, b;
    cpgqcr(index, &r, &g, &b);
    EXPECT_NEAR(r, red, 0.5f / 255);
    EXPECT_NEAR(g, green, 0.5f / 255);
    EXPECT_NEAR(b, blue, 0.5f / 255);
  };
  for (bool stepwise : {false, true}) {
    SCOPED_TRACE(stepwise ? "stepwise" : "smooth");
    Display_Settings.Stepwise_Colour_Scale = stepwise;
    cpgscr(highest, 0.2f, 0.6f, 0.4f);  // a colour no table here gives
    server_answers::ACT(pop_up_answers::SELECTION({false, false, false}));
    extrema(1);
    if (stepwise) expect_colour(highest, 1.0f, 1.0f, 1.0f);
    else expect_colour(highest, 0.2f, 0.6f, 0.4f);
  }
  EXPECT_EQ(reads(), 2) << "one pick on OK in each list";
  cpgclos();
}

TEST_F(Scale_And_Seek, OneFileAsksNoChoice) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(8, 6)});
  Result_Set.Extrema_Mode = 2;
  ASSERT_TRUE(open(1));
  for (int k = 0; k < 5; ++k) ASSERT_TRUE(move(1));
  clear_console();
  extrema(5);  // s+f: the whole file again, from output 6 round to 5
  EXPECT_EQ(reads(), 0);
  EXPECT_EQ(console(), "\n Case_f1.zlt: using global min. and max. for scale\n\n");
  EXPECT_EQ(Result_Set.Current_Min(1), 100.0f);
  EXPECT_EQ(Result_Set.Current_Max(1), 805.0f);
  ASSERT_TRUE(move(1));
  EXPECT_EQ(output_shown(1), 6);
}

TEST_F(Scale_And_Seek, LocalLimits) {
  open_three();
  struct Row {
    float value, minimum, maximum;
  } rows[] = {{0.0f, -5.0e-21f, 5.0e-21f}, {3.0f, 3.0f, 3.0f}, {1.0e-41f, -5.0e-21f, 5.0e-21f}};
  for (const auto& row : rows) {
    Display_Field.Array_to_be_displayed.FILL(row.value);
    Display_Field.Array_to_be_displayed(1, 1, 1) = 1.0e6f;  // outside the zoom window
    Display_Field.Zoom_X_From = 2;
    clear_console();
    server_answers::ACT(pop_up_answers::SELECTION({true, false, true}));
    extrema(3);
    EXPECT_EQ(console(), "\n Case_f1.zlt: using local min. and max. for scale\n"
                         " Case_f3.zlt: using local min. and max. for scale\n\n");
    EXPECT_EQ(Result_Set.Current_Min(1), row.minimum);
    EXPECT_EQ(Result_Set.Current_Max(3), row.maximum);
  }
}

TEST_F(Scale_And_Seek, GlobalLimits) {
  open_three(8, 2);  // limits of the first output only, as with -f
  EXPECT_EQ(Result_Set.Computed_Max(2), 105.0f);
  server_answers::ACT(pop_up_answers::SELECTION({false, true, false}));
  extrema(4);  // reads file 2 again over every output
  EXPECT_EQ(Result_Set.Extrema_Mode, 1);
  EXPECT_EQ(Result_Set.Current_Max(2), 805.0f);
  EXPECT_EQ(Result_Set.Current_Max(1), 105.0f);
  EXPECT_EQ(Result_Set.Time_Step_Number(2), 1);
  std::filesystem::resize_file(result_path(1), 0);  // a second s+g reads nothing
  server_answers::ACT(pop_up_answers::SELECTION({true, false, false}));
  extrema(4);
  EXPECT_EQ(Result_Set.Current_Max(1), 105.0f);
  // Vector components chosen: both intensities are to be derived again.
  Vector_Settings.Vector_Mode = 1;
  server_answers::ACT(pop_up_answers::SELECTION({false, false, true}));
  extrema(4);
  EXPECT_EQ(Vector_Settings.Vector_Min_Intensity, 3.4028235e38f);
  EXPECT_EQ(Vector_Settings.Vector_Max_Intensity, -3.4028235e38f);
}

TEST_F(Scale_And_Seek, SeekNumberForChosenFiles) {
  open_three(12);
  server_answers::TYPE("7");
  ASSERT_TRUE(move(10));
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(output_shown(i), 7);
  server_answers::ACT(pop_up_answers::SELECTION({false, true, true}));
  server_answers::TYPE("3");
  ASSERT_TRUE(move(13));
  EXPECT_EQ(output_shown(1), 7);
  EXPECT_EQ(output_shown(2), 3);
  EXPECT_EQ(output_shown(3), 3);
  EXPECT_EQ(Command_State.Time_Step_Command, 13);
  server_answers::ACT(pop_up_answers::SELECTION({false, false, false}));  // nobody chosen: no dialogue
  ASSERT_TRUE(move(13));
  EXPECT_EQ(output_shown(2), 3);
  EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u);
}

TEST_F(Scale_And_Seek, SeekFromTheList) {
  open_three(5);
  ASSERT_TRUE(move(1));
  ASSERT_TRUE(move(1));  // at output 3
  server_answers::ACT(pop_up_answers::SELECTION({false, true, true}));
  server_answers::ACT(pop_up_answers::SELECTION({false, false, false, true, false}, false, true));
  ASSERT_TRUE(move(15));
  EXPECT_EQ(output_shown(1), 3);
  EXPECT_EQ(output_shown(2), 4);
  EXPECT_EQ(output_shown(3), 4);
  EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u) << "the solutions, then the outputs";
  EXPECT_EQ(Command_State.Time_Step_Command, 15);
}

TEST_F(Scale_And_Seek, ListsOfOutputTimes) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(5, 6), ramp_outputs(3, 6), ramp_outputs(12, 6)});
  ASSERT_TRUE(open(1));
  ASSERT_TRUE(move(1));
  ASSERT_TRUE(move(1));
  clear_console();
  server_answers::ACT(pop_up_answers::SELECTION({true, false, true}));
  ASSERT_TRUE(move(14));
  EXPECT_EQ(console(),
            "\n Output time(s) for Case_f1.zlt:\n 1: 10.000 s\n 2: 20.000 s\n 3: 30.000 s\n 4: 40.000 s\n"
            " 5: 50.000 s\n\n Output time(s) for Case_f3.zlt:\n  1: 10.000 s\n  2: 20.000 s\n  3: 30.000 s\n"
            "  4: 40.000 s\n  5: 50.000 s\n  6: 60.000 s\n  7: 70.000 s\n  8: 80.000 s\n  9: 90.000 s\n"
            " 10: 100.00 s\n 11: 110.00 s\n 12: 120.00 s\n");
  // No file moved, and each stands where it stood.
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 2);
  EXPECT_EQ(Result_Set.Time_Step_Number(3), 2);
  ASSERT_TRUE(move(1));
  EXPECT_EQ(output_shown(1), 3);
  EXPECT_EQ(output_shown(3), 3);
}

TEST_F(Scale_And_Seek, TimeTexts) {
  std::vector<sample::Output> outputs;
  for (double t : {0.125, 1.5, 12.5, 125.0, 1250.0, 12345.6, 0.05, 250000.0, 0.0})
    outputs.push_back({t, ramp(1, 6)});
  write_case(Encoding::Double, {3, 1, 2, 1e-4}, {outputs});
  ASSERT_TRUE(open(2));
  ASSERT_TRUE(move(1));
  clear_console();
  SELECT_TIME_STEP(11, std::nullopt, 1, true, true);
  EXPECT_EQ(console(),
            "\n Output time(s) for Case_f1.zlt:\n  1: 0.12500 s\n  2: 1.5000 s\n  3: 12.500 s\n  4: 125.00 s\n"
            "  5: 1250.0 s\n  6: 12346. s\n  7: 0.50000E-01 s\n  8: 0.25000E+06 s\n  9: 0.0000 s\n"
            " 10:  No output available\n 11:  No output available\n");
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 1);
  server_answers::ACT(pop_up_answers::SELECTION({true, true, true}, true));  // "OK" at once
  const auto picked = SELECT_TIME_STEP(3, std::vector<float>{1, 2, 3});
  EXPECT_EQ(picked, (std::vector<bool>{true, true, true}));  // a multiple choice starts all selected
}

TEST_F(Scale_And_Seek, SeekBeyondTheOutputsOfACompressedCase) {
  const std::string plain = dir_ / "plain";
  sample::WRITE_GEOMETRY(plain, Encoding::Single, {3, 1, 2, 1e-4});
  COMPRESS_FILE(plain, geometry_path());
  sample::WRITE_RESULTS(plain, Encoding::Single, ramp_outputs(5, 6));
  COMPRESS_FILE(plain, result_path(1));
  std::filesystem::remove(plain);
  files_ = 1;
  ASSERT_TRUE(open(1, true));
  ASSERT_TRUE(move(1));
  ASSERT_TRUE(move(1));
  server_answers::TYPE("7");
  ASSERT_TRUE(move(10));  // beyond the 5 outputs known: refused, nothing moves
  EXPECT_EQ(output_shown(1), 2);
  server_answers::TYPE("5");
  ASSERT_TRUE(move(10));
  EXPECT_EQ(output_shown(1), 5);
}

TEST_F(Scale_And_Seek, ListOfFileOneMovesNothing) {
  open_three(4);
  Result_Set.Selected_Solutions.FILL(false);
  clear_console();
  ASSERT_TRUE(move(11));
  EXPECT_EQ(console(), "\n Output time(s) for Case_f1.zlt:\n 1: 10.000 s\n 2: 20.000 s\n 3: 30.000 s\n 4: 40.000 s\n");
  for (int i = 1; i <= 3; ++i) {
    EXPECT_TRUE(Result_Set.Selected_Solutions(i));
    EXPECT_EQ(Result_Set.Time_Step_Number(i), 1);
  }
  EXPECT_EQ(Command_State.Time_Step_Command, 11);
}

TEST_F(Scale_And_Seek, TimesOfAGrowingFile) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(5, 6)});
  ASSERT_TRUE(open(1));
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(move(1));
  sample::WRITE_RESULTS(result_path(1), Encoding::Single, ramp_outputs(7, 6));
  clear_console();
  SELECT_TIME_STEP(5, std::nullopt, 1, true, true);
  EXPECT_EQ(console(), "\n Output time(s) for Case_f1.zlt:\n 1: 10.000 s\n 2: 20.000 s\n 3: 30.000 s\n"
                       " 4: 40.000 s\n 5: 50.000 s\n");
  EXPECT_EQ(Result_Set.Total_Time_Steps(1), 7);
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 3);
  ASSERT_TRUE(move(1));
  EXPECT_EQ(output_shown(1), 4);
}

TEST_F(Scale_And_Seek, ListNumbersAreRightAligned) {
  write_case(Encoding::Single_Big_Endian, {3, 1, 2, 1e-4}, {ramp_outputs(100, 6)});
  ASSERT_TRUE(open(4));
  ASSERT_TRUE(move(1));
  clear_console();
  SELECT_TIME_STEP(100, std::nullopt, 1, true, true);
  const std::string text = console();
  EXPECT_NE(text.find("\n   1: 10.000 s\n"), std::string::npos);
  EXPECT_NE(text.find("\n  99: 990.00 s\n"), std::string::npos);
  EXPECT_NE(text.find("\n 100: 1000.0 s\n"), std::string::npos);
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 1);  // a record-number file keeps its output
}

}  // namespace
