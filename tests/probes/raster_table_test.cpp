// Raster and full tables of the displayed field: their shape, the row order, the number
// layout byte for byte, names and console lines, and files that cannot be written.

#include <gtest/gtest.h>

#include <sys/stat.h>  // chmod

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "records/Command_Codes.h"
#include "probes/Write_ASCII_Output.h"
#include "tests/probes/Field_Case.h"

namespace {

class Raster_Tables : public Field_Case {
 protected:
  // Cell (x, y) of result k holds k x 10000 + 100 x + y, five digits that name the cell.
  static float cell(int k, int x, int y) { return static_cast<float>(k * 10000 + 100 * x + y); }
  void make(int n, int nx, int ny) { make_field(n, nx, ny, cell); }
  std::string table(int k, const std::string& suffix = "_Raster") const {
    return read_bytes(dir_ / ("Sim_" + std::to_string(k) + "_dat_00012500" + suffix + ".txt"));
  }
  static void write(std::int32_t code, std::int32_t spacing) {
    START_OUTPUT_SERIES();
    Command_State.Command_Code = code;
    Raster_Overlay.Raster_Spacing = spacing;
    WRITE_ASCII_OUTPUT();
  }
  // Checks the table's shape and that line j, field i names the cell of the window's
  // column 1 + i k and row 1 + j k.
  static void expect_table(const std::string& text, int k, int x_from, int y_from, int lines, int fields, int result) {
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(text.back(), '\n');
    const auto rows = lines_of(text);
    ASSERT_EQ(static_cast<int>(rows.size()), lines);
    for (int j = 0; j < lines; ++j) {
      ASSERT_EQ(static_cast<int>(rows[j].size()), 15 * fields) << j;
      for (int i = 0; i < fields; ++i) {
        const double value = std::strtod(rows[j].substr(15 * i, 15).c_str(), nullptr);
        const int x = x_from + i * k, y = y_from + j * k;
        ASSERT_EQ(value, cell(result, x, y)) << "line " << j << " field " << i;
      }
    }
  }
};

TEST_F(Raster_Tables, ShapeAndRowOrder) {
  struct Case {
    int nx, ny, x_from, y_from, k, lines, fields;
  } cases[] = {
      {100, 50, 1, 1, 1, 50, 100},  // every cell
      {100, 50, 1, 1, 3, 17, 34},   // rows 1, 4, ..., 49 of columns 1, 4, ..., 100
      {10, 10, 1, 1, 4, 3, 3},      // columns and rows 1, 5, 9
      {20, 30, 6, 11, 4, 3, 3},     // a zoom window 10 x 10 inside the field
  };
  for (const Case& c : cases) {
    make(1, c.nx, c.ny);
    zoom(c.x_from, c.x_from + (c.nx == 20 ? 9 : c.nx - 1), c.y_from, c.y_from + (c.nx == 20 ? 9 : c.ny - 1));
    write(Command::Raster_Outputs, c.k);
    expect_table(table(1), c.k, c.x_from, c.y_from, c.lines, c.fields, 1);
  }
}

TEST_F(Raster_Tables, NumbersByteForByte) {
  make_field(1, 2, 2, [](int, int x, int y) {
    const float v[2][2] = {{1.5f, -0.001234565f}, {0.0f, 3.0e38f}};
    return v[y - 1][x - 1];
  });
  write(Command::Ascii_Outputs, 0);
  EXPECT_EQ(table(1, ""),
            "    0.15000E+01   -0.12346E-02\n"
            "    0.00000E+00    0.30000E+39\n");
}

TEST_F(Raster_Tables, OneFilePerResultWithConsoleLines) {
  make(2, 4, 3);
  write(Command::Ascii_Output, 0);
  const std::string name1 = dir_ / "Sim_1_dat_00012500.txt", name2 = dir_ / "Sim_2_dat_00012500.txt";
  EXPECT_EQ(console(), " File: " + name1 + " created\n\n File: " + name2 + " created\n\n");
  expect_table(table(2, ""), 1, 1, 1, 3, 4, 2);
  clear_console();
  // In a batch of every cell the reports follow one another without empty lines.
  write(Command::Ascii_Outputs, 0);
  EXPECT_EQ(console(), " File: " + name1 + " created\n File: " + name2 + " created\n");
}

TEST_F(Raster_Tables, RasterSwitchesTheOverlayOnEvenWhenNothingIsWritten) {
  make(1, 10, 10);
  zoom(2, 9, 3, 8);
  write(Command::Raster_Outputs, 0);
  EXPECT_TRUE(Raster_Overlay.Display_Raster);
  EXPECT_EQ(Raster_Overlay.Raster_X_From, 2);
  EXPECT_EQ(Raster_Overlay.Raster_X_To, 9);
  EXPECT_EQ(Raster_Overlay.Raster_Y_From, 3);
  EXPECT_EQ(Raster_Overlay.Raster_Y_To, 8);
  EXPECT_EQ(dir_.listing(), "");
  EXPECT_EQ(console(), "");
}

TEST_F(Raster_Tables, CancelledNameEndsTheCommand) {
  make(3, 4, 3);
  Output_Settings.Default_Naming = false;
  const std::string first = dir_ / "first.txt";
  ::setenv("ZELTRA_TEST_SAVE_NAMES", (first + ";").c_str(), 1);
  write(Command::Ascii_Output, 0);
  ::unsetenv("ZELTRA_TEST_SAVE_NAMES");
  EXPECT_EQ(dir_.listing(), "first.txt");
  EXPECT_NE(console().find(" File: " + first + " created\n\n"), std::string::npos);
  EXPECT_EQ(console().find("Sim_3"), std::string::npos) << "no dialog after the cancelled one";
}

// A regular file where the folder should be: reported with name and reason, nothing said
// to be created, the next result still written.
TEST_F(Raster_Tables, UnwritableFileIsReportedAndTheNextResultGoesOn) {
  make(2, 3, 2);
  Result_Set.Name_Solution(1) = dir_ / "blocker/Sim_1.dat";
  write_bytes(dir_ / "blocker", "x");
  write(Command::Ascii_Outputs, 0);
  const std::string bad = dir_ / "blocker/Sim_1_dat_00012500.txt";
  EXPECT_EQ(console(), "\n Unable to write to file: " + bad + "\n (Not a directory)\n\n File: " +
                           (dir_ / "Sim_2_dat_00012500.txt") + " created\n");
  EXPECT_EQ(dir_.listing(), "Sim_2_dat_00012500.txt blocker");
}

// A write that fails part way leaves the old table as it was and no working file.
TEST_F(Raster_Tables, FailedWriteKeepsTheOldFile) {
  make(1, 300, 300);  // more than one buffer of text
  const std::string name = dir_ / "Sim_1_dat_00012500.txt";
  write_bytes(name, "old table\n");
  for (long n = 1; n <= 2; ++n) {
    clear_console();
    IO_FAULT_ARM(n, 1, Io_Kind::Write);
    write(Command::Ascii_Outputs, 0);
    IO_FAULT_ARM(0);
    EXPECT_EQ(console(), "\n Unable to write to file: " + name + "\n (Input/output error)\n\n") << n;
    EXPECT_EQ(read_bytes(name), "old table\n");
    EXPECT_EQ(dir_.listing(), "Sim_1_dat_00012500.txt");
  }
  clear_console();
  write(Command::Ascii_Outputs, 0);
  EXPECT_EQ(lines_of(read_bytes(name)).size(), 300u);
}

}  // namespace
