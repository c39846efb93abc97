// Colour scales: the table made from the settings, the c+... commands with their console
// lines and questions, and the installed colours read back from a GIF page.

#include <cpgplot.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "display/Colour_Scale.h"
#include "tests/Server_Answers.h"
#include "records/Command_Codes.h"
#include "records/Globals.h"
#include "main/Initialise.h"
#include "tests/display/Gif_Page.h"

namespace {

constexpr int Image_Colours = 240;  // indices 16..255 of the GIF device

class Colour_Scales : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_GLOBALS();
    DEFAULT_SETTINGS();
  }
  void TearDown() override {
    RESET_GLOBALS();
  }

  // Result 1 with its colour-scale limits.
  static void limits(float minimum, float maximum) {
    auto& r = Result_Set;
    r.Number_Of_Solutions = 1;
    r.Current_Min.ALLOCATE({Bounds{1, 1}});
    r.Current_Max.ALLOCATE({Bounds{1, 1}});
    r.Current_Min(1) = minimum;
    r.Current_Max(1) = maximum;
  }
  // The isoline list of result 1, largest first.
  static void isolines(const std::vector<float>& values) {
    auto& iso = Isoline_Data;
    iso.Isoline_Number.ALLOCATE({Bounds{1, 1}});
    iso.Isoline_Number(1) = static_cast<std::int32_t>(values.size());
    iso.Isoline_values.ALLOCATE({Bounds{1, 1}, Bounds{1, static_cast<std::int64_t>(values.size())}});
    for (std::size_t j = 0; j < values.size(); ++j) iso.Isoline_values(1, j + 1) = values[j];
  }
  static std::vector<float> levels(const Colour_Table& table) {
    std::vector<float> l;
    for (const auto& p : table.points) l.push_back(p.level);
    return l;
  }
  // Runs one command and returns the console it wrote.
  std::string command(std::int32_t code) {
    Console_Capture console;
    Command_State.Command_Code = code;
    COLOUR_SCALE();
    EXPECT_EQ(Command_State.Command_Code, Command::Replot) << "after code " << code;
    return console.text();
  }
};

void expect_levels(const std::vector<float>& actual, const std::vector<float>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6f) << "point " << i + 1;
}

// ---------------------------------------------------------------- the table of the settings
TEST_F(Colour_Scales, BuiltInTablesWithContrastAndBrightness) {
  struct Row {
    int scale;
    std::size_t points;
    Colour_Point first, last;
  } rows[] = {
      {1, 7, {0.0f, 0.0f, 0.0f, 0.9f}, {1.0f, 1.0f, 1.0f, 0.8f}},
      {2, 2, {0.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 1.0f}},
      {3, 2, {0.0f, 0.75f, 0.75f, 1.0f}, {1.0f, 0.1f, 0.1f, 0.5f}},
      {4, 5, {0.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 1.0f}},
      {5, 9, {-0.5f, 0.0f, 0.0f, 0.0f}, {1.7f, 1.0f, 1.0f, 1.0f}},
      {6, 20, {0.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f, 0.0f}},
      {7, 4, {0.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 1.0f, 0.0f}},
      {8, 10, {0.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 1.0f}},
      {11, 2, {0.0f, 0.25f, 0.0f, 0.25f}, {1.0f, 1.0f, 0.0f, 1.0f}},
  };
  Display_Settings.Contrast = 2.5f;
  Display_Settings.Brightness = 0.25f;
  Display_Settings.Scale_Sign = -1.0f;
  for (const auto& row : rows) {
    Display_Settings.Colour_Scale_Number = row.scale;
    const Colour_Table table = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
    EXPECT_TRUE(table.install) << row.scale;
    ASSERT_EQ(table.points.size(), row.points) << row.scale;
    EXPECT_EQ(table.points.front(), row.first) << row.scale;
    EXPECT_EQ(table.points.back(), row.last) << row.scale;
    EXPECT_EQ(table.contrast, -2.5f) << row.scale;  // the inverse scale is a negative contrast
    EXPECT_EQ(table.brightness, 0.25f) << row.scale;
  }
  Display_Settings.Colour_Scale_Number = 6;  // ten flat bands
  const Colour_Table bands = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
  EXPECT_EQ(bands.points[8], (Colour_Point{0.4f, 0.0f, 0.8f, 0.9f}));
  EXPECT_EQ(bands.points[9], (Colour_Point{0.5f, 0.0f, 0.8f, 0.9f}));
}

TEST_F(Colour_Scales, NumbersWithoutATableInstallNothing) {
  for (int scale : {0, 12, -2, 99}) {
    Display_Settings.Colour_Scale_Number = scale;
    for (bool stepwise : {false, true}) {
      Display_Settings.Stepwise_Colour_Scale = stepwise;
      const Colour_Table table = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
      EXPECT_FALSE(table.install) << scale;
      EXPECT_TRUE(table.points.empty()) << scale;
    }
  }
}

TEST_F(Colour_Scales, ColourCubeHasNoStepsAndNoCutOff) {
  auto& d = Display_Settings;
  d.Colour_Scale_Number = -1;
  d.Stepwise_Colour_Scale = true;
  d.Cut_Off = true;
  d.Scale_Sign = -1.0f;
  const Colour_Table table = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
  ASSERT_EQ(table.points.size(), 216u);
  EXPECT_FALSE(table.cut_off);
  EXPECT_EQ(table.contrast, -1.0f);
  EXPECT_EQ(table.points[0], (Colour_Point{0.0f, 0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(table.points[215], (Colour_Point{1.0f, 1.0f, 1.0f, 1.0f}));
  // red + 6 green + 36 blue: 1 + 6 * 2 + 36 * 3 = 121
  EXPECT_EQ(table.points[121], (Colour_Point{121.0f / 215.0f, 0.2f, 0.4f, 0.6f}));
}

TEST_F(Colour_Scales, StepCountsAreBounded) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Row {
    bool automatic;
    int typed;
    float minimum, maximum;
    int image_colours;
    std::size_t steps;
  } rows[] = {
      {true, 0, 0.0f, 7.9f, Image_Colours, 7},     // the range cut towards zero
      {true, 0, 2.0f, 2.9f, Image_Colours, 10},    // a range below 1
      {true, 0, 5.0f, 1.0f, Image_Colours, 10},    // a negative range
      {true, 0, -1e30f, 1e30f, Image_Colours, 240},  // no more steps than colours
      {true, 0, 0.0f, 1e30f, 16, 16},
      {true, 0, nan, 1.0f, Image_Colours, 10},
      {true, 0, 0.0f, inf, Image_Colours, 10},
      {false, 0, 0.0f, 7.9f, Image_Colours, 10},   // no typed count
      {false, -3, 0.0f, 7.9f, Image_Colours, 10},
      {false, 1, 0.0f, 7.9f, Image_Colours, 1},
      {false, 12, 0.0f, 7.9f, Image_Colours, 12},
      {false, 2147483647, 0.0f, 7.9f, Image_Colours, 240},
  };
  auto& d = Display_Settings;
  d.Colour_Scale_Number = 1;
  d.Stepwise_Colour_Scale = true;
  for (const auto& row : rows) {
    d.Automatic_Steps = row.automatic;
    d.Number_Of_Steps = row.typed;
    limits(row.minimum, row.maximum);
    const Colour_Table table = COLOUR_TABLE_OF_SETTINGS(row.image_colours);
    EXPECT_EQ(table.points.size(), 2 * row.steps)
        << row.automatic << " " << row.typed << " " << row.minimum << ".." << row.maximum;
  }
}

TEST_F(Colour_Scales, StepsTakeTheBaseColourOfTheirUpperEnd) {
  auto& d = Display_Settings;
  d.Stepwise_Colour_Scale = true;
  d.Automatic_Steps = false;
  d.Number_Of_Steps = 4;
  d.Colour_Scale_Number = 2;  // black to white: step k is grey k/4
  Colour_Table table = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
  expect_levels(levels(table), {0.0f, 0.25f, 0.25f, 0.5f, 0.5f, 0.75f, 0.75f, 1.0f});
  for (int k = 1; k <= 4; ++k)
    for (int p : {2 * k - 2, 2 * k - 1}) {
      EXPECT_FLOAT_EQ(table.points[p].red, k / 4.0f) << "step " << k;
      EXPECT_FLOAT_EQ(table.points[p].blue, k / 4.0f) << "step " << k;
    }
  // One step: two points at 0 and 1 with the colour at level 1.
  d.Number_Of_Steps = 1;
  d.Colour_Scale_Number = 1;
  table = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
  EXPECT_EQ(table.points, (std::vector<Colour_Point>{{0.0f, 1.0f, 1.0f, 0.8f}, {1.0f, 1.0f, 1.0f, 0.8f}}));
  // Scale 1 in five steps: step 2 ends at 0.4, between the points at 0.3 and 0.45.
  d.Number_Of_Steps = 5;
  table = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
  const float t = (0.45f - 0.4f) / (0.45f - 0.3f);
  EXPECT_NEAR(table.points[2].red, 0.95f - (0.95f - 0.8f) * t, 1e-6f);
  EXPECT_NEAR(table.points[2].blue, 0.0f - (0.0f - 0.2f) * t, 1e-6f);
}

TEST_F(Colour_Scales, StepwiseTableIgnoresTheInverseSign) {
  auto& d = Display_Settings;
  d.Scale_Sign = -1.0f;
  d.Contrast = 1.5f;
  EXPECT_EQ(COLOUR_TABLE_OF_SETTINGS(Image_Colours).contrast, -1.5f);
  d.Stepwise_Colour_Scale = true;
  EXPECT_EQ(COLOUR_TABLE_OF_SETTINGS(Image_Colours).contrast, 1.5f);
  EXPECT_EQ(d.Scale_Sign, -1.0f);  // it waits for the stepwise scale to be switched off
}

TEST_F(Colour_Scales, RandomColoursRepeatForOneSeed) {
  auto& d = Display_Settings;
  d.Stepwise_Colour_Scale = true;
  d.Random_Steps = true;
  d.Automatic_Steps = false;
  d.Number_Of_Steps = 5;
  const Colour_Table first = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
  const Colour_Table again = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
  EXPECT_EQ(first.points, again.points);
  for (const auto& p : first.points)
    for (float share : {p.red, p.green, p.blue}) {
      EXPECT_GE(share, 0.0f);
      EXPECT_LT(share, 1.0f);
    }
  // Pinned: the generator is ours, so seed 13 gives these colours on every build.
  EXPECT_EQ(first.points[0], (Colour_Point{0.0f, 0.826828122f, 0.142470956f, 0.189834476f}));
  d.Random_Seed = 14;
  EXPECT_NE(COLOUR_TABLE_OF_SETTINGS(Image_Colours).points, first.points);
  // Random colours need the stepwise scale.
  d.Stepwise_Colour_Scale = false;
  d.Random_Seed = 13;
  EXPECT_EQ(COLOUR_TABLE_OF_SETTINGS(Image_Colours).points.size(), 7u);
}

TEST_F(Colour_Scales, UserLevelScaleNine) {
  auto& d = Display_Settings;
  d.Colour_Scale_Number = 9;
  // Without an isoline list: 22 fixed levels.
  std::vector<float> fixed;
  for (int i = 1; i <= 21; ++i) fixed.push_back(static_cast<float>(i / 2) / 11.0f);
  fixed.push_back(0.95f);
  expect_levels(levels(COLOUR_TABLE_OF_SETTINGS(Image_Colours)), fixed);

  // Isolines a > b > c of result 1: 0, c, c, b, b, a, a, 0.95, normalised with its limits.
  limits(0.0f, 10.0f);
  isolines({8.0f, 5.0f, 2.0f});
  const Colour_Table table = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
  expect_levels(levels(table), {0.0f, 0.2f, 0.2f, 0.5f, 0.5f, 0.8f, 0.8f, 0.95f});
  EXPECT_EQ(table.points[1], (Colour_Point{table.points[1].level, 0.0f, 0.0f, 1.0f}));  // colour 2
  EXPECT_EQ(table.points[7], (Colour_Point{0.95f, 1.0f, 0.25f, 0.0f}));                // colour 8

  // Values outside the limits are clamped; more than ten isolines use the first ten.
  isolines({30, 12, 11, 10, 9, 8, 7, 6, 5, 4, -3});
  const std::vector<float> many = levels(COLOUR_TABLE_OF_SETTINGS(Image_Colours));
  expect_levels(many, {0.0f, 0.4f, 0.4f, 0.5f, 0.5f, 0.6f, 0.6f, 0.7f, 0.7f, 0.8f, 0.8f, 0.9f, 0.9f,
                       1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.95f});
}

TEST_F(Colour_Scales, IsolineLevelScaleTen) {
  auto& d = Display_Settings;
  d.Colour_Scale_Number = 10;
  expect_levels(levels(COLOUR_TABLE_OF_SETTINGS(Image_Colours)),
                {0.0f, 0.0f, 0.0f, 0.15f, 0.3f, 0.45f, 0.6f, 0.8f, 1.0f, 1.0f, 1.0f});
  // Twelve isolines: the nine largest (12 .. 4) between 0 and 1.
  limits(0.0f, 12.0f);
  isolines({12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1});
  std::vector<float> expected{0.0f};
  for (int v = 4; v <= 12; ++v) expected.push_back(v / 12.0f);
  expected.push_back(1.0f);
  const Colour_Table table = COLOUR_TABLE_OF_SETTINGS(Image_Colours);
  expect_levels(levels(table), expected);
  EXPECT_EQ(table.points[2], (Colour_Point{table.points[2].level, 0.0f, 0.0f, 0.9f}));  // colour 3
  // Three isolines: five points 0, c, b, a, 1.
  limits(0.0f, 10.0f);
  isolines({8.0f, 5.0f, 2.0f});
  expect_levels(levels(COLOUR_TABLE_OF_SETTINGS(Image_Colours)), {0.0f, 0.2f, 0.5f, 0.8f, 1.0f});
}

TEST_F(Colour_Scales, LevelScalesWithoutIsolinesOfResultOne) {
  // Another result has isolines, so the list exists; result 1 has none. Its levels are the
  // fixed ones, as without any list: the picture does not depend on the other result.
  limits(0.0f, 10.0f);
  Result_Set.Number_Of_Solutions = 2;
  auto& iso = Isoline_Data;
  iso.Isoline_Number.ALLOCATE({Bounds{1, 2}});
  iso.Isoline_Number(1) = 0, iso.Isoline_Number(2) = 2;
  iso.Isoline_values.ALLOCATE({Bounds{1, 2}, Bounds{1, 2}});
  iso.Isoline_values(2, 1) = 8.0f, iso.Isoline_values(2, 2) = 3.0f;
  std::vector<float> fixed_9;
  for (int i = 1; i <= 21; ++i) fixed_9.push_back(static_cast<float>(i / 2) / 11.0f);
  fixed_9.push_back(0.95f);
  Display_Settings.Colour_Scale_Number = 9;
  expect_levels(levels(COLOUR_TABLE_OF_SETTINGS(Image_Colours)), fixed_9);
  Display_Settings.Colour_Scale_Number = 10;
  expect_levels(levels(COLOUR_TABLE_OF_SETTINGS(Image_Colours)),
                {0.0f, 0.0f, 0.0f, 0.15f, 0.3f, 0.45f, 0.6f, 0.8f, 1.0f, 1.0f, 1.0f});
}

TEST_F(Colour_Scales, EqualLimitsGiveNoUndefinedLevel) {
  limits(5.0f, 5.0f);
  isolines({8.0f, 5.0f, 2.0f});
  for (int scale : {9, 10}) {
    Display_Settings.Colour_Scale_Number = scale;
    for (float level : levels(COLOUR_TABLE_OF_SETTINGS(Image_Colours))) {
      EXPECT_FALSE(std::isnan(level)) << "scale " << scale;
      EXPECT_GE(level, 0.0f);
      EXPECT_LE(level, 1.0f);
    }
  }
  Display_Settings.Colour_Scale_Number = 9;
  // 8 above the limit, 5 on it (0/0), 2 below it.
  expect_levels(levels(COLOUR_TABLE_OF_SETTINGS(Image_Colours)), {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.95f});
}

// ---------------------------------------------------------------- commands
TEST_F(Colour_Scales, NextAndPreviousScale) {
  struct Row {
    int from, code, to;
  } rows[] = {
      {11, Command::Next_Colour_Scale, 1},     {1, Command::Next_Colour_Scale, 2},
      {-1, Command::Next_Colour_Scale, 0},     {0, Command::Next_Colour_Scale, 1},
      {1, Command::Previous_Colour_Scale, 11}, {11, Command::Previous_Colour_Scale, 10},
      {-1, Command::Previous_Colour_Scale, 11},
  };
  for (const auto& row : rows) {
    Display_Settings.Colour_Scale_Number = row.from;
    EXPECT_EQ(command(row.code), "");
    EXPECT_EQ(Display_Settings.Colour_Scale_Number, row.to) << row.from << " code " << row.code;
  }
}

TEST_F(Colour_Scales, ChosenScaleMustExist) {
  struct Row {
    int choice, scale;
    std::string console;
  } rows[] = {
      {5, 5, ""},
      {11, 11, ""},
      {12, 5, ""},  // no scale: nothing changes and nothing is said
      {0, 5, ""},
      {-1, 5, ""},
  };
  Display_Settings.Colour_Scale_Number = 5;
  for (const auto& row : rows) {
    if (row.scale == 5) Display_Settings.Colour_Scale_Number = 5;
    Command_State.Colour_Scale_Choice = row.choice;
    EXPECT_EQ(command(Command::Select_Colour_Scale), row.console) << row.choice;
    EXPECT_EQ(Display_Settings.Colour_Scale_Number, row.scale) << row.choice;
  }
}

TEST_F(Colour_Scales, TogglesReportTheirNewState) {
  struct Row {
    int code;
    bool* flag;
    std::string on, off;
  } rows[] = {
      {Command::Cut_Off_Colours, &Display_Settings.Cut_Off, "Cutting off of minimum and maximum on",
       "Cutting off of minimum and maximum off"},
      {Command::Stepwise_Colour_Scale, &Display_Settings.Stepwise_Colour_Scale, "'Stepwise' colour scale on",
       "'Stepwise' colour scale off"},
      {Command::Automatic_Steps, &Display_Settings.Automatic_Steps,
       "Automatic number of steps for 'Stepwise' colour scale off",  // starts on
       "Automatic number of steps for 'Stepwise' colour scale on"},
  };
  for (const auto& row : rows) {
    const bool start = *row.flag;
    EXPECT_EQ(command(row.code), "\n " + row.on + "\n\n");
    EXPECT_EQ(*row.flag, !start);
    EXPECT_EQ(command(row.code), "\n " + row.off + "\n\n");
    EXPECT_EQ(*row.flag, start);
  }
}

TEST_F(Colour_Scales, RandomColoursWarnWithoutStepwise) {
  const std::string warning = "\n Warning: 'random' colour scale only active with 'stepwise'!\n\n";
  EXPECT_EQ(command(Command::Random_Colours), "\n 'Random colour scale' on\n\n" + warning);
  EXPECT_EQ(command(Command::Random_Colours), "\n 'Random colour scale' off\n\n");
  Display_Settings.Stepwise_Colour_Scale = true;
  EXPECT_EQ(command(Command::Random_Colours), "\n 'Random colour scale' on\n\n");
  // The seed question warns first, then asks.
  Display_Settings.Stepwise_Colour_Scale = false;
  server_answers::TYPE("21");
  EXPECT_EQ(command(Command::Random_Seed), warning);
  EXPECT_EQ(Display_Settings.Random_Seed, 21);
}

TEST_F(Colour_Scales, NumberOfStepsIsAskedUntilItReads) {
  server_answers::TYPE("many");
  server_answers::TYPE("");
  server_answers::TYPE("2.5");
  server_answers::TYPE(" 12");
  EXPECT_EQ(command(Command::Number_Of_Steps), "");
  EXPECT_EQ(Display_Settings.Number_Of_Steps, 12);
  EXPECT_TRUE(Display_Settings.Stepwise_Colour_Scale);
  EXPECT_FALSE(Display_Settings.Automatic_Steps);
  const std::vector<std::string> prompts = server_answers::PROMPTS();
  ASSERT_GE(prompts.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(prompts.end() - 4, prompts.end()), std::vector<std::string>(4, "Steps:"));
  // The current count stands in the field: Return takes it, a line too long for it keeps it.
  server_answers::TYPE("");
  EXPECT_EQ(command(Command::Number_Of_Steps), "");
  EXPECT_EQ(Display_Settings.Number_Of_Steps, 12);
  server_answers::TYPE(std::string(20, '9'));
  EXPECT_EQ(command(Command::Number_Of_Steps), "");
  EXPECT_EQ(Display_Settings.Number_Of_Steps, 12);
  server_answers::TYPE("7");  // typed over the preset
  EXPECT_EQ(command(Command::Number_Of_Steps), "");
  EXPECT_EQ(Display_Settings.Number_Of_Steps, 7);
}

TEST_F(Colour_Scales, SeedIsAskedUntilItReads) {
  Display_Settings.Stepwise_Colour_Scale = true;
  server_answers::TYPE(std::string(20, '9'));
  EXPECT_EQ(command(Command::Random_Seed), "");  // the field holds 13, and a line too long for it keeps it
  EXPECT_EQ(Display_Settings.Random_Seed, 13);
  server_answers::TYPE("seven");
  server_answers::TYPE("-7");
  command(Command::Random_Seed);
  EXPECT_EQ(Display_Settings.Random_Seed, -7);
  const std::vector<std::string> prompts = server_answers::PROMPTS();
  EXPECT_EQ(std::vector<std::string>(prompts.end() - 2, prompts.end()), std::vector<std::string>(2, "'Seed':"));
}

TEST_F(Colour_Scales, ResetAndInverse) {
  auto& d = Display_Settings;
  d.Contrast = 3.0f;
  d.Brightness = 0.9f;
  command(Command::Reset_Contrast_Brightness);
  EXPECT_EQ(d.Contrast, 1.0f);
  EXPECT_EQ(d.Brightness, 0.5f);
  command(Command::Inverse_Colour_Scale);
  EXPECT_EQ(d.Scale_Sign, -1.0f);
  command(Command::Inverse_Colour_Scale);
  EXPECT_EQ(d.Scale_Sign, 1.0f);
}

TEST_F(Colour_Scales, EveryCommandAsksForAFullRedraw) {
  server_answers::TYPE("5");
  server_answers::TYPE("5");
  Command_State.Colour_Scale_Choice = 3;
  for (int code = Command::Select_Colour_Scale; code <= Command::Random_Seed; ++code) command(code);
}

TEST_F(Colour_Scales, ContrastAndBrightnessFromTheKeyPosition) {
  Scratch_Folder folder;
  Gif_Page page(folder);
  ASSERT_GT(page.device(), 0);
  cpgsvp(0.1f, 0.9f, 0.1f, 0.9f);
  struct Row {
    float x, y, brightness, contrast;
  } rows[] = {
      {100.0f, 25.0f, 0.5f, 5.0f},   // the middle of the window the key was typed in
      {150.0f, 5.0f, 0.75f, 1.0f},
      {-10.0f, 80.0f, 0.0f, 10.0f},  // clamped
      {250.0f, -1.0f, 1.0f, 0.0f},
  };
  for (const auto& row : rows) {
    cpgswin(0.0f, 200.0f, 0.0f, 50.0f);
    Command_State.Cursor_X = row.x;
    Command_State.Cursor_Y = row.y;
    command(Command::Contrast_Brightness);
    EXPECT_FLOAT_EQ(Display_Settings.Brightness, row.brightness) << row.x;
    EXPECT_FLOAT_EQ(Display_Settings.Contrast, row.contrast) << row.y;
  }
}

// ---------------------------------------------------------------- installed colours
// A 10 x 1 ramp 0..9 over the whole page: cell i covers the i-th tenth of the width.
QImage ramp_page(const Scratch_Folder& folder) {
  Gif_Page page(folder);
  EXPECT_GT(page.device(), 0);
  SET_COLOUR_SCALE();
  std::vector<float> values(10);
  for (int i = 0; i < 10; ++i) values[i] = static_cast<float>(i);
  const float tr[6] = {0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
  cpgsvp(0.0f, 1.0f, 0.0f, 1.0f);
  cpgswin(0.5f, 10.5f, 0.5f, 1.5f);
  cpgimag(values.data(), 10, 1, 1, 10, 1, 1, 0.0f, 9.0f, tr);
  return page.CLOSE();
}

unsigned cell_colour(const QImage& image, int cell) {
  return RGB_AT(image, static_cast<int>((cell - 0.5) / 10.0 * image.width()), image.height() / 2);
}

TEST_F(Colour_Scales, StepwiseScalesOfEveryKindOnAGif) {
  // The ramp's cells 1..10 hold 0..9 between the limits 0 and 9: cell c falls in step
  // 1 + (c - 1) * N / 9 of N (cut to a whole number; cell 10 in the last).
  struct Row {
    const char* name;
    int scale, steps, cell;
    unsigned colour;
  } rows[] = {
      // A two-point scale: each step the base colour of its upper end, interpolated.
      {"black to white, first of four", 2, 4, 2, 0x404040},
      {"black to white, second of four", 2, 4, 5, 0x808080},
      {"black to white, last of four", 2, 4, 9, 0xFFFFFF},
      {"light to dark blue, second of four", 3, 4, 5, 0x6C6CBF},
      // More points: a step whose upper end lies on the last segment takes the last colour.
      {"scale 1, step nine of ten", 1, 10, 9, 0xFFFFCC},
      {"scale 1, step eight of ten on a point", 1, 10, 8, 0xFFE62B},
      {"scale 4, step four of five", 4, 5, 8, 0xFFFFFF},
      {"scale 4, step three of five on a point", 4, 5, 6, 0xFFFF4D},
  };
  for (const Row& row : rows) {
    Scratch_Folder folder;
    auto& d = Display_Settings;
    d.Colour_Scale_Number = row.scale;
    d.Stepwise_Colour_Scale = true;
    d.Automatic_Steps = false;
    d.Number_Of_Steps = row.steps;
    const QImage image = ramp_page(folder);
    ASSERT_FALSE(image.isNull());
    const unsigned got = cell_colour(image, row.cell);
    for (int shift : {0, 8, 16})
      EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((row.colour >> shift) & 0xFF), 1)
          << row.name << ": " << std::hex << got << " wanted " << row.colour;
  }
}

TEST_F(Colour_Scales, CutOffColoursOnAGif) {
  struct Row {
    bool cut_off, stepwise;
    unsigned lowest, highest;
  } rows[] = {
      {false, false, 0x0000E6, 0xFFFFCC},  // scale 1 at 0 and at 1
      {true, false, 0x000000, 0xF2F2F2},
      {true, true, 0x000000, 0xF2F2F2},
  };
  for (const auto& row : rows) {
    Scratch_Folder folder;
    Display_Settings.Cut_Off = row.cut_off;
    Display_Settings.Stepwise_Colour_Scale = row.stepwise;
    Display_Settings.Automatic_Steps = false;
    Display_Settings.Number_Of_Steps = 5;
    const QImage image = ramp_page(folder);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(cell_colour(image, 1), row.lowest) << row.cut_off << row.stepwise;
    EXPECT_EQ(cell_colour(image, 10), row.highest) << row.cut_off << row.stepwise;
    for (int cell = 2; cell <= 9; ++cell) {
      EXPECT_NE(cell_colour(image, cell), 0x000000u) << "cell " << cell;
      EXPECT_NE(cell_colour(image, cell), 0xF2F2F2u) << "cell " << cell;
    }
  }
}

TEST_F(Colour_Scales, ScaleWithoutTableKeepsTheInstalledOne) {
  Scratch_Folder folder;
  Gif_Page page(folder);
  ASSERT_GT(page.device(), 0);
  int lowest = 0, highest = 0;
  cpgqcir(&lowest, &highest);
  Display_Settings.Colour_Scale_Number = 2;
  SET_COLOUR_SCALE();
  Display_Settings.Colour_Scale_Number = 0;
  Display_Settings.Stepwise_Colour_Scale = true;
  Display_Settings.Cut_Off = true;
  SET_COLOUR_SCALE();
  float r, g, b;
  cpgqcr(highest, &r, &g, &b);
  EXPECT_EQ(r, 1.0f);  // white of scale 2, not the light grey of the cut-off
  cpgqcr(lowest, &r, &g, &b);
  EXPECT_EQ(b, 0.0f);
}

TEST(Colour_Scale_Without_Device, InstallsNothingAndSaysNothing) {
  RESET_GLOBALS();
  DEFAULT_SETTINGS();
  Console_Capture console;
  SET_COLOUR_SCALE();
  EXPECT_EQ(console.text(), "");
  RESET_GLOBALS();
}

}  // namespace
