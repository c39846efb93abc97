// Default names of the user's output files and the save-file dialog's part in them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "records/Globals.h"
#include "display/Output_File_Names.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

class Output_Names : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_GLOBALS();
    START_OUTPUT_SERIES();
    auto& r = Result_Set;
    r.Number_Of_Solutions = 1;
    r.Name_Solution.ALLOCATE({Bounds{1, 1}});
    r.Time.ALLOCATE({Bounds{1, 1}});
    r.Time_Step_Number.ALLOCATE({Bounds{1, 1}});
    set_file("runs/T1_conc.zlt", 12.5f, 7);
    SET_CONSOLE_STREAM(&console_);
  }
  void TearDown() override {
    SET_CONSOLE_STREAM(nullptr);
    unsetenv("ZELTRA_TEST_SAVE_NAMES");
    RESET_GLOBALS();
  }
  static void set_file(const std::string& name, float time, int output) {
    Result_Set.Name_Solution(1) = name;
    Result_Set.Time(1) = time;
    Result_Set.Time_Step_Number(1) = output;
  }
  static std::string named(std::string_view suffix, std::string_view extension, bool batch) {
    SET_DEFAULT_OUTPUT_FILE(1, suffix, extension, batch);
    return Output_Settings.Default_Output_File_Name;
  }
  static void touch(const std::string& path) { std::ofstream(path) << "x"; }

  std::ostringstream console_;
};

TEST_F(Output_Names, NamesByTimeOrOutputNumber) {
  Scratch_Folder dir;
  const std::string base = dir / "T1_conc";
  set_file(base + ".zlt", 12.5f, 7);
  struct Row {
    bool numbering, batch;
    std::string expected;
  } rows[] = {
      {false, false, base + "_00012500_Raster.txt"},
      {false, true, base + "_00012500_Raster.txt"},
      {true, true, base + "_007_Raster_01.txt"},
      {true, false, base + "_Raster_01.txt"},
  };
  for (const auto& row : rows) {
    START_OUTPUT_SERIES();
    Output_Settings.Numbering_Of_Outputs = row.numbering;
    EXPECT_EQ(named("_Raster", "txt", row.batch), row.expected) << row.numbering << row.batch;
  }
  EXPECT_EQ(console_.str(), "");
}

TEST_F(Output_Names, MillisecondsAsSinglePrecisionGivesThem) {
  struct Row {
    float time;
    std::string field;
  } rows[] = {
      {0.0015f, "_00000002"}, {0.0025f, "_00000003"}, {0.0f, "_00000000"},
      {9999.999f, "_09999999"},
      {100000.0f, "_100000000"},      // more digits instead of asterisks
      {123456.7f, "_123456704"},      // the single-precision product
      {-0.0125f, "_-00000013"},       // halves away from zero, the sign kept
  };
  for (const auto& row : rows) {
    set_file("runs/T1_conc.zlt", row.time, 1);
    EXPECT_EQ(named(" ", "gif", false), "runs/T1_conc" + row.field + ".gif") << row.time;
  }
}

TEST_F(Output_Names, OutputNumbersWiderThanThreeDigits) {
  Scratch_Folder dir;
  Output_Settings.Numbering_Of_Outputs = true;
  struct Row {
    int output;
    std::string field;
  } rows[] = {{12, "_012"}, {999, "_999"}, {1000, "_1000"}, {-3, "_-003"}};
  for (const auto& row : rows) {
    set_file(dir / "T1_conc.zlt", 1.0f, row.output);
    EXPECT_EQ(named(" ", "txt", true), dir / ("T1_conc" + row.field + "_01.txt")) << row.output;
  }
}

TEST_F(Output_Names, NumberingTakesTheFirstFreeCounter) {
  Scratch_Folder dir;
  Output_Settings.Numbering_Of_Outputs = true;
  set_file(dir / "T1_conc.zlt", 1.0f, 12);
  touch(dir / "T1_conc_012_Raster_01.txt");
  EXPECT_EQ(named("_Raster", "txt", true), dir / "T1_conc_012_Raster_02.txt");
}

TEST_F(Output_Names, BaseNameActsOnTheFilePart) {
  struct Row {
    std::string result, base;
  } rows[] = {
      {"a.b/case.zlt", "a.b/case"},
      {"a.b/case", "a.b/case"},          // the folder's "." is no extension: kept
      {"runs/T1_conc.dat", "runs/T1_conc_dat"},
      {"runs\\T1_conc.zlt", "runs\\T1_conc"},
      {".zlt", "_zlt"},                  // ".zlt" at the first character: the last-"." rule
      {"runs/.zlt", "runs/_zlt"},
      {"case", "case"},                  // neither ".zlt" nor ".": kept
      {"x.zlt.gz", "x"},
  };
  for (const auto& row : rows) EXPECT_EQ(OUTPUT_BASE_NAME(row.result), row.base) << row.result;
}

TEST_F(Output_Names, ASeriesNeverWritesOneNameTwice) {
  Scratch_Folder dir;
  set_file(dir / "T1_conc.zlt", 12.5f, 1);
  const std::string first = named(" ", "gif", true);
  EXPECT_EQ(first, dir / "T1_conc_00012500.gif");
  touch(first);
  Result_Set.Time(1) = 12.5f;  // a second output at the same time
  const std::string second = named(" ", "gif", true);
  EXPECT_EQ(second, dir / "T1_conc_00012500_01.gif");
  EXPECT_EQ(console_.str(), "\n Warning: '" + first + "' was written before in this series: writing '" + second +
                                "'\n\n");
  touch(second);
  EXPECT_EQ(named(" ", "gif", true), dir / "T1_conc_00012500_02.gif");

  // A new series replaces the files of the one before.
  START_OUTPUT_SERIES();
  EXPECT_EQ(named(" ", "gif", true), first);
  // Single outputs are the user's to replace.
  EXPECT_EQ(named(" ", "gif", false), first);
  EXPECT_EQ(named(" ", "gif", false), first);
}

TEST_F(Output_Names, DefaultNamingSkipsTheDialog) {
  setenv("ZELTRA_TEST_SAVE_NAMES", "/tmp/other.gif", 1);
  Output_Settings.Default_Naming = true;
  Output_Settings.Default_Output_File_Name = "runs/T1_conc_00012500.gif";
  INPUT_FILE_NAME("Image output");
  EXPECT_EQ(Output_Settings.Output_File_Name, "runs/T1_conc_00012500.gif");
  EXPECT_EQ(console_.str(), "");  // the scripted dialog logs every question
  EXPECT_STREQ(std::getenv("ZELTRA_TEST_SAVE_NAMES"), "/tmp/other.gif");
}

TEST_F(Output_Names, TheDialogAnswerOrACancel) {
  setenv("ZELTRA_TEST_SAVE_NAMES", "/tmp/chosen.gif;Cancel", 1);
  Output_Settings.Default_Output_File_Name = "runs/T1_conc_00012500.gif";
  INPUT_FILE_NAME("Image output   ");
  EXPECT_EQ(Output_Settings.Output_File_Name, "/tmp/chosen.gif");
  EXPECT_NE(console_.str().find("[Image output] [runs/T1_conc_00012500.gif]"), std::string::npos);
  INPUT_FILE_NAME("Image output");
  EXPECT_EQ(Output_Settings.Output_File_Name, "");
}

}  // namespace
