// The time-temperature table: finding it beside the first result file and reading its rows.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "records/Globals.h"
#include "result_files/Time_Temperature.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

class Table : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_GLOBALS();
    auto& r = Result_Set;
    r.Number_Of_Solutions = 1;
    r.Name_Solution.ALLOCATE({Bounds{1, 1}});
    r.Total_Time_Steps.ALLOCATE({Bounds{1, 1}});
    r.Total_Time_Steps(1) = 3;
    Display_Settings.Temperature_Display = 1;
    SET_CONSOLE_STREAM(&console_);
  }
  void TearDown() override {
    SET_CONSOLE_STREAM(nullptr);
    RESET_GLOBALS();
  }
  void write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name) << text; }
  static std::vector<std::pair<float, float>> rows() {
    std::vector<std::pair<float, float>> out;
    const auto& t = Display_Settings.Time_Temperature;
    if (!t.ALLOCATED()) return out;
    for (std::int64_t i = 1; i <= t.EXTENT(0); ++i) out.emplace_back(t(i, 1), t(i, 2));
    return out;
  }
  void read(const std::string& result_file) {
    Result_Set.Name_Solution(1) = dir_ / result_file;
    READ_TIME_TEMPERATURE();
  }

  Scratch_Folder dir_;
  std::ostringstream console_;
};

TEST(Table_Name, BuiltOnTheFilePart) {
  struct Row {
    std::string result, table;
  } rows[] = {
      {"run/Alloy_conc.zlt", "run/Alloy_TabF.txt"},
      {"my_runs/case.zlt", "my_runs/_TabF.txt"},   // the folder's "_" is not the file's
      {"Alloy.conc", "Alloy.TabF"},
      {"a.b/case", "a.b/.TabF"},
      {"run/A_b_c.zlt   ", "run/A_b_TabF.txt"},
      {"x.zlt/Alloy_conc.dat", "x.zlt/Alloy_conc.TabF"},  // ".zlt" of a folder
  };
  for (const auto& row : rows) EXPECT_EQ(TABLE_FILE_NAME(row.result), row.table) << row.result;
}

TEST_F(Table, FoundBesideTheResultFile) {
  write("Alloy_conc.TabF", "1.0 1000.0 x\n");
  read("Alloy_conc.zlt");
  EXPECT_EQ(Display_Settings.Temperature_Display, 0);
  EXPECT_EQ(console_.str(), "\n\n Warning: unable to find file: " + (dir_ / "Alloy_TabF.txt") +
                                "\n Disabling display of 'temperature'\n\n\n");
  EXPECT_FALSE(Display_Settings.Time_Temperature.ALLOCATED());

  write("Alloy_TabF.txt", "1.0 1000.0 x\n");
  console_.str("");
  Display_Settings.Temperature_Display = 2;
  read("Alloy_conc.zlt");
  EXPECT_EQ(rows(), (std::vector<std::pair<float, float>>{{1.0f, 1000.0f}}));
  EXPECT_EQ(Display_Settings.Temperature_Display, 2);
  EXPECT_EQ(console_.str(), "");
}

TEST_F(Table, CompressedResultsFindTheShortName) {
  write("Alloy.TabF", "2.5 900 K\n");
  read("Alloy.conc.gz");
  EXPECT_EQ(rows(), (std::vector<std::pair<float, float>>{{2.5f, 900.0f}}));
}

TEST_F(Table, GrowsByDoublingAndEndsWithTheRowsRead) {
  write("Case_TabF.txt",
        "# time temperature step note\n0 1000 1 a\n1 1010 2 b\n2 1020 3 c\n3 1030 4 d\n4 1040 5 e\n");
  read("Case_f1.zlt");
  EXPECT_EQ(rows(), (std::vector<std::pair<float, float>>{
                        {0, 1000}, {1, 1010}, {2, 1020}, {3, 1030}, {4, 1040}}));

  // Rows added later are read the next time, the capacity kept from the last read.
  std::ofstream(dir_ / "Case_TabF.txt", std::ios::app) << "5 1050 6 f\n6 1060 7 g\n";
  read("Case_f1.zlt");
  EXPECT_EQ(rows().size(), 7u);
  EXPECT_EQ(rows().back(), (std::pair<float, float>{6, 1060}));
}

TEST_F(Table, ReadingEndsAtTheFirstLineThatDoesNotRead) {
  struct Row {
    std::string text;
    std::size_t rows;
  } cases[] = {
      {"1 1000\n2 1010\n", 0},                       // two numbers a line: no row
      {"1 1000 x\n2 warm x\n3 1020 x\n", 1},         // a word for the temperature
      {"1 1000 x\n\n3 1020 x\n", 1},                 // an empty line
      {"1 1000 x\r\n2 1010 y\r\n", 2},               // line ends of another system
      {"1 1000 x\n2 1010 y", 2},                     // no final line end
      {"1 1000 x # note\n2 1010 y\n", 1},            // "#" anywhere skips the line
  };
  for (const auto& c : cases) {
    write("Case_TabF.txt", c.text);
    Display_Settings.Time_Temperature.RELEASE();
    read("Case_f1.zlt");
    EXPECT_EQ(rows().size(), c.rows) << c.text;
  }
  EXPECT_EQ(console_.str(), "");
}

TEST_F(Table, ReallocationKeepsRowsAndMarksNewOnes) {
  Display_Settings.Time_Temperature.RELEASE();
  CTN_REALLOCATE_TIME_TEMPERATURE(2);
  Display_Settings.Time_Temperature(1, 1) = 7.0f;
  Display_Settings.Time_Temperature(2, 2) = 8.0f;
  CTN_REALLOCATE_TIME_TEMPERATURE(3);
  EXPECT_EQ(rows(), (std::vector<std::pair<float, float>>{{7.0f, -666.0f}, {-666.0f, 8.0f}, {-666.0f, -666.0f}}));
  CTN_REALLOCATE_TIME_TEMPERATURE(1);
  EXPECT_EQ(rows(), (std::vector<std::pair<float, float>>{{7.0f, -666.0f}}));
}

}  // namespace
