// Isoline commands: which files they act on, automatic and typed values, removal from a pick
// list, the listing; typed answers through a real server's dialog.

#include "display/Isolines.h"

#include <sstream>

#include "display/Grid.h"
#include "display/Length_Scale.h"
#include "records/Console.h"
#include "tests/Server_Answers.h"
#include "tests/display/Display_Case.h"

namespace {

class Isoline_Lists : public Console_Display_Case {
 protected:
  void files(int n) {
    make_files(std::vector<float>(static_cast<std::size_t>(n), 0.5f), 4, 4);
    auto& iso = Isoline_Data;
    for (auto* a : {&iso.Display_Isolines, &iso.Display_Contours}) a->ALLOCATE({Bounds{1, n}});
    iso.Isoline_Number.ALLOCATE({Bounds{1, n}});
    Result_Set.Selected_Solutions.ALLOCATE({Bounds{1, n}});
  }
  void run(int code, int choice = 0) {
    Command_State.Command_Code = code;
    Command_State.Isoline_Count_Choice = choice;
    console_.str("");
    ISOLINES();
  }
  static std::vector<float> values(int k) {
    std::vector<float> v;
    for (int j = 1; j <= Isoline_Data.Isoline_Number(k); ++j) v.push_back(Isoline_Data.Isoline_values(k, j));
    return v;
  }
  // Cursor reads of pop-ups so far (a list read once per pick and once for "OK").
  static int reads() { return server_answers::POP_UP_READS(); }
  // "OK" at the bottom of a list: nothing picked.
  static void answer_ok() { server_answers::ACT(pop_up_answers::CLICK(0.5f, 0.05f, 1.0f, 1.0f)); }
};

TEST_F(Isoline_Lists, OneFileAutomaticValuesInOrderAndNoRepeats) {
  files(1);
  const int before = reads();
  run(61, 3);
  EXPECT_EQ(values(1), (std::vector<float>{0.75f, 0.5f, 0.25f}));
  EXPECT_EQ(console_.str(), "\nf1: isolines\n 0.7500000    \n 0.5000000    \n 0.2500000    \n\n");
  EXPECT_EQ(Command_State.Command_Code, 23);
  server_answers::TYPE("0.5");
  run(63);
  EXPECT_EQ(values(1), (std::vector<float>{0.75f, 0.5f, 0.25f}));
  server_answers::TYPE("nan");  // not finite: asked again
  server_answers::TYPE("0.6");
  run(63);
  EXPECT_EQ(values(1), (std::vector<float>{0.75f, 0.6f, 0.5f, 0.25f}));
  EXPECT_NE(console_.str().find("\nUnable to read value!\n"), std::string::npos);
  EXPECT_EQ(reads(), before);  // one file: never a selection window
  run(65);
  run(61, 1);
  EXPECT_EQ(values(1), (std::vector<float>{0.5f}));
}

TEST_F(Isoline_Lists, TypedCountOfAutomaticIsolines) {
  files(1);
  server_answers::TYPE("x");
  run(62);
  EXPECT_EQ(console_.str(), "");  // no message, no change, no listing
  EXPECT_FALSE(Isoline_Data.Isoline_values.ALLOCATED());
  server_answers::TYPE("3");
  run(62);
  EXPECT_EQ(console_.str().substr(0, 16), "            3 3\n");
  EXPECT_EQ(Isoline_Data.Isoline_Number(1), 3);
  // A count that would size the list beyond reason is bounded first.
  run(61, 2000000000);
  EXPECT_NE(console_.str().find("limited to 1000"), std::string::npos);
  EXPECT_EQ(Isoline_Data.Isoline_Number(1), 3 + Max_Automatic_Isolines);
  // Limits that are not finite add nothing.
  run(65);
  Result_Set.Current_Max(1) = std::numeric_limits<float>::infinity();
  run(61, 3);
  EXPECT_EQ(Isoline_Data.Isoline_Number(1), 0);
}

TEST_F(Isoline_Lists, OnlyTheFileWithIsolinesIsTakenWithoutAsking) {
  files(2);
  server_answers::ACT(pop_up_answers::SELECTION({false, true}));
  run(61, 2);  // adding always asks
  EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u);
  const int asked = reads();
  for (int code : {59, 66}) run(code);
  EXPECT_EQ(reads(), asked);
  answer_ok();
  run(64);  // i+r lists the lines of file 2
  EXPECT_EQ(reads(), asked + 1);
  EXPECT_TRUE(Isoline_Data.Display_Contours(2));  // i+c switched it on
  EXPECT_EQ(Isoline_Data.Isoline_Number(2), 2);   // i+r picked nothing
  EXPECT_EQ(Isoline_Data.Isoline_Number(1), 0);
  run(65);
  EXPECT_EQ(reads(), asked + 1);
  EXPECT_EQ(Isoline_Data.Isoline_Number(2), 0);
  EXPECT_FALSE(Isoline_Data.Display_Contours(2));  // nothing left to show
  EXPECT_FALSE(Isoline_Data.Isoline_values.ALLOCATED());
  server_answers::TYPE("1");
  answer_ok();
  run(63);  // i+a asks which files: none chosen
  EXPECT_EQ(reads(), asked + 2);
  EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u);
}

TEST_F(Isoline_Lists, RemovalFromPickListWithUnequalCounts) {
  files(2);
  server_answers::ACT(pop_up_answers::SELECTION({true, false}));
  run(61, 3);
  server_answers::ACT(pop_up_answers::SELECTION({false, true}));
  run(61, 1);
  server_answers::ACT(pop_up_answers::SELECTION({false, true}));
  run(61, 2);  // file 2: 0.6667, 0.5, 0.3333 -> 0.5 repeated: 0.667, 0.5, 0.333
  server_answers::ACT(pop_up_answers::SELECTION({true, true}));  // the files
  server_answers::ACT(pop_up_answers::SELECTION({false, false, true}));  // the third line
  Isoline_Data.Isoline_Number(2) = 2;  // file 2 keeps two of its values
  run(64);
  EXPECT_NE(console_.str().find("\nWarning: number of isolines not constant among selection!\n\n"), std::string::npos);
  EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u);  // the files, then the line of the list
  EXPECT_EQ(values(1), (std::vector<float>{0.75f, 0.5f}));
  EXPECT_EQ(Isoline_Data.Isoline_Number(2), 2);
  EXPECT_FALSE(Isoline_Data.Selected_Isolines.ALLOCATED());
  EXPECT_EQ(Isoline_Data.Isoline_values.EXTENT(1), 2);  // shrunk to the largest count
  EXPECT_EQ(Command_State.Command_Code, 23);
}

TEST_F(Isoline_Lists, LastIsolineRemovedEndsContourOnly) {
  files(1);
  run(61, 1);
  run(66);
  EXPECT_TRUE(Isoline_Data.Display_Contours(1));
  EXPECT_NE(console_.str().find("f1: contours"), std::string::npos);
  run(64);  // one isoline: removed without a pick list
  EXPECT_EQ(Isoline_Data.Isoline_Number(1), 0);
  EXPECT_FALSE(Isoline_Data.Display_Contours(1));
  EXPECT_FALSE(Isoline_Data.Isoline_values.ALLOCATED());
  run(66);  // nothing to switch
  EXPECT_FALSE(Isoline_Data.Display_Contours(1));
}

TEST_F(Isoline_Lists, ListingShowsDisplayedFilesOnly) {
  files(1);
  server_answers::TYPE("12345678");
  run(63);
  run(67);
  EXPECT_EQ(console_.str(), "\nf1: isolines\n 0.1234568E+08\n\n");
  run(59);
  EXPECT_EQ(console_.str(), "\n\n");
  run(60);
  EXPECT_TRUE(Isoline_Data.Display_Isoline_Labels);
}

TEST_F(Isoline_Lists, GridDialogAsksUntilAtLeastOneLine) {
  files(1);
  for (const char* line : {"x", "0", "-3", "7"}) server_answers::TYPE(line);
  Command_State.Command_Code = 47;
  GRID();
  EXPECT_EQ(Display_Settings.Grid_Lines, 7);
  EXPECT_EQ(Command_State.Command_Code, 23);
}

TEST_F(Isoline_Lists, LengthDialogKeepsTheOldLengthUnlessFiniteAndNotNegative) {
  files(1);
  auto& s = Display_Settings;
  Result_Geometry.Grid_Spacing = 1.0e-4f;
  s.Scale_Length = 20.0f;
  struct Row {
    const char* typed;
    float spacing, expected;
  } rows[] = {{"50", 1.0e-4f, 50.0f}, {"abc", 1.0e-4f, 50.0f}, {"inf", 1.0e-4f, 50.0f},
              {"-5", 1.0e-4f, 50.0f}, {"10", 0.0f, 50.0f},      {"10", 1.0e-4f, 10.0f}};
  for (const Row& row : rows) {
    Result_Geometry.Grid_Spacing = row.spacing;
    server_answers::TYPE(row.typed);
    SET_LENGTH_SCALE();
    EXPECT_FLOAT_EQ(s.Scale_Length, row.expected) << row.typed;
  }
}

}  // namespace
