// The pickers of the probes' line and point on a real kornd: a line dragged and ended where
// the button goes up, and a point clicked at the pixels of known cells of the main display, repeated or accepted after the
// preview, and the line across the zoom window typed into its pop-up.

#include <cpgplot.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "display/Manage_Display.h"
#include "records/Command_Codes.h"
#include "probes/Scan_Line.h"
#include "tests/Server_Answers.h"
#include "tests/probes/Field_Case.h"

namespace {

using Actions = std::vector<Pop_Up_Action>;
using Ends = std::array<std::int32_t, 4>;  // x1, y1, x2, y2

class Scan_Picks : public Field_Case {
 protected:
  void SetUp() override {
    Field_Case::SetUp();
    server_answers::START();
    unanswered_ = server_answers::UNANSWERED_READS();
  }
  void TearDown() override {
    EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u) << "an action was left unused";
    EXPECT_EQ(server_answers::UNANSWERED_READS(), unanswered_) << "a read found no action";
    Field_Case::TearDown();
  }
  // A 40 x 30 field drawn on the main display, the console cleared.
  void drawn_field() {
    make_field(1, 40, 30, [](int, int x, int y) { return static_cast<float>(x + y) / 70.0f; });
    Display_Settings.Auto_Resize = false;
    Command_State.Command_Code = Command::Replot;
    MANAGE_DISPLAY();
    clear_console();
  }
  static Ends ends() { return {Scan_Line.Scan_X1, Scan_Line.Scan_Y1, Scan_Line.Scan_X2, Scan_Line.Scan_Y2}; }
  static void expect_main_display() {
    int selected = 0;
    cpgqid(&selected);
    EXPECT_EQ(selected, Graphics_Units.Unit_Display);
    EXPECT_EQ(Graphics_Units.Unit_Pop_Up, No_Device);
  }
  int unanswered_ = 0;
};

const std::string Line_Prompt = "\nSet scan line by holding down the mouse's left button\n";
const std::string Point_Prompt = "\nSet scan point\n";
std::string confirm_prompt(const std::string& what) {
  return "Press right mouse button or x to redraw\n or any key to accept scannning " + what + "\n";
}

TEST_F(Scan_Picks, DraggedLineAcceptedOrPickedAgain) {
  using namespace main_window_answers;
  drawn_field();
  struct Row {
    const char* name;
    bool confirm;
    Actions actions;
    Ends line;
    std::string console;
  } rows[] = {
      {"a key accepts", true, {DRAG(5, 10, 30, 20), KEY("a")}, {5, 10, 30, 20}, Line_Prompt + confirm_prompt("line")},
      {"a left click accepts", true, {DRAG(30, 25, 2, 3), CLICK_CELL(1, 1)}, {30, 25, 2, 3},
       Line_Prompt + confirm_prompt("line")},
      {"x picks again", true, {DRAG(5, 10, 30, 20), KEY("x"), DRAG(8, 9, 12, 28), KEY("a")},
       {8, 9, 12, 28}, Line_Prompt + confirm_prompt("line") + Line_Prompt + confirm_prompt("line")},
      {"a right click picks again", true,
       {DRAG(5, 10, 30, 20), CLICK_CELL(1, 1, true), DRAG(39, 29, 1, 1), KEY("Return")}, {39, 29, 1, 1},
       Line_Prompt + confirm_prompt("line") + Line_Prompt + confirm_prompt("line")},
      {"no confirmation", false, {DRAG(3, 4, 20, 6)}, {3, 4, 20, 6},
       "\nSet line by holding down the mouse's left button\n"},
  };
  for (const Row& row : rows) {
    clear_console();
    server_answers::ACT(row.actions);
    VIRTUAL_EDX_SELECT(row.confirm);
    EXPECT_EQ(ends(), row.line) << row.name;
    EXPECT_EQ(console(), row.console) << row.name;
    EXPECT_FALSE(Scan_Line.Probe_Overlay) << row.name;
    expect_main_display();
  }
}

TEST_F(Scan_Picks, ClickedPointAcceptedOrPickedAgain) {
  using namespace main_window_answers;
  drawn_field();
  Scan_Line.Scan_X1 = 3, Scan_Line.Scan_Y1 = 3, Scan_Line.Scan_X2 = 30, Scan_Line.Scan_Y2 = 20;  // a line before
  struct Row {
    const char* name;
    bool confirm;
    Actions actions;
    Ends point;
    std::string console;
  } rows[] = {
      {"a key accepts", true, {CLICK_CELL(12, 7), KEY("b")}, {12, 7, 12, 7}, Point_Prompt + confirm_prompt("point")},
      {"x picks again", true, {CLICK_CELL(12, 7), KEY("x"), CLICK_CELL(39, 29), KEY("b")}, {39, 29, 39, 29},
       Point_Prompt + confirm_prompt("point") + Point_Prompt + confirm_prompt("point")},
      {"a right click picks again", true, {CLICK_CELL(2, 2), CLICK_CELL(2, 2, true), CLICK_CELL(1, 29), KEY("b")},
       {1, 29, 1, 29}, Point_Prompt + confirm_prompt("point") + Point_Prompt + confirm_prompt("point")},
      {"no confirmation prints nothing", false, {CLICK_CELL(25, 14)}, {25, 14, 25, 14}, ""},
  };
  for (const Row& row : rows) {
    clear_console();
    server_answers::ACT(row.actions);
    SCAN_POINT_SELECT(row.confirm);
    EXPECT_EQ(ends(), row.point) << row.name;
    EXPECT_EQ(console(), row.console) << row.name;
    expect_main_display();
  }
}

TEST_F(Scan_Picks, LineAcrossTheZoomWindowTypedInItsPopUp) {
  using namespace pop_up_answers;
  make_field(1, 80, 100, [](int, int x, int y) { return static_cast<float>(x * y) / 8000.0f; });
  Display_Settings.Auto_Resize = false;
  const Pop_Up_Action ret = KEY("Return");
  auto typed = [&](const std::string& text) {
    Actions a{KEY("Escape")};
    for (const Pop_Up_Action& t : TEXT(text)) a.push_back(t);
    a.push_back(ret);
    return a;
  };
  struct Row {
    const char* name;
    std::int32_t code;
    Actions actions;
    Ends line;
  } rows[] = {
      {"Return takes the preset row", Command::Line_Scan_X, {ret}, {1, 51, 80, 51}},
      {"TAB ends the entry too", Command::Line_Scan_X, {KEY("Tab")}, {1, 51, 80, 51}},
      {"an empty entry gives the truncated middle", Command::Line_Scan_X, {KEY("Escape"), ret}, {1, 50, 80, 50}},
      {"a typed row", Command::Line_Scan_X, typed("37"), {1, 37, 80, 37}},
      {"the preset edited: BS", Command::Line_Scan_X, {KEY("Backspace"), ret}, {1, 5, 80, 5}},
      {"the preset edited: a digit appended", Command::Line_Scan_X, {TEXT("9")[0], ret}, {1, 100, 80, 100}},
      {"zero gives row 1", Command::Line_Scan_X, typed("0"), {1, 1, 80, 1}},
      {"letters as an empty entry", Command::Line_Scan_X, typed("ab"), {1, 50, 80, 50}},
      {"a typed column", Command::Line_Scan_Y, typed("12"), {12, 1, 12, 100}},
      {"a column beyond the field", Command::Line_Scan_Y, typed("500"), {80, 1, 80, 100}},
      {"the preset column", Command::Line_Scan_Y, {ret}, {41, 1, 41, 100}},
  };
  for (const Row& row : rows) {
    clear_console();
    Command_State.Command_Code = row.code;
    server_answers::ACT(row.actions);
    VIRTUAL_EDX_LINESCAN();
    EXPECT_EQ(ends(), row.line) << row.name;
    EXPECT_EQ(console(), "") << row.name;
    EXPECT_FALSE(Scan_Line.Probe_Overlay) << row.name;
    expect_main_display();
  }
}

TEST_F(Scan_Picks, TwentyLineScanPopUpsInARowAllOpen) {
  make_field(1, 20, 20, [](int, int, int) { return 0.5f; });
  Display_Settings.Auto_Resize = false;
  Command_State.Command_Code = Command::Line_Scan_X;
  for (int k = 1; k <= 20; ++k) {
    server_answers::ACT(pop_up_answers::KEY("Escape"));
    server_answers::ACT(pop_up_answers::TEXT(std::to_string(k)));
    server_answers::ACT(pop_up_answers::KEY("Return"));
    VIRTUAL_EDX_LINESCAN();
    ASSERT_EQ(Scan_Line.Scan_Y1, k) << "pop-up " << k;
    ASSERT_EQ(console(), "") << "pop-up " << k;
  }
  expect_main_display();
}

}  // namespace
