// The raster spacing dialog, answered through a real kornd: its preset, the answers it
// keeps and those it refuses, and code 84's question before the batch.

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "records/Command_Codes.h"
#include "probes/Write_ASCII_Output.h"
#include "tests/Server_Answers.h"
#include "tests/probes/Field_Case.h"

namespace {

class Raster_Spacing : public Field_Case {};

TEST_F(Raster_Spacing, PresetInMicrometres) {
  struct Case {
    int nx, ny;
    float grid_cm;
    int stored;
    const char* preset;
  } cases[] = {
      {96, 200, 1.0e-4f, -1, "  10.0              "},  // m = 95: 10 cells
      {10, 10, 1.0e-4f, -1, "  2.00              "},   // m = 9: at least 2 cells
      {10, 10, 2.5e-5f, 4, "  1.00              "},    // a stored spacing, once
      {1000, 1000, 1.0e-4f, -1, "  105.              "},
  };
  for (const Case& c : cases) {
    make_field(1, c.nx, c.ny, [](int, int, int) { return 0.0f; });
    Result_Geometry.Grid_Spacing = c.grid_cm;
    Raster_Overlay.Raster_Spacing = c.stored;
    EXPECT_EQ(RASTER_SPACING_PRESET(), c.preset) << c.nx;
    EXPECT_EQ(Raster_Overlay.Raster_Spacing, c.stored) << "the preset alone changes nothing";
  }
}

TEST_F(Raster_Spacing, AnswersKeptAndRefused) {
  struct Case {
    int stored_before;
    const char* answer;
    int stored_after;
  } cases[] = {
      {-1, "4", 4},       {-1, "4.49", 4},   {-1, "4.5", 5},   {-1, "9", 9},  // m = 9
      {5, "10", -1},      {-1, "0.4", 0},    {-1, "-3", -3},   {5, "abc", -1},
      {-1, "1e30", -1},   {-1, "3.4e38", -1}, {0, "1e39", 0},  {-1, "nan", -1},
      {-1, "inf", -1},    {-1, "-1e30", -1},
      {-1, "", 2},        {5, "", 5},  // Return takes the suggestion the dialog shows
  };
  for (const Case& c : cases) {
    make_field(1, 10, 10, [](int, int, int) { return 0.0f; });
    Raster_Overlay.Raster_Spacing = c.stored_before;
    server_answers::TYPE(c.answer);
    INPUT_RASTER_SPACING();
    EXPECT_EQ(Raster_Overlay.Raster_Spacing, c.stored_after) << c.answer;
  }
  EXPECT_EQ(server_answers::PROMPTS().back(), "Spacing (\xC2\xB5m):");
}

// Code 83 asks and writes with the answer; 0.4 cells' worth writes nothing but the overlay.
TEST_F(Raster_Spacing, RasterOutputAsksFirst) {
  make_field(1, 10, 10, [](int, int x, int y) { return static_cast<float>(100 * x + y); });
  Command_State.Command_Code = Command::Raster_Output;
  server_answers::TYPE("4");
  WRITE_ASCII_OUTPUT();
  EXPECT_EQ(lines_of(read_bytes(dir_ / "Sim_1_dat_00012500_Raster.txt")).size(), 3u);
  std::filesystem::remove(dir_ / "Sim_1_dat_00012500_Raster.txt");
  Raster_Overlay.Display_Raster = false;
  server_answers::TYPE("0.4");
  WRITE_ASCII_OUTPUT();
  EXPECT_EQ(dir_.listing(), "");
  EXPECT_TRUE(Raster_Overlay.Display_Raster);
}

// Code 84 right after start-up: a bad answer ends it before the please-wait line.
TEST_F(Raster_Spacing, BatchEndsOnABadAnswer) {
  make_field(1, 10, 10, [](int, int, int) { return 0.0f; });
  Command_State.Command_Code = Command::Raster_Outputs;
  for (const char* answer : {"abc", "0", "500"}) {
    Raster_Overlay.Raster_Spacing = -1;
    server_answers::TYPE(answer);
    WRITE_ASCII_OUTPUTS();
    EXPECT_EQ(console(), "") << answer;
    EXPECT_EQ(dir_.listing(), "") << answer;
  }
}

}  // namespace
