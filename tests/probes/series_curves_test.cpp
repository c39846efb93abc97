// The scan-point and front-tracking curves written as image files by codes 111 and 114.

#include <gtest/gtest.h>

#include <cpgplot.h>

#include <filesystem>

#include "display/Tools_Graphical.h"
#include "records/Command_Codes.h"
#include "probes/Front_Tracking.h"
#include "probes/Probe_Outputs.h"
#include "probes/Scan_Point.h"
#include "tests/probes/Field_Case.h"

namespace {

class Series_Curves : public Field_Case {
 protected:
  // Two results of 4 outputs with both probes' tables filled; a null device as main display.
  void SetUp() override {
    Field_Case::SetUp();
    make_field(2, 6, 6, [](int, int, int) { return 0.0f; });
    for (int i = 1; i <= 2; ++i) Result_Set.Total_Time_Steps(i) = 4, Result_Set.Selected_Solutions(i) = true;
    for (const Probe_Series& s : {SCAN_POINT_SERIES(), FRONT_TRACKING_SERIES()}) {
      GROW_PROBE_SERIES(s);
      for (int t = 1; t <= 4; ++t) {
        s.times(t) = static_cast<float>(t);
        for (int i = 1; i <= 2; ++i) s.values(t, i) = static_cast<float>(t * i);
      }
    }
    Graphics_Units.Unit_Display = cpgopen("/NULL");
    SELECT_PGPLOT_UNIT(Graphics_Units.Unit_Display);
  }
  void TearDown() override {
    cpgslct(Graphics_Units.Unit_Display);
    cpgclos();
    Scan_Point_Values.RELEASE(), Scan_Point_Times.RELEASE();
    Front_Tracking_Values.RELEASE(), Front_Tracking_Times.RELEASE();
    Field_Case::TearDown();
  }
  void run(std::int32_t code) {
    Command_State.Command_Code = code;
    VIRTUAL_EDX_OUTPUT();
  }
  void driver(const char* name, const char* extension) {
    Output_Settings.Image_Driver = name;
    Output_Settings.Image_Extension = extension;
  }
};

TEST_F(Series_Curves, ImageFilesAreWrittenAndReported) {
  struct Case {
    std::int32_t code;
    const char *driver, *extension, *file, *report_end;
  } cases[] = {
      {Command::Scan_Point_Curve, "/GIF", "gif", "Sim_1_dat_Scan_Point.gif", " created\n"},
      {Command::Front_Tracking_Curve, "/GIF", "gif", "Sim_1_dat_Front_Tracking.gif", " created\n"},
      {Command::Scan_Point_Curve, "/VCPS", "ps", "Sim_1_dat_Scan_Point.ps", " created\n  ('prettier output')\n"},
      {Command::Front_Tracking_Curve, "/VCPS", "ps", "Sim_1_dat_Front_Tracking.ps", " created\n  ('prettier output')\n"},
  };
  for (const Case& c : cases) {
    clear_console();
    driver(c.driver, c.extension);
    run(c.code);
    const std::string path = dir_ / c.file;
    EXPECT_EQ(console(), " File: " + path + c.report_end) << c.file;
    ASSERT_TRUE(std::filesystem::exists(path)) << c.file;
    EXPECT_GT(std::filesystem::file_size(path), 100u) << c.file;
    EXPECT_EQ(Graphics_Units.Unit_Current, Graphics_Units.Unit_Display) << c.file;
  }
}

// The curve is labelled with the place its probe measured, not with whatever line or plane was
// picked or shown since; a probe at another place draws other labels.
TEST_F(Series_Curves, EachCurveCarriesItsOwnProbesPosition) {
  const auto image = [&](std::int32_t code, const char* file) {
    run(code);
    const std::string bytes = read_bytes(dir_ / file);
    std::filesystem::remove(dir_ / file);
    return bytes;
  };
  struct Case {
    std::int32_t code;
    const char* file;
    Probe_Position& position;
  } cases[] = {
      {Command::Scan_Point_Curve, "Sim_1_dat_Scan_Point.gif", Scan_Point_Position},
      {Command::Front_Tracking_Curve, "Sim_1_dat_Front_Tracking.gif", Front_Tracking_Position},
  };
  driver("/GIF", "gif");
  for (const Case& c : cases) {
    Scan_Line.Scan_X1 = Scan_Line.Scan_X2 = 1, Scan_Line.Scan_Y1 = Scan_Line.Scan_Y2 = 1;
    Display_Field.Cut_Direction = 1, Display_Field.Cut_Index = 1;
    c.position = CURRENT_PROBE_POSITION();
    const std::string measured_there = image(c.code, c.file);
    ASSERT_GT(measured_there.size(), 100u) << c.file;
    // A later line and another plane leave the curve as it was.
    Scan_Line.Scan_X1 = 5, Scan_Line.Scan_Y1 = 3, Scan_Line.Scan_X2 = 6, Scan_Line.Scan_Y2 = 6;
    Display_Field.Cut_Direction = 2, Display_Field.Cut_Index = 4;
    EXPECT_EQ(image(c.code, c.file), measured_there) << c.file;
    c.position = CURRENT_PROBE_POSITION();
    EXPECT_NE(image(c.code, c.file), measured_there) << c.file;
  }
}

TEST_F(Series_Curves, NoResultSelectedStillWritesTheFrame) {
  Result_Set.Selected_Solutions.FILL(false);
  run(Command::Scan_Point_Curve);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "Sim_1_dat_Scan_Point.gif")) << console();
}

TEST_F(Series_Curves, ANameTooLongIsRefusedNotCut) {
  const std::string stem(200, 'n');
  Result_Set.Name_Solution(1) = dir_ / (stem + ".dat");
  run(Command::Front_Tracking_Curve);
  EXPECT_NE(console().find("Unable to open secondary display!"), std::string::npos) << console();
  EXPECT_EQ(console().find("created"), std::string::npos) << console();
  for (const auto& e : std::filesystem::directory_iterator(dir_.path()))
    EXPECT_EQ(e.path().extension(), ".dat") << e.path();  // no image under any cut name
}

}  // namespace
