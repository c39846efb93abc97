// Line scans collected over every output of real result files, plotted into image files; the
// output list of mode 2 answered through a real kornd.

#include <gtest/gtest.h>

#include <cpgplot.h>

#include <QImage>
#include <string>
#include <vector>

#include "main/Initialise.h"
#include "display/Output_File_Names.h"
#include "probes/Probe_Results.h"
#include "probes/Virtual_EDX.h"
#include "tests/Server_Answers.h"
#include "tests/result_files/Case_Fixture.h"

namespace {

class Collected_Scans : public Case_Fixture {
 protected:
  void SetUp() override {
    Case_Fixture::SetUp();
    RELEASE_VIRTUAL_EDX_TABLES();
    DEFAULT_SETTINGS();
    START_OUTPUT_SERIES();
    server_answers::START();  // the main display the plots return to
  }
  void TearDown() override {
    RELEASE_VIRTUAL_EDX_TABLES();
    Case_Fixture::TearDown();
  }
  // Two files of the given output counts over a 3 x 2 field, standing on output `at`; the
  // line along the first row scanned there. Output s holds 100 s + c at cell c (from 0).
  void open_at(int outputs_1, int outputs_2, int at) {
    write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(outputs_1, 6), ramp_outputs(outputs_2, 6)});
    ASSERT_TRUE(open(1));
    for (int k = 1; k <= at; ++k) ASSERT_TRUE(move(1));
    ASSERT_EQ(Result_Set.Time_Step_Number(1), at);
    ASSERT_EQ(shown(1, 2), 100.0f * at + 1.0f);
    Scan_Line.Scan_X1 = 1, Scan_Line.Scan_Y1 = 1, Scan_Line.Scan_X2 = 3, Scan_Line.Scan_Y2 = 1;
    SELECT_PROBE_RESULTS(false);
    VIRTUAL_EDX_SCAN();
    clear_console();
  }
  // The plot of the collection in an image file named name.
  void plot_all(int mode, const std::string& name) {
    Output_Settings.Output_File_Name = dir_ / name;
    VIRTUAL_EDX_DISPLAY_ALL(false, mode);
  }
  std::vector<int> marked() const {
    std::vector<int> outputs;
    const auto& scans = Virtual_EDX_Scans;
    for (int s = 1; s <= scans.EXTENT(2); ++s)
      if (scans(Result_Set.Number_Of_Solutions + 2, 1, s) > 0.5f) outputs.push_back(s);
    return outputs;
  }
};

TEST_F(Collected_Scans, EveryOutputFromTheDisplayedOneRoundToItAgain) {
  open_at(8, 8, 5);
  Result_Set.Selected_Solutions(1) = false;  // only file 2 chosen
  plot_all(1, "all.gif");
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 5);
  EXPECT_EQ(Result_Set.Time_Step_Number(2), 5);
  // Every output stored at its own number, for every file (all are scanned after the first).
  const auto& scans = Virtual_EDX_Scans;
  ASSERT_EQ(scans.EXTENT(0), 4);
  ASSERT_EQ(scans.EXTENT(1), 3);
  ASSERT_EQ(scans.EXTENT(2), 8);
  for (int s = 1; s <= 8; ++s) {
    for (int k = 1; k <= 3; ++k) {
      EXPECT_EQ(scans(2, k, s), 100.0f * s + (k - 1)) << s << " " << k;
      // File 1 was not chosen: its scan at the first output (5) stays 0.
      EXPECT_EQ(scans(1, k, s), s == 5 ? 0.0f : 100.0f * s + (k - 1)) << s << " " << k;
    }
    EXPECT_EQ(scans(3, 1, s), 10.0f * s);
    EXPECT_EQ(scans(3, 2, s), 0.0f);
  }
  EXPECT_EQ(marked(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  // The last output visited was 4, the one before the start.
  EXPECT_EQ(Virtual_EDX_values(2, 1), 400.0f);
  // The selection is as before.
  EXPECT_FALSE(Result_Set.Selected_Solutions(1));
  EXPECT_TRUE(Result_Set.Selected_Solutions(2));
  EXPECT_EQ(console(), " File: " + (dir_ / "all.gif") + " created\n");
  EXPECT_FALSE(QImage(QString::fromStdString(dir_ / "all.gif"), "GIF").isNull());
}

TEST_F(Collected_Scans, ModeThreeShowsTheOutputsPickedInModeTwo) {
  open_at(8, 8, 3);
  const std::vector<bool> wanted{false, true, false, false, true, false, true, false};
  server_answers::ACT(pop_up_answers::SELECTION(wanted, true));
  plot_all(2, "picked.gif");
  EXPECT_EQ(marked(), (std::vector<int>{2, 5, 7}));
  EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u);
  plot_all(3, "again.gif");
  EXPECT_EQ(marked(), (std::vector<int>{2, 5, 7}));
  EXPECT_EQ(read_bytes(dir_ / "picked.gif"), read_bytes(dir_ / "again.gif"));
  plot_all(1, "every.gif");
  EXPECT_NE(read_bytes(dir_ / "every.gif"), read_bytes(dir_ / "picked.gif"));
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 3);
}

TEST_F(Collected_Scans, AnotherLineLengthStartsTheCollectionAnew) {
  open_at(4, 4, 1);
  plot_all(1, "first.gif");
  EXPECT_EQ(marked().size(), 4u);
  Scan_Line.Scan_X2 = 2, Scan_Line.Scan_Y2 = 2;  // (1,1)-(2,2): 2 samples
  VIRTUAL_EDX_SCAN();
  ASSERT_EQ(Scan_Line.Scan_Samples, 2);
  plot_all(3, "none.gif");
  EXPECT_TRUE(marked().empty());
  EXPECT_EQ(Virtual_EDX_Scans.EXTENT(1), 2);
  EXPECT_FALSE(QImage(QString::fromStdString(dir_ / "none.gif"), "GIF").isNull());
}

TEST_F(Collected_Scans, AFileThatGrewDuringThePassWidensTheCollection) {
  open_at(3, 3, 1);
  plot_all(1, "three.gif");
  ASSERT_EQ(Virtual_EDX_Scans.EXTENT(2), 3);
  // Result file 2 gains two outputs: the next collection has room for them; the pass follows
  // result file 1, so their entries stay 0.
  sample::WRITE_RESULTS(result_path(2), Encoding::Single, ramp_outputs(5, 6));
  Result_Set.Total_Time_Steps(2) = 5;
  plot_all(3, "five.gif");
  EXPECT_EQ(Virtual_EDX_Scans.EXTENT(2), 5);
  EXPECT_EQ(Virtual_EDX_Scans(1, 1, 2), 200.0f);
  EXPECT_EQ(Virtual_EDX_Scans(1, 1, 4), 0.0f);
  EXPECT_EQ(Virtual_EDX_Scans(3, 1, 5), 0.0f);
  EXPECT_EQ(marked(), (std::vector<int>{}));  // remade: the old markers are gone
}

}  // namespace
