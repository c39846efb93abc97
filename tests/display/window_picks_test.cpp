// Picks on real kornd windows: the frozen panel chosen in its pop-up grid and the zoom box
// dragged, adjusted and accepted on the main display, clicked at the pixels of known panels and cells.

#include <cpgplot.h>

#include <array>
#include <string>
#include <vector>

#include "display/Manage_Display.h"
#include "display/Zoom.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "tests/Server_Answers.h"
#include "tests/display/Display_Case.h"

namespace {

using Actions = std::vector<Pop_Up_Action>;

class Window_Picks : public Display_Case {
 protected:
  void SetUp() override {
    Display_Case::SetUp();
    server_answers::START();
    SET_CONSOLE_STREAM(&console_);
    unanswered_ = server_answers::UNANSWERED_READS();
  }
  void TearDown() override {
    SET_CONSOLE_STREAM(nullptr);
    EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u) << "an action was left unused";
    EXPECT_EQ(server_answers::UNANSWERED_READS(), unanswered_) << "a read found no action";
    Display_Case::TearDown();
  }
  static void expect_main_display() {
    int selected = 0;
    cpgqid(&selected);
    EXPECT_EQ(selected, Graphics_Units.Unit_Display);
    EXPECT_EQ(Graphics_Units.Unit_Pop_Up, No_Device);
  }
  std::ostringstream console_;
  int unanswered_ = 0;
};

// Where the panel grid of the frozen-panel pop-up stands on its paper, for a grid of across x
// down panels over the main display's page: the same page laid out on the null device.
struct Grid_Paper {
  float width = 0, height = 0;  // inches
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;  // the grid's frame in inches

  Grid_Paper(int across, int down) {
    float px1, px2, py1, py2;
    cpgqvsz(1, &px1, &px2, &py1, &py2);
    const float a = static_cast<float>(across), d = static_cast<float>(down);
    width = 0.5f * a * (px2 - px1);
    height = 0.5f * d * (py2 - py1);
    int main = 0;
    cpgqid(&main);
    const int null = cpgopen("/NULL");
    cpgpap(width, height / width);
    cpgask(0);
    cpgpage();
    cpgenv(0.0f, a, 0.0f, d, 1, -2);
    cpgvstd();
    cpgqvp(1, &x1, &x2, &y1, &y2);
    cpgclos();
    (void)null;
    cpgslct(main);
    across_ = a, down_ = d;
  }
  // A click in panel (column, row), row 1 on top; at a corner of the panel with off.
  Pop_Up_Action panel(int column, int row, float off = 0.5f) const {
    const float x = x1 + (static_cast<float>(column) - 1.0f + off) / across_ * (x2 - x1);
    const float y = y2 - (static_cast<float>(row) - 1.0f + off) / down_ * (y2 - y1);
    return pop_up_answers::CLICK(x, y, width, height);
  }
  Pop_Up_Action outside() const { return pop_up_answers::CLICK(x1 / 2, y1 / 2, width, height); }

 private:
  float across_ = 1, down_ = 1;
};

TEST_F(Window_Picks, FrozenPanelChosenWithADoublePick) {
  make_files({0.5f}, 10, 10);
  auto& g = Display_Settings.Panel_Grid;
  g.Panels_Across = 3, g.Panels_Down = 2;
  const Grid_Paper paper(3, 2);
  struct Row {
    const char* name;
    Actions clicks;
    int column, row;
  } rows[] = {
      {"upper left", {paper.panel(1, 1), paper.panel(1, 1)}, 1, 1},
      {"lower right", {paper.panel(3, 2), paper.panel(3, 2)}, 3, 2},
      {"near the corners of one panel", {paper.panel(2, 1, 0.1f), paper.panel(2, 1, 0.9f)}, 2, 1},
      {"a pick outside the grid is ignored", {paper.outside(), paper.panel(2, 2), paper.panel(2, 2)}, 2, 2},
      {"the second pick of another panel highlights it",
       {paper.panel(1, 2), paper.panel(3, 1), paper.panel(3, 1)}, 3, 1},
  };
  for (const Row& row : rows) {
    g.Freeze_Panel = false;
    g.Current_Panel_X = g.Current_Panel_Y = 0;
    server_answers::ACT(row.clicks);
    SELECT_FROZEN_PANEL();
    EXPECT_TRUE(g.Freeze_Panel) << row.name;
    EXPECT_EQ(g.Current_Panel_X, row.column) << row.name;
    EXPECT_EQ(g.Current_Panel_Y, row.row) << row.name;
    expect_main_display();
  }
  // A second freeze command thaws without a pop-up.
  SELECT_FROZEN_PANEL();
  EXPECT_FALSE(g.Freeze_Panel);
  EXPECT_EQ(console_.str(), "");
}

TEST_F(Window_Picks, ZoomBoxDraggedAdjustedAndAcceptedOnTheMainDisplay) {
  make_files({0.25f}, 100, 80);
  Display_Settings.Auto_Resize = false;
  auto& f = Display_Field;
  auto box = [&] { return std::array<int, 4>{f.Zoom_X_From, f.Zoom_X_To, f.Zoom_Y_From, f.Zoom_Y_To}; };
  using Drag = std::array<int, 4>;  // x1, y1, x2, y2 in cells
  // The box is dragged, then each further drag starts at one of its corners and moves that
  // corner; the right click accepts the box as it stands.
  auto picked = [](const std::vector<Drag>& drags) {
    using main_window_answers::DRAG;
    Pop_Up_Action all{};
    for (std::size_t i = 0; i < drags.size(); ++i) {
      const Drag& d = drags[i];
      const Pop_Up_Action one = DRAG(d[0], d[1], d[2], d[3], i + 1 == drags.size());
      all.line += (i == 0 ? "" : "\n") + one.line;
    }
    return all;
  };
  struct Row {
    const char* name;
    std::vector<Drag> drags;
    std::array<int, 4> zoom;  // x-from, x-to, y-from, y-to
  } rows[] = {
      {"a box", {{20, 30, 60, 70}}, {20, 60, 30, 70}},
      {"dragged backwards", {{60, 70, 20, 30}}, {20, 60, 30, 70}},
      {"one cell widened by one each way", {{50, 40, 50, 40}}, {49, 51, 39, 41}},
      {"next to the corners", {{2, 2, 99, 79}}, {2, 99, 2, 79}},
      {"the dragged corner moved", {{20, 30, 60, 70}, {60, 70, 80, 75}}, {20, 80, 30, 75}},
      {"the starting corner moved", {{20, 30, 60, 70}, {20, 30, 10, 5}}, {10, 60, 5, 70}},
      {"a third corner moved", {{20, 30, 60, 70}, {20, 70, 35, 60}}, {35, 60, 30, 60}},
      {"adjusted twice", {{20, 30, 60, 70}, {60, 70, 80, 75}, {20, 75, 5, 78}}, {5, 80, 30, 78}},
  };
  for (const Row& row : rows) {
    Command_State.Command_Code = Command::Replot;
    f.Zoom_X_From = 1, f.Zoom_X_To = 100, f.Zoom_Y_From = 1, f.Zoom_Y_To = 80;
    MANAGE_DISPLAY();
    console_.str("");
    server_answers::ACT(picked(row.drags));
    Command_State.Command_Code = 38;
    ZOOM();
    EXPECT_EQ(box(), row.zoom) << row.name;
    EXPECT_EQ((std::array<int, 4>{f.Previous_Zoom_X_From, f.Previous_Zoom_X_To, f.Previous_Zoom_Y_From,
                                  f.Previous_Zoom_Y_To}),
              (std::array<int, 4>{1, 100, 1, 80}))
        << row.name;
    EXPECT_EQ(Command_State.Command_Code, Command::Replot) << row.name;
    EXPECT_EQ(console_.str(),
              "\nSet zoom box by holding right mouse's button\n"
              " (The selection can then be adjusted or accepted with a right click)\n")
        << row.name;
  }
}

}  // namespace
