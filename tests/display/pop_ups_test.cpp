// Pop-up windows on a real kornd: the message window's layout, the yes/no question, the list,
// the text entry and the forms, answered by clicks and keys through the server's scripted
// input; the main display selected afterwards, no pop-up device left over.

#include <cpgplot.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "display/Pop_Up.h"
#include "display/Tools_Graphical.h"
#include "korin_client/Client_State.h"
#include "korin_client/Coordinates.h"
#include "korin_client/KRDRIV.h"
#include "korin_client/Korin.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "main/Initialise.h"
#include "tests/Server_Answers.h"

namespace {

using namespace pop_up_answers;
using Actions = std::vector<Pop_Up_Action>;

constexpr float Main_Height = 1.7f;

class Pop_Ups : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_GLOBALS();
    DEFAULT_SETTINGS();
    server_answers::START();
    cpgsch(Main_Height);
    SET_CONSOLE_STREAM(&console_);
    reads_ = server_answers::POP_UP_READS();
    unanswered_ = server_answers::UNANSWERED_READS();
  }
  void TearDown() override {
    SET_CONSOLE_STREAM(nullptr);
    EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u) << "an action was left unused";
    EXPECT_EQ(server_answers::UNANSWERED_READS(), unanswered_) << "a pop-up read found no action";
  }
  int reads() const { return server_answers::POP_UP_READS() - reads_; }
  // Every routine but a kept message returns with the main display selected, its height kept.
  static void expect_main_display() {
    int selected = 0;
    cpgqid(&selected);
    EXPECT_EQ(selected, Graphics_Units.Unit_Display);
    EXPECT_EQ(Graphics_Units.Unit_Current, Graphics_Units.Unit_Display);
    EXPECT_EQ(Graphics_Units.Unit_Pop_Up, No_Device);
    float height = 0;
    cpgqch(&height);
    EXPECT_FLOAT_EQ(height, Main_Height);
  }

  std::ostringstream console_;
  int reads_ = 0, unanswered_ = 0;
};

// The window pixel of a world point of the selected device.
Device_Point pixel_of(float x, float y) {
  float vx1, vx2, vy1, vy2, wx1, wx2, wy1, wy2;
  cpgqvp(3, &vx1, &vx2, &vy1, &vy2);
  cpgqwin(&wx1, &wx2, &wy1, &wy2);
  const double dx = vx1 + (x - wx1) / (wx2 - wx1) * (vx2 - vx1), dy = vy1 + (y - wy1) / (wy2 - wy1) * (vy2 - vy1);
  return TO_DEVICE(*KRblock(KRDRIV_WINDOW()), dx, dy);
}

// The colour of a window pixel, read back by the server.
unsigned colour_at(Device_Point p) {
  const int w = KRDRIV_WINDOW();
  KRwincmd1(w, 'F', p.x, p.y);
  return static_cast<unsigned>(KRblock(w)->a[2]) & 0xFFFFFFu;
}

// True when some pixel of the row at height y, across the paper, is not the background.
bool ink_in_row(float y, float width) {
  cpgupdt();
  const unsigned background = colour_at(pixel_of(0.02f, 0.02f));
  // The texts are centred: the middle of the paper is enough.
  const Device_Point left = pixel_of(width / 2 - 0.4f, y), right = pixel_of(width / 2 + 0.4f, y);
  for (int x = left.x; x <= right.x; ++x)
    if (colour_at(Device_Point{x, left.y}) != background) return true;
  return false;
}

TEST_F(Pop_Ups, MessageLinesTitleAndQuestionStandOnTheirRows) {
  const int unit = MESSAGE("TITLE", "HHHH", "HHHH", "HHHH", true, true, false);
  ASSERT_GT(unit, 0);
  int selected = 0;
  cpgqid(&selected);
  EXPECT_EQ(selected, unit) << "a kept message stays selected";
  EXPECT_EQ(Graphics_Units.Unit_Pop_Up, unit);
  float x1, x2, y1, y2;
  cpgqvsz(1, &x1, &x2, &y1, &y2);
  EXPECT_NEAR(x2 - x1, 4.0f, 0.02f);
  EXPECT_NEAR(y2 - y1, 2.0f, 0.02f);
  for (float y : {0.1f, 0.5f, 0.8f, 1.1f, 1.65f}) EXPECT_TRUE(ink_in_row(y + 0.06f, 4.0f)) << y;
  for (float y : {0.4f, 0.75f, 1.05f, 1.42f}) EXPECT_FALSE(ink_in_row(y, 4.0f)) << y;
  CLOSE_POP_UP();
  EXPECT_EQ(Graphics_Units.Unit_Pop_Up, No_Device);
  expect_main_display();
}

TEST_F(Pop_Ups, MessageWithoutSecondLineShowsOneAndClosesUnlessKept) {
  const int unit = MESSAGE(std::nullopt, "one", std::nullopt, "three", true);
  ASSERT_GT(unit, 0);
  float x1, x2, y1, y2;
  cpgqvsz(1, &x1, &x2, &y1, &y2);
  EXPECT_NEAR(y2 - y1, 0.6f, 0.02f) << "one row: the third line is not taken without the second";
  CLOSE_POP_UP();
  EXPECT_EQ(MESSAGE("Remove output", "gone"), No_Device);
  expect_main_display();
  EXPECT_EQ(reads(), 0);
}

TEST_F(Pop_Ups, WarningAnswers) {
  const Pop_Up_Action left_click = CLICK(2.0f, 1.0f, 4.0f, 1.6f);
  struct Row {
    const char* name;
    Actions actions;
    bool answer;
    int reads;
  } rows[] = {
      {"y", {TEXT("y")}, true, 1},
      {"N", {TEXT("N")}, false, 1},
      {"Return takes the default", {KEY("Return")}, false, 1},
      {"a left click takes the default", {left_click}, false, 1},
      {"TAB offers yes", {KEY("Tab"), KEY("Return")}, true, 2},
      {"a second TAB offers no", {KEY("Tab"), KEY("Tab"), KEY("Return")}, false, 3},
  };
  for (const Row& row : rows) {
    const int before = reads();
    server_answers::ACT(row.actions);
    EXPECT_EQ(WARNING("Remove output 2?", "It cannot be undone."), row.answer) << row.name;
    EXPECT_EQ(reads() - before, row.reads) << row.name;
    expect_main_display();
  }
}

TEST_F(Pop_Ups, TwentyPopUpsInARowAllOpen) {
  for (int k = 0; k < 20; ++k) {
    server_answers::ACT(TEXT("y"));
    ASSERT_TRUE(WARNING("again?")) << k;
  }
  EXPECT_EQ(console_.str(), "");
  expect_main_display();
}

// List of three entries on a paper 4.0 by 3.0: bands 0.475, 0.95, 1.35, 1.75, 2.225.
Pop_Up_Action at(float y) { return CLICK(2.0f, y, 4.0f, 3.0f); }

TEST_F(Pop_Ups, ListPicks) {
  const Pop_Up_Action ok = at(0.2f), all = at(0.75f), title = at(2.5f);
  struct Row {
    const char* name;
    bool initial, single;
    Actions actions;
    std::vector<bool> result;
  } rows[] = {
      {"OK keeps the initial state", false, false, {ok}, {false, false, false}},
      {"initial state true", true, false, {ok}, {true, true, true}},
      {"entry 1 near its lower band", false, false, {at(1.79f), ok}, {true, false, false}},
      {"entry 1 near its upper band", false, false, {at(2.19f), ok}, {true, false, false}},
      {"just below entry 1 is entry 2", false, false, {at(1.71f), ok}, {false, true, false}},
      {"a second pick deselects", false, false, {at(1.55f), at(1.55f), ok}, {false, false, false}},
      {"select all inverts", false, false, {at(1.55f), all, ok}, {true, false, true}},
      {"the title picks nothing", false, false, {title, ok}, {false, false, false}},
      {"single choice keeps the last", false, true, {at(1.55f), at(1.15f), ok}, {false, false, true}},
      {"single choice: the title clears", true, true, {title, ok}, {false, false, false}},
      {"a key picks at the cursor", false, false, {at(1.95f), TEXT("k")[0], ok}, {false, false, false}},
  };
  for (const Row& row : rows) {
    server_answers::ACT(row.actions);
    EXPECT_EQ(SELECT_STRINGS("Select solution(s)", {"first", "second", "third"}, row.initial, row.single),
              row.result)
        << row.name;
    expect_main_display();
  }
  server_answers::ACT(CLICK(2.0f, 0.2f, 4.0f, 1.8f));
  EXPECT_TRUE(SELECT_STRINGS("Select isoline(s)", {}).empty());
  server_answers::ACT(SELECTION({false, true, true}));
  EXPECT_EQ(SELECT_STRINGS("Select solution(s)", {"a", "b", "c"}), (std::vector<bool>{false, true, true}));
}

// Text entry on a pop-up opened by the test, paper 4.0 by 1.0.
class Text_Entry : public Pop_Ups {
 protected:
  Text_Field entry(Text_Field field, const Actions& actions, std::int32_t& tab_ended) {
    pop_up::Window window;
    EXPECT_TRUE(window.open(4.0f, 1.0f));
    cpgebuf();
    cpgsch(3.0f);
    server_answers::ACT(actions);
    PGRSTR(0.2f, 0.4f, 0.0f, field, tab_ended);
    float height = 0;
    cpgqch(&height);
    EXPECT_FLOAT_EQ(height, 3.0f) << "the height is restored";
    window.close();
    return field;
  }
};

TEST_F(Text_Entry, KeysEditTheText) {
  const Pop_Up_Action ret = KEY("Return");
  struct Row {
    const char* name;
    Text_Field field;
    Actions actions;
    std::string text;
    int tab_ended;
  } rows[] = {
      {"typing appends", {"2", 10}, {TEXT("5")[0], ret}, "25", 0},
      {"BS deletes", {"2", 10}, {TEXT("5")[0], KEY("Backspace"), ret}, "2", 0},
      {"DEL deletes", {"2", 10}, {KEY("Delete"), ret}, "", 0},
      {"ESC clears", {"2", 10}, {KEY("Escape"), ret}, "", 0},
      {"TAB ends", {"2", 10}, {KEY("Tab")}, "2", -1},
      {"a backslash stores an asterisk", {"2", 10}, {TEXT("\\")[0], ret}, "2*", 0},
      {"a full text ignores keys", {"0123456789", 10}, {TEXT("x")[0], ret}, "0123456789", 0},
      {"a left click stores A", {"2", 10}, {CLICK(2.0f, 0.5f, 4.0f, 1.0f), ret}, "2A", 0},
      {"BS on an empty text goes on", {"", 10}, {KEY("Backspace"), TEXT("7")[0], ret}, "7", 0},
  };
  for (const Row& row : rows) {
    std::int32_t tab_ended = 7;
    EXPECT_EQ(entry(row.field, row.actions, tab_ended).text, row.text) << row.name;
    EXPECT_EQ(tab_ended, row.tab_ended) << row.name;
    expect_main_display();
  }
}

// The echo's ink on the pop-up after the entry ended, sampled every hundredth of an inch in
// the band of the entry's row: its rightmost and its highest point, in window units.
struct Echo_Ink {
  int right = -1, top = -1;
};

Echo_Ink echo_ink(float x, float y_low, float y_high, float width) {
  cpgupdt();
  const unsigned background = colour_at(pixel_of(0.02f, 0.02f));
  Echo_Ink ink;
  float highest = -1.0f;
  for (float px = x; px < width; px += 0.01f)
    for (float py = y_low; py < y_high; py += 0.01f) {
      const Device_Point p = pixel_of(px, py);
      if (colour_at(p) == background) continue;
      ink.right = p.x;
      if (py > highest) highest = py, ink.top = p.y;
    }
  return ink;
}

TEST_F(Text_Entry, LongValueShrinksInFivePercentStepsAndGrowsBack) {
  constexpr float X = 0.2f, Y = 0.4f, Start = 8.0f, Width = 4.0f;
  const std::string long_text(60, 'W');  // more than twice the width at the start height
  struct Row {
    const char* name;
    Actions actions;
    std::string text;
  } rows[] = {
      {"typed long", TEXT(long_text), long_text},
      {"typed longer", TEXT(long_text + std::string(20, 'W')), long_text + std::string(20, 'W')},
      {"typed a little long", TEXT(long_text.substr(0, 33)), long_text.substr(0, 33)},
      {"typed long, then cut back", [&] {
         Actions a = TEXT(long_text);
         for (std::size_t k = 0; k + 3 < long_text.size(); ++k) a.push_back(KEY("Backspace"));
         return a;
       }(), "WWW"},
  };
  for (Row& row : rows) {
    pop_up::Window window;
    ASSERT_TRUE(window.open(Width, 1.0f));
    cpgebuf();
    // The height the echo must end at: the start height in 5 % steps down to the first that
    // fits; the boxes at it and one step smaller.
    float expected = Start;
    for (;;) {
      cpgsch(expected);
      if (pop_up::BOX(row.text, X, Y, 0.0f).x[2] <= Width) break;
      expected *= 0.95f;
    }
    const pop_up::Text_Box box = pop_up::BOX(row.text, X, Y, 0.0f);
    cpgsch(expected * 0.95f);
    const pop_up::Text_Box smaller = pop_up::BOX(row.text, X, Y, 0.0f);
    cpgsch(Start);
    const int tolerance = std::abs(pixel_of(0.05f, 0.0f).x - pixel_of(0.0f, 0.0f).x);  // 0.05 inch

    Text_Field field{"", 80};
    std::int32_t tab_ended = 0;
    row.actions.push_back(KEY("Return"));
    server_answers::ACT(row.actions);
    PGRSTR(X, Y, 0.0f, field, tab_ended);
    EXPECT_EQ(field.text, row.text) << row.name;
    const Echo_Ink ink = echo_ink(X, Y - 0.05f, Y + 0.3f, Width - 0.05f);  // clear of the window's edges
    EXPECT_LE(ink.right, pixel_of(box.x[2], Y).x + tolerance) << row.name << ": the echo ends inside its box";
    if (expected < Start) {
      EXPECT_GT(ink.right, pixel_of(smaller.x[2], Y).x + tolerance) << row.name << ": not one step smaller";
    }
    const int box_height = std::abs(pixel_of(X, box.y[1]).y - pixel_of(X, box.y[0]).y);
    EXPECT_NEAR(ink.top, pixel_of(X, box.y[1]).y, box_height / 4) << row.name << ": the echo's height";
    window.close();
    expect_main_display();
  }
}

TEST_F(Pop_Ups, FittingShrinksInFivePercentStepsAndEndsWhereNothingFits) {
  pop_up::Window window;
  ASSERT_TRUE(window.open(4.0f, 1.0f));
  cpgebuf();
  const std::string text(200, 'W');  // about 11 inches at height 3
  const float h = pop_up::FIT(text, 0.2f, 0.4f, 0.0f, 3.0f, 4.0f, true);
  EXPECT_LT(h, 3.0f);
  EXPECT_LE(pop_up::BOX(text, 0.2f, 0.4f, 0.0f).x[2], 4.0f);
  cpgsch(h / 0.95f);
  EXPECT_GT(pop_up::BOX(text, 0.2f, 0.4f, 0.0f).x[2], 4.0f) << "one step larger would not fit";
  EXPECT_FLOAT_EQ(pop_up::FIT("W", 0.2f, 0.4f, 0.0f, 3.0f, 4.0f, true), 3.0f) << "a short text keeps its height";
  EXPECT_GT(pop_up::FIT("W", 5.0f, 0.4f, 0.0f, 3.0f, 4.0f, true), 0.0f) << "a point beyond the width ends the loop";
  window.close();
}

TEST_F(Pop_Ups, TwoStringsForm) {
  std::array<Text_Field, 2> values{Text_Field{"1.0", 20}, Text_Field{"2.0", 20}};
  server_answers::ACT(TWO_VALUES("2.5", "9"));
  READ_TWO_STRINGS("\\fiCase_f2.zlt", {"\\fiMinimum value:", "\\fiMaximum value:"}, values);
  EXPECT_EQ(values[0].text, "2.5");
  EXPECT_EQ(values[1].text, "9");
  expect_main_display();

  // Picks below "OK" and above the title are ignored; a pick on "OK" ends the form.
  const int before = reads();
  server_answers::ACT({CLICK(2.5f, 0.05f, 5.0f, 2.25f), CLICK(2.5f, 2.1f, 5.0f, 2.25f), CLICK(2.5f, 0.4f, 5.0f, 2.25f)});
  READ_TWO_STRINGS("\\fiLimits", {"\\fiA:", "\\fiB:"}, values);
  EXPECT_EQ(reads() - before, 3);
  EXPECT_EQ(values[0].text, "2.5");
  EXPECT_EQ(values[1].text, "9");
}

TEST_F(Pop_Ups, FormWithSwitch) {
  // Paper 5.0 by 2.5: rows 2.125, 1.375, 1.0, 0.625, 0.15.
  auto at = [](float y) { return CLICK(2.5f, y, 5.0f, 2.5f); };
  const std::array<std::string, 2> texts{"   Row major", "Column major"};
  std::vector<Text_Field> values{{"    3", 10}, {"    1", 10}};
  bool row_major = true;
  auto form = [&](const Actions& actions) {
    server_answers::ACT(actions);
    READ_STRINGS_LOGICAL("\\fiNumber of panels", 2, {"\\fiHorizontal:", "\\fiVertical:"}, values, "\\fiOrder:",
                         row_major, texts);
    expect_main_display();
  };
  int before = reads();
  form({at(0.8f), KEY("Return"), KEY("Return"), at(2.3f), at(2.3f)});  // flips twice, keeps the focus
  EXPECT_TRUE(row_major);
  EXPECT_EQ(reads() - before, 5);
  form({at(0.8f), KEY("Return"), at(2.3f), at(2.3f)});
  EXPECT_FALSE(row_major);
  before = reads();
  form({at(0.4f), at(1.8f)});  // "OK" takes the focus, the next click ends
  EXPECT_EQ(reads() - before, 2);
  before = reads();
  form({at(2.3f)});  // above the title: ends at once
  EXPECT_EQ(reads() - before, 1);
  form(FORM_VALUES("2", "4", true));
  EXPECT_EQ(values[0].text, "2");
  EXPECT_EQ(values[1].text, "4");
  EXPECT_TRUE(row_major);
}

TEST_F(Pop_Ups, FormWithWrongFieldCountStops) {
  std::vector<Text_Field> values(4, Text_Field{"1", 5});
  bool value = true;
  EXPECT_THROW(READ_STRINGS_LOGICAL("\\fiX", 4, {"a", "b", "c", "d"}, values, "s", value, {"y", "n"}), Program_Stop);
  EXPECT_EQ(console_.str(), "\n\n Routine 'Read_Strings_Logical' called with wrong parameters!\n\n\n");
}

TEST_F(Pop_Ups, NoWindowLeftToOpen) {
  std::vector<int> filler;
  for (int k = 0; k < 8; ++k) {
    const int unit = cpgopen("/NULL");
    if (unit > 0) filler.push_back(unit);
  }
  server_answers::START();
  cpgsch(Main_Height);
  const std::string message = "\nUnable to open secondary display!\n\n";
  EXPECT_LE(MESSAGE("T", "line"), 0);
  EXPECT_FALSE(WARNING("Remove?"));
  EXPECT_EQ(SELECT_STRINGS("S", {"a", "b"}, true), (std::vector<bool>{true, true}));
  std::array<Text_Field, 2> two{Text_Field{"1", 20}, Text_Field{"2", 20}};
  READ_TWO_STRINGS("T", {"a", "b"}, two);
  EXPECT_EQ(two[1].text, "2");
  std::vector<Text_Field> values{{"3", 10}, {"4", 10}};
  bool value = true;
  READ_STRINGS_LOGICAL("T", 2, {"a", "b"}, values, "s", value, {"y", "n"});
  EXPECT_EQ(values[0].text, "3");
  EXPECT_TRUE(value);
  expect_main_display();
  std::string expected;
  for (int k = 0; k < 5; ++k) expected += message;
  EXPECT_EQ(console_.str(), expected);
  for (int unit : filler) {
    cpgslct(unit);
    cpgclos();
  }
  EXPECT_EQ(reads(), 0);
}

}  // namespace
