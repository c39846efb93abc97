// The number readers of option words, the front end's triple reader, the geometry-name
// rule and the automatic panel grid, called directly.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "main/Command_Line_Parts.h"
#include "records/Console.h"
#include "main/Option_Numbers.h"
#include "records/Read_Input_F.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

// The console of a stopped read, or "" when the reader returned.
template <typename Read>
std::string stop_transcript(Read read) {
  Console_Capture console;
  try {
    read();
  } catch (const Program_Stop& stop) {
    EXPECT_EQ(stop.exit_code, 1);
    return console.text();
  }
  return "";
}

std::string read_error(const std::string& routine, const std::string& input) {
  return "\nRead error in '" + routine + "'\n\n\nInput Error: " + input + "\n\n";
}

TEST(Read_Integer_Input, ReadsTheNumberAfterTheKey) {
  const struct {
    const char* word;
    char key;
    std::int32_t value;
  } cases[] = {
      {"-m7", 'm', 7},         {"-m07", 'm', 7},     {"-m-3", 'm', -3},      {"-m+3", 'm', 3},
      {"-m7a", 'm', 7},        {"-m3.5", 'm', 3},    {"-p2x3", 'p', 2},      {"-p2x3", 'x', 3},
      {"-P2X3", 'p', 2},       {"-P2X3", 'x', 3},    {"-Xp2x3", 'x', 3},     {"--Skip:4", ':', 4},
      {"--Position:100x200", ':', 100}, {"--Position:100x200", 'x', 200},
      {"-n4", 'n', 4},         {"-N12", 'n', 12},    {"-m2147483647", 'm', 2147483647},
      {"-m-2147483648", 'm', std::numeric_limits<std::int32_t>::min()},
  };
  for (const auto& c : cases) EXPECT_EQ(READ_INTEGER_INPUT(c.word, c.key), c.value) << c.word << " " << c.key;
}

TEST(Read_Integer_Input, StopsWithTheWholeWordOnAnUnreadableField) {
  const struct {
    const char* word;
    char key;
  } cases[] = {
      {"-m", 'm'},      {"-p2x", 'x'},          {"-px3", 'p'},  {"-q3", 'x'},           {"-p2", 'x'},
      {"-m-", 'm'},     {"-m2147483648", 'm'},  {"-mx", 'm'},   {"--Position:100", 'x'},
      {"--Skip:", ':'}, {"-m99999999999999999999", 'm'},
  };
  for (const auto& c : cases)
    EXPECT_EQ(stop_transcript([&] { READ_INTEGER_INPUT(c.word, c.key); }), read_error("Read integer input", c.word))
        << c.word;
}

TEST(Read_Number_Input, ReadsOneRealInFreeForm) {
  const struct {
    const char* text;
    float value;
  } cases[] = {
      {"0.25", 0.25f}, {"-1e-3", -0.001f}, {"2", 2.0f},      {"1.5D2", 150.0f}, {"+.5", 0.5f},
      {"7.", 7.0f},    {"  3,4", 3.0f},    {"6/ignored", 6.0f}, {"-2.5E+1 x", -25.0f},
      {"3.4e38", 3.4e38f},
  };
  for (const auto& c : cases) EXPECT_EQ(READ_NUMBER_INPUT(c.text), c.value) << c.text;
}

TEST(Read_Number_Input, StopsWithTheTextOnAnythingElse) {
  // nan, inf and values beyond single precision would poison the colour limits.
  for (const char* text : {"", "   ", "low", "0.25x", "nan", "inf", "-infinity", "1e39", "-1e300", "1e999", "1e",
                           ".", "+", "1..2", "0x10"})
    EXPECT_EQ(stop_transcript([&] { READ_NUMBER_INPUT(text); }),
              read_error("Read number input", std::string(text).substr(0, std::string(text).find_last_not_of(' ') + 1)))
        << text;
}

TEST(Number_Field, ExcludesOnlyTheDigitsReadAfterTheKey) {
  const struct {
    const char* word;
    char key;
    std::size_t start, length;
  } cases[] = {
      {"-m14", 'm', 2, 2}, {"-p12x3", 'p', 2, 2}, {"-p12x3", 'x', 5, 1}, {"-m-3", 'm', 2, 2},
      {"-m", 'm', 2, 0},   {"-q3", 'x', 0, 1},   {"-4m7", 'm', 3, 1},
  };
  for (const auto& c : cases) {
    const Number_Field field = NUMBER_FIELD(c.word, c.key);
    EXPECT_EQ(field.start, c.start) << c.word << " " << c.key;
    EXPECT_EQ(field.length, c.length) << c.word << " " << c.key;
  }
}

TEST(Read_Integers_F, ReadsTriplesAsTheFrontEndWritesThem) {
  const struct {
    const char* input;
    Triple_Status status;
    std::int32_t i, j, k;  // after the read; 5 5 5 before
  } cases[] = {
      {"0 6 4\n", Triple_Status::Ok, 0, 6, 4},
      {"0\n6\n4\n", Triple_Status::Ok, 0, 6, 4},
      {"  0x1A\t017 -5", Triple_Status::Ok, 26, 15, -5},
      {"+0X10 0 -0x1", Triple_Status::Ok, 16, 0, -1},
      {"2147483647 -2147483648 00", Triple_Status::Ok, 2147483647, std::numeric_limits<std::int32_t>::min(), 0},
      {"", Triple_Status::End_Of_Input, 5, 5, 5},
      {"1 2", Triple_Status::End_Of_Input, 1, 2, 5},
      // A word that reads only in part is not a number: it never splits into two integers.
      {"09 1 2", Triple_Status::Not_A_Number, 5, 5, 5},
      {"1 1x 2", Triple_Status::Not_A_Number, 1, 5, 5},
      {"1 2 2147483648", Triple_Status::Not_A_Number, 1, 2, 5},
      {"0x 1 2", Triple_Status::Not_A_Number, 5, 5, 5},
      {"q 1 2", Triple_Status::Not_A_Number, 5, 5, 5},
      {"-+1 1 2", Triple_Status::Not_A_Number, 5, 5, 5},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.input);
    std::int32_t i = 5, j = 5, k = 5;
    EXPECT_EQ(READ_INTEGERS_F(i, j, k, in), c.status) << c.input;
    EXPECT_EQ(i, c.i) << c.input;
    EXPECT_EQ(j, c.j) << c.input;
    EXPECT_EQ(k, c.k) << c.input;
  }
}

TEST(Read_Integers_F, GoesOnWithTheNextTripleOfTheStream) {
  std::istringstream in("23 1 0\n7 2\n3\n");
  std::int32_t i = 0, j = 0, k = 0;
  ASSERT_EQ(READ_INTEGERS_F(i, j, k, in), Triple_Status::Ok);
  ASSERT_EQ(READ_INTEGERS_F(i, j, k, in), Triple_Status::Ok);
  EXPECT_EQ(i * 100 + j * 10 + k, 723);
  EXPECT_EQ(READ_INTEGERS_F(i, j, k, in), Triple_Status::End_Of_Input);
}

TEST(Read_String_F, KeepsLinesWhole) {
  const std::string long_word(1200, 'w');
  std::istringstream in(" a b \n" + long_word + "\n\nlast");
  std::string text;
  ASSERT_TRUE(READ_STRING_F(text, in));
  EXPECT_EQ(text, " a b ");
  ASSERT_TRUE(READ_STRING_F(text, in));
  EXPECT_EQ(text, long_word);
  ASSERT_TRUE(READ_STRING_F(text, in));
  EXPECT_EQ(text, "");
  ASSERT_TRUE(READ_STRING_F(text, in));
  EXPECT_EQ(text, "last");
  EXPECT_FALSE(READ_STRING_F(text, in));
}

TEST(Geometry_File_Name, FollowsTheFirstResultFile) {
  const struct {
    const char* first_result;
    const char* geometry;
  } cases[] = {
      {"Case_phas.zlt", "Case_geoF.zlt"},
      {"CASE_PHAS.ZLT", "CASE_GEOF.ZLT"},
      {"Case_phas.zlt.gz", "Case_geoF.zlt"},
      {"Case.phas", "Case.geoF"},
      {"Case.phas.gz", "Case.geoF"},
      {"Case.phas.zip", "Case.geoF"},
      {"Case_phas.zlt   ", "Case_geoF.zlt"},
      {"A_b_conc.zlt", "A_b_geoF.zlt"},
      {"case.zlt", "_geoF.zlt"},
      {"Case", ".geoF"},
      // Only the file's own name counts: the folder is kept as it is.
      {"my_runs/Case_phas.zlt", "my_runs/Case_geoF.zlt"},
      {"my_runs/case.zlt", "my_runs/_geoF.zlt"},
      {"D:\\my_runs\\case.zlt", "D:\\my_runs\\_geoF.zlt"},
      {"run.v2/Case", "run.v2/.geoF"},
      {"run.zlt/Case.phas", "run.zlt/Case.geoF"},
  };
  for (const auto& c : cases) EXPECT_EQ(GEOMETRY_FILE_NAME(c.first_result), c.geometry) << c.first_result;
}

TEST(Automatic_Panel_Grid, GrowsWithThePictures) {
  const Panel_Count expected[] = {{1, 1}, {2, 1}, {2, 2}, {2, 2}, {3, 2}, {3, 2}, {3, 3},
                                  {3, 3}, {3, 3}, {4, 3}, {4, 3}, {4, 3}, {4, 4}};
  for (std::int32_t k = 1; k <= 13; ++k) {
    const Panel_Count grid = AUTOMATIC_PANEL_GRID(k);
    EXPECT_EQ(grid.across, expected[k - 1].across) << k;
    EXPECT_EQ(grid.down, expected[k - 1].down) << k;
    EXPECT_GE(grid.across * grid.down, k);
  }
}

TEST(Unquoted_Word, DropsDoubleQuotesAroundTheWord) {
  const struct {
    const char* word;
    const char* unquoted;
  } cases[] = {{"\"-s\"", "-s"}, {"\"", ""}, {"\"\"", ""}, {"\"a b\"  ", "a b"}, {"'-s'", "'-s'"},
               {"\"-s", "\"-s"}, {"-s  ", "-s"}};
  for (const auto& c : cases) EXPECT_EQ(UNQUOTED_WORD(c.word), c.unquoted) << c.word;
}

}  // namespace
