// The probes' text tables byte for byte, their names, and the files written from the
// probes' data as codes 110 and 112 write them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "records/Command_Codes.h"
#include "platform/Io_Fault.h"
#include "probes/Front_Tracking.h"
#include "probes/Probe_Output_Names.h"
#include "probes/Probe_Outputs.h"
#include "probes/Probe_Tables.h"
#include "probes/Scan_Point.h"
#include "probes/Virtual_EDX.h"
#include "tests/probes/Field_Case.h"

namespace {

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Probe_Table_Layout, HeadsRowsAndValueFields) {
  const auto line_scan = PROBE_TABLE_HEAD(Line_Scan_Table, {"T1_conc.zlt"});
  ASSERT_EQ(line_scan.size(), 2u);
  EXPECT_EQ(line_scan[0], "#      Distance          T1_conc.zlt");
  EXPECT_EQ(line_scan[1], "# (micrometers)        (field value)");
  const auto front = PROBE_TABLE_HEAD(Front_Tracking_Table, {"T1_conc.zlt"});
  EXPECT_EQ(front[0], "#    Simulation          T1_conc.zlt");
  EXPECT_EQ(front[1], "#      time (s)        (micrometers)");
  EXPECT_EQ(PROBE_TABLE_HEAD(Scan_Point_Table, {"a"})[1], "#      time (s)        (field value)");

  struct Row {
    float abscissa;
    std::vector<float> values;
    const char* text;
  } rows[] = {
      {0.0f, {3.0f}, "     0.0000       3.000000000000    "},
      {12.5f, {0.1f}, "     12.500      0.1000000014901    "},
      {1.0e6f, {-1.0f, 2.5e-3f}, "    0.10000E+07  -1.000000000000      2.4999999441206E-03"},
  };
  for (const Row& r : rows) EXPECT_EQ(PROBE_TABLE_ROW(r.abscissa, r.values), r.text);
}

TEST(Probe_Table_Layout, LabelsKeepTheTailOfLongNames) {
  const std::string name_18 = "abcdefghijklmn.zlt";
  const std::string name_24 = "abcdefghijklmnopqrst.zlt";
  const std::string name_33 = "abcdefghijklmnopqrstuvwxyz123.zlt";
  struct Case {
    const Probe_Table_Kind* kind;
    std::string name;
    std::string column;  // the label as its 21-character column shows it
  } cases[] = {
      {&Line_Scan_Table, name_18, "   " + name_18},
      {&Line_Scan_Table, name_24, name_24.substr(0, 21)},
      {&Line_Scan_Table, name_33, name_33.substr(7, 21)},  // characters 8 to 28
      {&Scan_Point_Table, name_33, name_33.substr(7, 21)},
      {&Front_Tracking_Table, name_33, " " + name_33.substr(13)},  // its last 20
      {&Front_Tracking_Table, name_18, "   " + name_18},
      {&Line_Scan_Table, "short.zlt   ", "            short.zlt"},  // trailing blanks dropped
  };
  for (const Case& c : cases) {
    const std::string head = PROBE_TABLE_HEAD(*c.kind, {c.name})[0];
    EXPECT_EQ(head.substr(15), c.column) << c.name;
  }
}

TEST(Probe_Table_Layout, ThirtyResultsContinueOnASecondLine) {
  std::vector<std::string> names;
  std::vector<float> values;
  for (int i = 1; i <= 30; ++i) {
    names.push_back("R" + std::to_string(i));
    values.push_back(static_cast<float>(i));
  }
  const auto head = PROBE_TABLE_HEAD(Scan_Point_Table, names);
  for (const std::string& line : head) {
    const auto lines = lines_of(line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 15u + 25 * 21);
    EXPECT_EQ(lines[1].size(), 5u * 21);  // without the leading fields
  }
  EXPECT_EQ(lines_of(head[0])[1].substr(0, 21), std::string(18, ' ') + "R26");
  const auto row = lines_of(PROBE_TABLE_ROW(1.0f, values));
  ASSERT_EQ(row.size(), 2u);
  EXPECT_EQ(row[0].size(), 15u + 25 * 21);
  std::string rest;
  for (int v = 26; v <= 30; ++v) rest += "   " + std::to_string(v) + ".00000000000    ";
  EXPECT_EQ(row[1], rest);
}

TEST(Probe_Output_Naming, MillisecondsFieldWidensInsteadOfStars) {
  struct Case {
    float seconds;
    const char* field;
  } cases[] = {{0.0123f, "00000012"}, {0.0f, "00000000"}, {12.5f, "00012500"},
               {99999.0f, "99999000"}, {100000.0f, "100000000"}, {131072.0f, "131072000"}};
  for (const Case& c : cases) EXPECT_EQ(MILLISECONDS_FIELD(c.seconds), c.field) << c.seconds;
}

class Probe_Table_Files : public Field_Case {
 protected:
  // Two results with 5 and 7 outputs; both tables filled over the longer count: value 10 t + i
  // at time t / 10 s.
  void two_results_with_tables() {
    make_field(2, 3, 3, [](int, int, int) { return 0.0f; });
    Result_Set.Total_Time_Steps(1) = 5;
    Result_Set.Total_Time_Steps(2) = 7;
    for (const Probe_Series& s : {SCAN_POINT_SERIES(), FRONT_TRACKING_SERIES()}) {
      GROW_PROBE_SERIES(s);
      for (int t = 1; t <= 7; ++t) {
        s.times(t) = static_cast<float>(t) / 10.0f;
        for (int i = 1; i <= 2; ++i) s.values(t, i) = 10.0f * t + i;
      }
    }
  }
  // The data rows of a written table (its first value of each row).
  std::vector<std::string> rows_of(const std::string& file) {
    auto lines = lines_of(read_file(dir_ / file));
    EXPECT_GE(lines.size(), 2u) << file;
    if (lines.size() >= 2) lines.erase(lines.begin(), lines.begin() + 2);
    return lines;
  }
  void run(std::int32_t code) {
    Command_State.Command_Code = code;
    VIRTUAL_EDX_OUTPUT();
  }
  void TearDown() override {
    Scan_Point_Values.RELEASE(), Scan_Point_Times.RELEASE();
    Front_Tracking_Values.RELEASE(), Front_Tracking_Times.RELEASE(), Front_Tracking_Value_Tracked.RELEASE();
    RELEASE_VIRTUAL_EDX_TABLES();
    Field_Case::TearDown();
  }
};

TEST_F(Probe_Table_Files, FrontTrackingCoversTheLongestFileScanPointFileOne) {
  two_results_with_tables();
  run(Command::Front_Tracking_Text);
  const auto front = rows_of("Sim_1_dat_Front_Tracking.txt");
  ASSERT_EQ(front.size(), 7u);
  EXPECT_EQ(front[6], "    0.70000       71.00000000000       72.00000000000    ");
  run(Command::Scan_Point_Text);
  const auto point = rows_of("Sim_1_dat_Scan_Point.txt");
  ASSERT_EQ(point.size(), 5u);
  EXPECT_EQ(point[0], "    0.10000       11.00000000000       12.00000000000    ");
  EXPECT_EQ(console(), "\n File: " + (dir_ / "Sim_1_dat_Front_Tracking.txt") + " created\n" +
                           "\n File: " + (dir_ / "Sim_1_dat_Scan_Point.txt") + " created\n");
}

TEST_F(Probe_Table_Files, NoRowPastTheTableAfterAFileGrew) {
  two_results_with_tables();
  Result_Set.Total_Time_Steps(1) = 9;  // grown since the probes ran: their tables hold 7
  run(Command::Front_Tracking_Text);
  run(Command::Scan_Point_Text);
  EXPECT_EQ(rows_of("Sim_1_dat_Front_Tracking.txt").size(), 7u);
  EXPECT_EQ(rows_of("Sim_1_dat_Scan_Point.txt").size(), 7u);
}

TEST_F(Probe_Table_Files, NameWithoutAnyDotIsTheStemUnchanged) {
  two_results_with_tables();
  Result_Set.Name_Solution(1) = (dir_ / "Result");
  run(Command::Scan_Point_Text);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "Result_Scan_Point.txt")) << console();
}

TEST_F(Probe_Table_Files, TableThatCannotBeWrittenIsReportedAndTheSessionGoesOn) {
  two_results_with_tables();
  Result_Set.Name_Solution(1) = (dir_.path() / "missing" / "Sim_1.dat").string();
  run(Command::Scan_Point_Text);
  EXPECT_NE(console().find(" Unable to write to file: "), std::string::npos) << console();
  EXPECT_EQ(console().find("created"), std::string::npos) << console();
  // A fault while writing (not only at the open) is reported the same way.
  clear_console();
  IO_FAULT_ARM(1, 1, Io_Kind::Write);
  run(Command::Front_Tracking_Text);
  IO_FAULT_ARM(0);
  EXPECT_NE(console().find(" Unable to write to file: "), std::string::npos) << console();
  EXPECT_EQ(console().find("created"), std::string::npos) << console();
}

TEST_F(Probe_Table_Files, LineScanTableHoldsEverySampleOfTheScanTaken) {
  make_field(3, 4, 4, [](int, int, int) { return 0.0f; });
  Virtual_EDX_values.ALLOCATE({Bounds{1, 3}, Bounds{1, 40}});
  Virtual_EDX_distances.ALLOCATE({Bounds{1, 40}});
  for (int k = 1; k <= 40; ++k) {
    Virtual_EDX_distances(k) = 0.5f * static_cast<float>(k - 1);
    for (int i = 1; i <= 3; ++i) Virtual_EDX_values(i, k) = static_cast<float>(i);
  }
  Scan_Line.Scan_Samples = 40;
  Result_Set.Time(1) = 0.0123f;
  run(Command::Line_Scan_Text);
  const std::string name = dir_ / "Sim_1_dat_00000012_EDX.txt";
  EXPECT_EQ(console(), " File: " + name + " created\n");  // no empty line before, unlike the others
  const auto rows = rows_of("Sim_1_dat_00000012_EDX.txt");
  ASSERT_EQ(rows.size(), 40u);
  EXPECT_EQ(rows[39], "     19.500       1.000000000000       2.000000000000       3.000000000000    ");
  // A sample count beyond the tables (a scan refused after a longer one) reads no further.
  Scan_Line.Scan_Samples = 55;
  run(Command::Line_Scan_Text);
  EXPECT_EQ(rows_of("Sim_1_dat_00000012_EDX.txt").size(), 40u);
}

}  // namespace
