// The redraw: which panel each picture lands in, the panel grid, the page size.

#include "display/Manage_Display.h"

#include <cmath>
#include <utility>
#include <vector>

#include "records/Command_Codes.h"
#include "tests/Server_Answers.h"
#include "tests/display/Display_Case.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

class Redraw : public Display_Case {
 protected:
  void grid(int across, int down) {
    Display_Settings.Panel_Grid.Panels_Across = across;
    Display_Settings.Panel_Grid.Panels_Down = down;
  }
  void plain_redraws() {
    Display_Settings.Annotation_Mode = 4;
    Display_Settings.Auto_Resize = false;
  }
  static float page_width_inches() {
    float x1, x2, y1, y2;
    cpgqvsz(1, &x1, &x2, &y1, &y2);
    return x2 - x1;
  }
  Scratch_Folder dir_;
};

TEST_F(Redraw, ThreeFilesFillThreePanelsAndLeaveTheFourth) {
  plain_redraws();
  make_files({0.1f, 0.5f, 0.9f}, 20, 20);
  grid(2, 2);
  Gif_Page page(dir_);
  use_device(page.device());
  DIVIDE_DISPLAY(true);
  const unsigned c1 = colour_of(0.1f), c2 = colour_of(0.5f), c3 = colour_of(0.9f);
  MANAGE_DISPLAY();
  const QImage image = page.CLOSE();
  ASSERT_FALSE(image.isNull());
  EXPECT_TRUE(near(panel_centre(image, 2, 2, 1, 1), c1));
  EXPECT_TRUE(near(panel_centre(image, 2, 2, 2, 1), c2));
  EXPECT_TRUE(near(panel_centre(image, 2, 2, 1, 2), c3));
  EXPECT_EQ(panel_centre(image, 2, 2, 2, 2), 0x000000u);  // left as it was
  EXPECT_EQ(pgplot_warnings_.str(), "");
}

TEST_F(Redraw, OneFileFillsSuccessivePanelsUnlessFrozen) {
  plain_redraws();
  make_files({0.0f}, 20, 20);
  grid(2, 2);
  Gif_Page page(dir_);
  use_device(page.device());
  DIVIDE_DISPLAY(true);
  const float values[] = {0.1f, 0.3f, 0.5f, 0.7f, 0.9f};
  for (float v : values) {
    fill(1, v);
    MANAGE_DISPLAY();
  }
  const auto& g = Display_Settings.Panel_Grid;
  EXPECT_EQ(std::make_pair(g.Current_Panel_X, g.Current_Panel_Y), std::make_pair(1, 1));
  const unsigned expected[] = {colour_of(0.9f), colour_of(0.3f), colour_of(0.5f), colour_of(0.7f)};
  Display_Settings.Panel_Grid.Freeze_Panel = true;  // two more outputs land in (1, 1) too
  fill(1, 0.2f);
  MANAGE_DISPLAY();
  fill(1, 0.4f);
  MANAGE_DISPLAY();
  const unsigned frozen = colour_of(0.4f);
  const QImage image = page.CLOSE();
  EXPECT_TRUE(near(panel_centre(image, 2, 2, 1, 1), frozen));
  EXPECT_TRUE(near(panel_centre(image, 2, 2, 2, 1), expected[1]));
  EXPECT_TRUE(near(panel_centre(image, 2, 2, 1, 2), expected[2]));
  EXPECT_TRUE(near(panel_centre(image, 2, 2, 2, 2), expected[3]));
  EXPECT_FALSE(near(expected[0], frozen));
}

TEST_F(Redraw, ColumnOrderFillsDownFirst) {
  plain_redraws();
  make_files({0.1f, 0.5f, 0.9f}, 20, 20);
  grid(2, 2);
  Display_Settings.Panel_Grid.Row_Major_Panels = false;
  Gif_Page page(dir_);
  use_device(page.device());
  DIVIDE_DISPLAY(true);
  const unsigned c2 = colour_of(0.5f), c3 = colour_of(0.9f);
  MANAGE_DISPLAY();
  const QImage image = page.CLOSE();
  EXPECT_TRUE(near(panel_centre(image, 2, 2, 1, 2), c2));
  EXPECT_TRUE(near(panel_centre(image, 2, 2, 2, 1), c3));
}

TEST_F(Redraw, GridGrowsToHoldEveryFile) {
  struct Row {
    int files, across, down, new_across, new_down;
    bool message;
  } rows[] = {
      {5, 2, 2, 3, 2, true}, {5, 1, 1, 1, 1, false}, {2, 1, 2, 1, 2, false},
      {3, 3, 1, 3, 1, false}, {7, 2, 2, 3, 3, true}, {3, 2, 1, 2, 2, true},
  };
  for (const auto& row : rows) {
    make_files(std::vector<float>(row.files, 0.5f), 10, 10);
    grid(row.across, row.down);
    use_device(cpgopen("/NULL"));
    Console_Capture console;
    DIVIDE_DISPLAY(true);
    cpgclos();
    const auto& g = Display_Settings.Panel_Grid;
    EXPECT_EQ(std::make_pair(g.Panels_Across, g.Panels_Down), std::make_pair(row.new_across, row.new_down))
        << row.files << " " << row.across << "x" << row.down;
    EXPECT_EQ(console.text(), row.message ? "\n\nAdjusting number of panels to match number of solutions\n\n\n" : "");
    EXPECT_EQ(std::make_pair(g.Current_Panel_X, g.Current_Panel_Y), std::make_pair(g.Panels_Across, g.Panels_Down));
  }
}

TEST_F(Redraw, PanelFormRefusesCountsBelowOne) {
  make_files({0.5f}, 10, 10);
  grid(2, 2);
  server_answers::START();  // the form is a pop-up of a real server
  const int reads = server_answers::POP_UP_READS();
  const int device = cpgopen("/NULL");
  use_device(device);
  struct Row {
    std::string across, down, order;
    int new_across, new_down;
    bool row_major;
  } rows[] = {
      {"    3", "    1", "   Row major", 3, 1, true},
      {"0", "-2", "Column major", 3, 1, false},
      {"two", "4", "   Row major", 3, 4, true},
      {"2", "2.5", "   Row major", 2, 4, true},
  };
  for (const auto& row : rows) {
    const bool shown_row_major = Display_Settings.Panel_Grid.Row_Major_Panels;
    server_answers::ACT(pop_up_answers::FORM_VALUES(row.across, row.down, (row.order == "   Row major") != shown_row_major));
    Display_Settings.Panel_Grid.Freeze_Panel = true;
    RESET_PANELS();
    const auto& g = Display_Settings.Panel_Grid;
    EXPECT_EQ(std::make_pair(g.Panels_Across, g.Panels_Down), std::make_pair(row.new_across, row.new_down));
    EXPECT_EQ(g.Row_Major_Panels, row.row_major);
    EXPECT_FALSE(g.Freeze_Panel);
  }
  EXPECT_GT(server_answers::POP_UP_READS(), reads);
  EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u);
  EXPECT_EQ(server_answers::UNANSWERED_READS(), 0);
  cpgclos();
}

TEST_F(Redraw, RgbTriangleShowsTheCombinedPictureUnderTheFilesIsolines) {
  // Red follows file 1 across x, green file 2 up y, blue file 3 held at three fifths; file 1
  // also has its isoline at one half, between columns 15 and 16.
  plain_redraws();
  Display_Settings.Processed_Display_Modes.RGB_Triangle = true;
  Display_Settings.Colour_Scale_Number = -1;  // the colour cube, as the mode's switch sets it
  make_files({0.0f, 0.0f, 0.6f}, 30, 30);
  auto& f = Display_Field;
  for (int y = 1; y <= 30; ++y)
    for (int x = 1; x <= 30; ++x) {
      f.Array_to_be_displayed(1, x, y) = static_cast<float>(x - 1) / 29.0f;
      f.Array_to_be_displayed(2, x, y) = static_cast<float>(y - 1) / 29.0f;
    }
  auto& iso = Isoline_Data;
  for (auto* a : {&iso.Display_Isolines, &iso.Display_Contours}) a->ALLOCATE({Bounds{1, 3}});
  iso.Isoline_Number.ALLOCATE({Bounds{1, 3}});
  iso.Isoline_values.ALLOCATE({Bounds{1, 3}, Bounds{1, 1}});
  iso.Isoline_Number(1) = 1, iso.Isoline_values(1, 1) = 0.5f, iso.Display_Isolines(1) = true;
  grid(1, 1);
  Gif_Page page(dir_, "triangle.gif");
  use_device(page.device());
  DIVIDE_DISPLAY(true);
  Command_State.Command_Code = Command::Replot;
  MANAGE_DISPLAY();
  // The colour-cube index red + 6 green + 36 blue, shares in fifths: the nearest whole number
  // to five times the value's place in its range; as the device shows that index.
  auto share = [](int cell) { return static_cast<int>(std::lround(5.0f * static_cast<float>(cell - 1) / 29.0f)); };
  auto cube = [](int red, int green, int blue) { return colour_of(static_cast<float>(red + 6 * green + 36 * blue) / 215.0f); };
  float vx1, vx2, vy1, vy2, wx1, wx2, wy1, wy2, px1, px2, py1, py2;
  cpgqvp(3, &vx1, &vx2, &vy1, &vy2);
  cpgqwin(&wx1, &wx2, &wy1, &wy2);
  cpgqvsz(3, &px1, &px2, &py1, &py2);
  const int height = static_cast<int>(py2 - py1) + 1;
  auto pixel_x = [&](float cell) { return static_cast<int>(vx1 + (cell - wx1) / (wx2 - wx1) * (vx2 - vx1) + 0.5f); };
  auto pixel_y = [&](float cell) {
    return height - 1 - static_cast<int>(vy1 + (cell - wy1) / (wy2 - wy1) * (vy2 - vy1) + 0.5f);
  };
  struct Cell {
    int x, y;
    unsigned colour;
  };
  std::vector<Cell> cells;
  for (const auto& [x, y] : {std::pair{3, 3}, {27, 3}, {3, 27}, {27, 27}, {10, 21}, {22, 9}})
    cells.push_back({x, y, cube(share(x), share(y), 3)});
  const QImage image = page.CLOSE();
  ASSERT_FALSE(image.isNull());
  auto at_cell = [&](int x, int y) { return RGB_AT(image, pixel_x(static_cast<float>(x)), pixel_y(static_cast<float>(y))); };
  for (const Cell& c : cells)
    EXPECT_TRUE(near(at_cell(c.x, c.y), c.colour))
        << "cell " << c.x << "," << c.y << ": " << std::hex << at_cell(c.x, c.y) << " wanted " << c.colour;
  // File 1's isoline crosses the combined picture: the column between the cells holds pixels
  // of neither neighbour's colour.
  int line = 0;
  const int column = pixel_x(15.5f);
  for (int y = pixel_y(25.0f); y <= pixel_y(5.0f); ++y) {
    const unsigned c = RGB_AT(image, column, y);
    line += !near(c, RGB_AT(image, pixel_x(14.0f), y)) && !near(c, RGB_AT(image, pixel_x(17.0f), y));
  }
  EXPECT_GT(line, (pixel_y(5.0f) - pixel_y(25.0f)) / 2) << "the isoline of file 1";
}

TEST_F(Redraw, PageFitsTheFieldWithItsMargins) {
  make_files({0.5f}, 200, 100);
  grid(1, 1);
  const int device = cpgopen("/NULL");
  use_device(device);
  struct Row {
    int mode;
    float width, height;
  } rows[] = {{1, 7.6f, 2.728f}, {4, 7.6f, 7.6f * 99.0f / 199.0f}};
  for (const auto& row : rows) {
    Display_Settings.Annotation_Mode = row.mode;
    AUTOMATIC_RESIZE();
    float x1, x2, y1, y2;
    cpgqvsz(1, &x1, &x2, &y1, &y2);
    EXPECT_NEAR(x2 - x1, row.width, 0.01f) << row.mode;
    EXPECT_NEAR(y2 - y1, row.height, 0.01f) << row.mode;
    EXPECT_NEAR(Display_Settings.Panel_Grid.Panel_Paper_Height, row.height, 0.01f);
  }
  // A field one cell high still has a page.
  make_files({0.5f}, 1, 1);
  ASSERT_EQ(Display_Field.Display_Size_Y, 1);
  AUTOMATIC_RESIZE();
  EXPECT_GT(page_width_inches(), 0.0f);
  EXPECT_EQ(pgplot_warnings_.str(), "");
  cpgclos();
}

TEST_F(Redraw, WindowCommandRedividesWithoutAutoResize) {
  make_files({0.5f}, 10, 10);
  grid(2, 1);
  Display_Settings.Auto_Resize = false;
  Display_Settings.Annotation_Mode = 4;
  const int device = cpgopen("/NULL");
  use_device(device);
  Command_State.Command_Code = Command::Take_Over_Window;
  MANAGE_DISPLAY();
  EXPECT_EQ(Command_State.Command_Code, Command::Replot);
  const auto& g = Display_Settings.Panel_Grid;
  EXPECT_EQ(std::make_pair(g.Current_Panel_X, g.Current_Panel_Y), std::make_pair(1, 1));

  Console_Capture console;
  TOGGLE_AUTORESIZE();
  EXPECT_TRUE(Display_Settings.Auto_Resize);
  EXPECT_EQ(console.text(), "\n Automatic resize on\n\n");
  EXPECT_EQ(Command_State.Command_Code, Command::Replot);
  cpgclos();
}

TEST_F(Redraw, FreezeRefusedWithSeveralFilesOrOnePanel) {
  struct Row {
    int files, across;
    std::string console;
  } rows[] = {{2, 2, "\nFreeze panel not available with multiple files!\n\n"},
              {1, 1, "\nFreeze panel not available with a single panel!\n\n"}};
  for (const auto& row : rows) {
    make_files(std::vector<float>(row.files, 0.5f), 10, 10);
    grid(row.across, 1);
    Console_Capture console;
    SELECT_FROZEN_PANEL();
    EXPECT_EQ(console.text(), row.console);
    EXPECT_FALSE(Display_Settings.Panel_Grid.Freeze_Panel);
  }
}

}  // namespace
