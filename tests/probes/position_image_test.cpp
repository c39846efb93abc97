// Code 113: the display written with the scan point drawn, named by the time shown in whole
// milliseconds. The main display is the null device; the image is a real GIF read back.

#include <gtest/gtest.h>

#include <cpgplot.h>

#include <QImage>
#include <string>

#include "records/Command_Codes.h"
#include "records/Console.h"
#include "probes/Probe_Outputs.h"
#include "probes/Scan_Point.h"
#include "tests/display/Display_Case.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

class Position_Image : public Display_Case {
 protected:
  void SetUp() override {
    Display_Case::SetUp();
    SET_CONSOLE_STREAM(&console_);
    null_device_ = cpgopen("/NULL");
    use_device(null_device_);
    Display_Settings.Panel_Grid.Panel_Paper_Width = 7.6f;
    Display_Settings.Panel_Grid.Panel_Paper_Height = 4.9f;
    make_files({0.5f}, 20, 10);
    auto& r = Result_Set;
    r.Name_Solution.ALLOCATE({Bounds{1, 1}});
    r.Name_Solution(1) = folder_ / "Sim.zlt";
    r.Total_Time_Steps.ALLOCATE({Bounds{1, 1}});
    r.Total_Time_Steps(1) = 3;
    r.Selected_Solutions.ALLOCATE({Bounds{1, 1}});
    r.Selected_Solutions(1) = true;
    GROW_PROBE_SERIES(SCAN_POINT_SERIES());  // the probe has run
    Scan_Line.Scan_X1 = Scan_Line.Scan_X2 = 5, Scan_Line.Scan_Y1 = Scan_Line.Scan_Y2 = 4;
    Output_Settings.Default_Naming = true;
  }
  void TearDown() override {
    cpgslct(null_device_);
    cpgclos();
    Scan_Point_Values.RELEASE(), Scan_Point_Times.RELEASE();
    SET_CONSOLE_STREAM(nullptr);
    Display_Case::TearDown();
  }

  Scratch_Folder folder_;
  std::ostringstream console_;
  int null_device_ = 0;
};

TEST_F(Position_Image, NamedByTheMillisecondsShown) {
  struct Case {
    float time;
    const char* name;
  } cases[] = {{0.0123f, "Sim_00000012_Scan_Point.gif"}, {100000.0f, "Sim_100000000_Scan_Point.gif"}};
  for (const Case& c : cases) {
    console_.str("");
    Result_Set.Time(1) = c.time;
    Command_State.Command_Code = Command::Scan_Point_Position;
    VIRTUAL_EDX_OUTPUT();
    const std::string path = folder_ / c.name;
    EXPECT_EQ(console_.str(), " File: " + path + " created\n") << c.name;  // no empty line after
    const QImage image(QString::fromStdString(path), "GIF");
    EXPECT_FALSE(image.isNull()) << c.name;
    EXPECT_FALSE(Scan_Line.Probe_Overlay);  // drawn only into the image
    EXPECT_EQ(Output_Settings.Default_Output_File_Name, path);
  }
}

}  // namespace
