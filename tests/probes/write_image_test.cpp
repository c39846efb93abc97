// Images of the display: their page size, what high resolution leaves out, the naming of the
// single image and a device that cannot be opened. The main display is the null device; the
// images are real GIF files read back.

#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "display/Manage_Display.h"
#include "records/Globals.h"
#include "probes/Write_Image.h"
#include "tests/display/Display_Case.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

class Image_Output : public Display_Case {
 protected:
  void SetUp() override {
    Display_Case::SetUp();
    null_device_ = cpgopen("/NULL");
    use_device(null_device_);
    // The base size: the panel page that the automatic resize computed.
    Display_Settings.Auto_Resize = true;
    Display_Settings.Panel_Grid.Panel_Paper_Width = 7.6f;
    Display_Settings.Panel_Grid.Panel_Paper_Height = 4.9f;
  }
  void TearDown() override {
    cpgslct(null_device_);
    cpgclos();
    Display_Case::TearDown();
  }
  // Writes the image of the display under name, as the probe outputs name theirs.
  QImage write(const std::string& name) {
    Output_Settings.Output_File_Name = folder_ / name;
    Command_State.Command_Code = 104;
    WRITE_IMAGE();
    return QImage(QString::fromStdString(folder_ / name), "GIF");
  }
  void panels(int across, int down) {
    Display_Settings.Panel_Grid.Panels_Across = across;
    Display_Settings.Panel_Grid.Panels_Down = down;
  }

  Scratch_Folder folder_;
  int null_device_ = 0;
};

struct Size_Case {
  const char* what;
  int files, cells_x, cells_y, across;
  bool high_resolution, larger;
  int width, height;  // pixels: 85 to the inch, plus one
};

TEST_F(Image_Output, PageSizesFollowTheBaseSizeAndTheSettings) {
  const Size_Case cases[] = {
      {"high resolution, small field", 1, 200, 100, 1, true, false, 851, 851},
      {"high resolution, 1000 cells across", 1, 1000, 400, 1, true, false, 1051, 851},
      {"high resolution wins over larger", 1, 200, 100, 1, true, true, 851, 851},
      {"larger", 1, 20, 10, 1, false, true, 1293, 834},
      {"larger, two files in a 2 x 1 grid", 2, 20, 10, 2, false, true, 2585, 834},
      {"one file: panels do not multiply", 1, 20, 10, 2, false, false, 647, 418},
  };
  for (const Size_Case& c : cases) {
    std::vector<float> values(static_cast<std::size_t>(c.files), 0.5f);
    make_files(values, c.cells_x, c.cells_y);
    panels(c.across, 1);
    Output_Settings.High_Resolution_Images = c.high_resolution;
    Output_Settings.Larger_Images = c.larger;
    const QImage image = write("size.gif");
    EXPECT_EQ(image.width(), c.width) << c.what;
    EXPECT_EQ(image.height(), c.height) << c.what << " " << image.width() << " x " << image.height();
  }
}

TEST_F(Image_Output, HighResolutionDrawsNoWedgeOrTextsAndKeepsTheAnnotationMode) {
  make_files({1.0f}, 200, 100);  // every cell at the top of the scale
  panels(1, 1);
  AUTOMATIC_RESIZE();  // a page with room for the wedge, as the program has it
  const std::int32_t panel_x = Display_Settings.Panel_Grid.Current_Panel_X;
  for (bool high_resolution : {false, true}) {
    Output_Settings.High_Resolution_Images = high_resolution;
    const QImage image = write(high_resolution ? "high.gif" : "plain.gif");
    ASSERT_FALSE(image.isNull());
    const unsigned lowest = colour_of(0.0f);
    bool wedge_or_text = false;  // the wedge holds the lowest colour, the texts are white
    for (int y = 0; y < image.height() && !wedge_or_text; y += 2)
      for (int x = 0; x < image.width() && !wedge_or_text; x += 2) {
        const unsigned rgb = RGB_AT(image, x, y);
        wedge_or_text = near(rgb, lowest) || rgb == 0xFFFFFFu;
      }
    EXPECT_EQ(wedge_or_text, !high_resolution) << (high_resolution ? "high resolution" : "plain");
    EXPECT_EQ(Display_Settings.Annotation_Mode, 1);
    EXPECT_EQ(Display_Settings.Panel_Grid.Current_Panel_X, panel_x);
    EXPECT_EQ(Graphics_Units.Unit_Current, null_device_);
  }
}

TEST_F(Image_Output, ADeviceThatCannotBeOpenedWritesNothingAndSaysSo) {
  make_files({0.5f}, 20, 10);
  panels(1, 1);
  Display_Settings.Annotation_Mode = 3;
  Output_Settings.High_Resolution_Images = true;
  Console_Capture console;
  const QImage image = write("missing folder/image.gif");
  EXPECT_TRUE(image.isNull());
  EXPECT_NE(console.text().find("\nUnable to open image file!\n\n"), std::string::npos) << console.text();
  EXPECT_EQ(Display_Settings.Annotation_Mode, 3);
  EXPECT_EQ(Graphics_Units.Unit_Current, null_device_);
}

TEST_F(Image_Output, TheSingleImageIsNamedInTheDialogAndFollowedByAnEmptyLine) {
  make_files({0.5f}, 20, 10);
  panels(1, 1);
  Result_Set.Name_Solution.ALLOCATE({Bounds{1, 1}});
  Result_Set.Name_Solution(1) = folder_ / "Case_phas.zlt";
  Output_Settings.Default_Naming = true;
  Command_State.Command_Code = 77;
  Console_Capture console;
  WRITE_IMAGE();
  const std::string name = folder_ / "Case_phas_00012500.gif";
  EXPECT_EQ(console.text(), " File: " + name + " created\n\n");
  EXPECT_FALSE(QImage(QString::fromStdString(name), "GIF").isNull());
}

}  // namespace
