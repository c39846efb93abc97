// Start-up extrema of the result files (every extrema mode, the wrap-around scan, a
// file that shrinks), and the bit-exact byte reversal.

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <random>

#include "result_files/Extrema.h"
#include "result_files/Module_Byteswap.h"
#include "tests/result_files/Case_Fixture.h"

namespace {

class Find_Extrema : public Case_Fixture {};

// Outputs whose cell values lie between -k and 10 k (k = output number).
std::vector<sample::Output> spread_outputs(int count) {
  std::vector<sample::Output> outputs;
  for (int k = 1; k <= count; ++k) outputs.push_back({1.0 * k, {-1.0 * k, 0.5, 2.0, 10.0 * k, 1.0, 3.0}});
  return outputs;
}

TEST_F(Find_Extrema, StartUpModes) {
  struct Row {
    Encoding encoding;
    int code, mode;
    bool last_at_start;
    float minimum, maximum;
    int number_after;  // Time_Step_Number after READ_GEOF
  } rows[] = {
      {Encoding::Single, 1, 1, false, -4.0f, 40.0f, 0}, {Encoding::Single, 1, 2, false, -1.0f, 10.0f, 0},
      {Encoding::Single, 1, 3, false, -4.0f, 40.0f, 0}, {Encoding::Single, 1, 3, true, -4.0f, 40.0f, 4},
      {Encoding::Single, 1, 4, false, -2.5f, 7.5f, 0},  {Encoding::Double, 2, 2, false, -1.0f, 10.0f, 0},
      {Encoding::Ascii, 3, 1, false, -4.0f, 40.0f, 0},  {Encoding::Ascii, 3, 3, true, -4.0f, 40.0f, 4},
      {Encoding::Single_Big_Endian, 4, 1, false, -4.0f, 40.0f, 0},
      {Encoding::Single_Big_Endian, 4, 3, true, -4.0f, 40.0f, 4},
      {Encoding::Double_Big_Endian, 7, 3, true, -4.0f, 40.0f, 4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.code) + " mode " + std::to_string(row.mode) + (row.last_at_start ? " last" : ""));
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    write_case(row.encoding, {3, 1, 2, 1e-4}, {spread_outputs(4)});
    Result_Set.Extrema_Mode = row.mode;
    Result_Set.Global_Minimum = -2.5f;
    Result_Set.Global_Maximum = 7.5f;
    Startup_Options.Last_At_Start = row.last_at_start;
    ASSERT_TRUE(open(row.code)) << console();
    EXPECT_EQ(Result_Set.Computed_Min(1), row.minimum);
    EXPECT_EQ(Result_Set.Computed_Max(1), row.maximum);
    EXPECT_EQ(Result_Set.Time_Step_Number(1), row.number_after);
    EXPECT_EQ(Command_State.Time_Step_Command, 1);
    // The first pass shows output 1; with "--Last" the main program steps a sequential
    // file back over the output the scan left it behind (its count with it) and moves
    // to the last output.
    if (row.last_at_start && Result_Set.Sequential_Reading) {
      ASSERT_TRUE(UNIT(114).BACKSPACE());
      --Result_Set.Time_Step_Number(1);
    }
    ASSERT_TRUE(move(row.last_at_start ? 2 : 1));
    EXPECT_EQ(Result_Set.Time_Step_Number(1), row.last_at_start ? 4 : 1);
    EXPECT_EQ(Result_Set.Time(1), row.last_at_start ? 4.0f : 1.0f);
  }
}

TEST_F(Find_Extrema, EqualLimitsAreSeparated) {
  struct Row {
    double value;
    float minimum, maximum;
  } rows[] = {{0.0, -5.0e-6f, 5.0e-6f},
              {2.0, 2.0f * 0.999995f, 2.0f * 1.000005f},
              {-2.0, -2.0f * 1.000005f, -2.0f * 0.999995f},
              {4.0e-6, -5.0e-6f, 5.0e-6f}};
  for (const auto& row : rows) {
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    write_case(Encoding::Single, {3, 1, 2, 1e-4}, {{{0.0, std::vector<double>(6, row.value)}}});
    ASSERT_TRUE(open(1));
    EXPECT_EQ(Result_Set.Computed_Min(1), row.minimum) << row.value;
    EXPECT_EQ(Result_Set.Computed_Max(1), row.maximum) << row.value;
    EXPECT_LT(Result_Set.Computed_Min(1), Result_Set.Computed_Max(1));
  }
}

TEST_F(Find_Extrema, RescanVisitsEveryOutputOnceAndKeepsThePlace) {
  for (auto [encoding, code] : {std::pair{Encoding::Single, 1}, std::pair{Encoding::Single_Big_Endian, 4}}) {
    SCOPED_TRACE(code);
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    write_case(encoding, {3, 1, 2, 1e-4}, {spread_outputs(8)});
    Result_Set.Extrema_Mode = 2;
    ASSERT_TRUE(open(code));
    EXPECT_EQ(Result_Set.Computed_Max(1), 10.0f);
    for (int k = 0; k < 5; ++k) ASSERT_TRUE(move(1));
    float minimum = 0, maximum = 0;
    FIND_EXTREMA(false, 1, 114, minimum, maximum);
    EXPECT_EQ(minimum, -8.0f);
    EXPECT_EQ(maximum, 80.0f);
    EXPECT_EQ(Result_Set.Time_Step_Number(1), 5);
    ASSERT_TRUE(move(1));
    EXPECT_EQ(Result_Set.Time(1), 6.0f);
  }
}

TEST_F(Find_Extrema, RescanEndsWhenTheFileShrank) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {spread_outputs(8)});
  Result_Set.Extrema_Mode = 2;
  ASSERT_TRUE(open(1));
  for (int k = 0; k < 6; ++k) ASSERT_TRUE(move(1));
  sample::WRITE_RESULTS(result_path(1), Encoding::Single, spread_outputs(3));
  float minimum = 0, maximum = 0;
  FIND_EXTREMA(false, 1, 114, minimum, maximum);  // must return
  EXPECT_EQ(maximum, 60.0f);  // the output shown stays part of the range
  EXPECT_EQ(minimum, -6.0f);
}

TEST(Byteswap, ReversalIsBitExact) {
  std::mt19937_64 random(5577);
  const std::uint64_t patterns[] = {0x7FF0000000000001ull, 0x7FF4000000000000ull, 0xFFF0000000000001ull,
                                    0x0000000000000001ull, 0x8000000000000000ull, 0x0123456789ABCDEFull};
  for (int k = 0; k < 1000; ++k) {
    const std::uint64_t bits = k < 6 ? patterns[k] : random();
    double value;
    std::memcpy(&value, &bits, 8);
    CONVERT_DOUBLE(value);
    std::uint64_t once;
    std::memcpy(&once, &value, 8);
    EXPECT_EQ(once, __builtin_bswap64(bits));
    CONVERT_DOUBLE(value);
    std::uint64_t twice;
    std::memcpy(&twice, &value, 8);
    EXPECT_EQ(twice, bits);
  }
  // Single precision: a signalling NaN pattern passes unchanged both ways.
  const std::uint32_t signalling = 0x7F800001u;
  float single;
  std::memcpy(&single, &signalling, 4);
  CONVERT_SINGLE(single);
  std::uint32_t bits;
  std::memcpy(&bits, &single, 4);
  EXPECT_EQ(bits, 0x0100807Fu);
  CONVERT_SINGLE(single);
  std::memcpy(&bits, &single, 4);
  EXPECT_EQ(bits, signalling);
  std::int32_t integer = 0x18;
  CONVERT_INTEGER(integer);
  EXPECT_EQ(integer, 0x18000000);
}

TEST_F(Find_Extrema, CellOrder) {
  // AnzX 3, AnzY 1, AnzZ 2: the fourth value belongs to cell (1, 1, 2).
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {{{0.0, {1, 2, 3, 4, 5, 6}}}});
  ASSERT_TRUE(open(1));
  ASSERT_TRUE(move(1));
  EXPECT_EQ(Result_Set.Buffer_Array_Single(1, 1, 1, 2), 4.0f);
  EXPECT_EQ(shown(1, 1, 2), 4.0f);
}

}  // namespace
