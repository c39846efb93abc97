// Time-step moves and reading one output: wrap-around, previous and last, seeks, the
// record-number codes, inconsistent and truncated records, growing files, ASCII files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/Server_Answers.h"
#include "result_files/Input_Layer.h"
#include "tests/result_files/Case_Fixture.h"
#include "tests/result_files/Sparse_Records.h"

namespace {

class Read_Moves : public Case_Fixture {
 protected:
  // Output number shown by file i (from its first value, 100 k + 0).
  int output_shown(int i = 1) const { return static_cast<int>(shown(i, 1)) / 100; }
  void SetUp() override {
    Case_Fixture::SetUp();
    server_answers::START();
    reads_ = server_answers::POP_UP_READS();
  }
  void TearDown() override {
    EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u) << "a pop-up expected was not shown";
    EXPECT_EQ(server_answers::UNANSWERED_READS(), 0) << "a pop-up came unexpected";
    Case_Fixture::TearDown();
  }
  int reads_ = 0;
};

TEST_F(Read_Moves, MovesWrapAroundInEveryBinaryCode) {
  // Each step: the move, then the output shown, its number and the time.
  const struct Step {
    int command;
    int output;
  } steps[] = {{1, 1}, {1, 2}, {1, 3}, {1, 1}, {-1, 3}, {-1, 2}, {2, 3}, {2, 3}, {-2, 1}, {-1, 3}, {0, 3}};
  struct Code {
    Encoding encoding;
    int code;
  } codes[] = {{Encoding::Single, 1}, {Encoding::Double, 2}, {Encoding::Single_Big_Endian, 4},
               {Encoding::Double_Big_Endian, 5}, {Encoding::Single_Big_Endian, 6}, {Encoding::Double_Big_Endian, 7}};
  for (const auto& code : codes) {
    SCOPED_TRACE(code.code);
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    write_case(code.encoding, {3, 1, 2, 1e-4}, {ramp_outputs(3, 6)});
    ASSERT_TRUE(open(code.code));
    int k = 0;
    for (const auto& step : steps) {
      SCOPED_TRACE(k++);
      ASSERT_TRUE(move(step.command));
      EXPECT_EQ(output_shown(), step.output);
      EXPECT_EQ(Result_Set.Time_Step_Number(1), step.output);
      EXPECT_EQ(Result_Set.Time(1), 10.0f * step.output);
      EXPECT_EQ(shown(1, 3, 2), 100.0f * step.output + 5);
    }
    EXPECT_EQ(Result_Set.Total_Time_Steps(1), 3);
    EXPECT_EQ(console(), "");
  }
}

TEST_F(Read_Moves, LastAtTheLastOutputReadsNothing) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(3, 6)});
  ASSERT_TRUE(open(1));
  ASSERT_TRUE(move(2));
  Display_Field.Array_to_be_displayed(1, 1, 1) = -1.0f;  // a mark the copy would overwrite
  Result_Set.Time(1) = -7.0f;
  ASSERT_TRUE(move(2));
  EXPECT_EQ(shown(1, 1), -1.0f);
  EXPECT_EQ(Result_Set.Time(1), -7.0f);
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 3);
}

TEST_F(Read_Moves, RecordNumberFileFindsAppendedOutputs) {
  // Opened with two records; three more appended while the display runs.
  write_case(Encoding::Single_Big_Endian, {3, 1, 2, 1e-4}, {ramp_outputs(2, 6)});
  ASSERT_TRUE(open(4));
  ASSERT_TRUE(move(1));
  ASSERT_TRUE(move(1));
  ASSERT_TRUE(move(-2));
  EXPECT_EQ(Result_Set.Total_Time_Steps(1), 2);
  sample::WRITE_RESULTS(result_path(1), Encoding::Single_Big_Endian, ramp_outputs(5, 6));
  ASSERT_TRUE(move(-1));  // previous from output 1: the highest known, 2
  EXPECT_EQ(output_shown(), 2);
  ASSERT_TRUE(move(2));   // last: probes records 3 to 6
  EXPECT_EQ(output_shown(), 5);
  EXPECT_EQ(Result_Set.Time_Step_Number(1), 5);
  ASSERT_TRUE(move(1));   // next at the end wraps
  EXPECT_EQ(output_shown(), 1);
}

TEST_F(Read_Moves, SequentialFileFindsAppendedOutputs) {
  write_case(Encoding::Double, {3, 1, 2, 1e-4}, {ramp_outputs(2, 6)});
  ASSERT_TRUE(open(2));
  ASSERT_TRUE(move(2));
  sample::WRITE_RESULTS(result_path(1), Encoding::Double, ramp_outputs(3, 6));
  ASSERT_TRUE(move(1));
  EXPECT_EQ(output_shown(), 3);
  EXPECT_EQ(Result_Set.Total_Time_Steps(1), 3);
}

TEST_F(Read_Moves, SeekByTypedNumber) {
  struct Row {
    int outputs, from;
    std::string typed;
    int shown;
  } rows[] = {{8, 6, "4", 4}, {8, 2, "4", 4}, {5, 3, "9", 1}, {12, 1, "7", 7},
              {5, 3, "", 3},  {5, 3, "x", 3}, {5, 3, "0", 3}, {5, 3, "-2", 3},
              {5, 3, "7.5", 3}, {8, 3, " 2, 5", 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typed + " from " + std::to_string(row.from));
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(row.outputs, 6)});
    ASSERT_TRUE(open(1));
    for (int k = 0; k < row.from; ++k) ASSERT_TRUE(move(1));
    server_answers::TYPE(row.typed);
    ASSERT_TRUE(move(10));
    EXPECT_EQ(output_shown(), row.shown);
    EXPECT_EQ(Command_State.Time_Step_Command, 10);
  }
}

TEST_F(Read_Moves, CellCountChangesInTheMiddle) {
  // Output 3 of 5 holds one cell more (and that many values), or one value fewer.
  struct Row {
    int cells, values;
    std::string message;
  } rows[] = {{7, 7, "\nInconsistent geometry {}\n (can be due to a wrong format specification)\n\n"},
              {5, 5, "\nTrailing data ingored in file {}\n\n"},
              {6, 5, "\nTrailing data ingored in file {}\n\n"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cells * 10 + row.values);
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    clear_console();
    auto outputs = ramp_outputs(5, 6);
    outputs[2].values = ramp(3, row.values);
    outputs[2].cells = row.cells;
    write_case(Encoding::Single, {3, 1, 2, 1e-4}, {outputs});
    Result_Set.Extrema_Mode = 2;  // keep the start-up scan away from output 3
    ASSERT_TRUE(open(1));
    ASSERT_TRUE(move(1));
    ASSERT_TRUE(move(1));
    EXPECT_EQ(console(), "");
    ASSERT_TRUE(move(1));  // meets output 3: the move becomes first
    std::string message = row.message;
    message.replace(message.find("{}"), 2, result_path(1));
    EXPECT_EQ(console(), message);
    EXPECT_EQ(output_shown(), 1);
    EXPECT_EQ(Result_Set.Total_Time_Steps(1), 2);
    clear_console();
    ASSERT_TRUE(move(2));  // last stops in front of it too
    EXPECT_EQ(output_shown(), 2);
    EXPECT_EQ(Result_Set.Time(1), 20.0f);
  }
}

TEST_F(Read_Moves, FirstRecordThatCannotBeRead) {
  auto outputs = ramp_outputs(2, 6);
  outputs[0].values = ramp(1, 5);  // says 6 cells, holds 5 values
  outputs[0].cells = 6;
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {outputs});
  EXPECT_FALSE(open(1));
  EXPECT_EQ(console(), "\nUnable to read from file " + result_path(1) + "\n\n");
}

// An ASCII output's count is believed only as far as the file can hold its values (two
// characters each at least): a short file is not read into a buffer of the count's size.
TEST_F(Read_Moves, AsciiCountsBeyondTheFileAreNotRead) {
  const struct {
    sample::Geometry grid;
    const char* text;
    bool buffer_taken;  // the values were being read when the output failed
  } rows[] = {
      {{1000, 1, 1000, 1e-4}, "0.0 1000000 1.0\n", false},
      {{3, 1, 2, 1e-4}, "0.0 6 1 2\n", false},
      {{3, 1, 2, 1e-4}, "0.0 6 1 2 3 4 5 x\n", true},  // long enough; a value is not a number
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    clear_console();
    sample::WRITE_GEOMETRY(geometry_path(), Encoding::Ascii, row.grid);
    write_bytes(result_path(1), row.text);
    files_ = 1;
    EXPECT_FALSE(open(3));
    EXPECT_EQ(console(), "\nUnable to read from file " + result_path(1) + "\n\n");
    EXPECT_EQ(Result_Set.Buffer_Array_Text.ALLOCATED(), row.buffer_taken);
    TearDown();
    SetUp();
  }
}

// The framing's length is an unsigned 4-byte number: a record of 2^31 bytes or more (an 820^3
// single-precision output) is read and stepped over like any other.
TEST(Input_Layer, RecordsOfTwoGigabytesAndMore) {
  Scratch_Folder dir;
  constexpr std::int32_t Cells = 820 * 820 * 820;
  ASSERT_TRUE(WRITE_SPARSE_RESULTS(dir / "big", Cells, false, {0.5, 1.5}));
  Input_Stream s;
  ASSERT_TRUE(s.OPEN(dir / "big", Open_Mode{}));
  for (float expected : {0.5f, 1.5f}) {
    ASSERT_EQ(s.BEGIN_RECORD(), Read_Status::Ok);
    EXPECT_EQ(s.PAYLOAD_LEFT(), SPARSE_PAYLOAD(Cells, false));
    float time = 0.0f;
    std::int32_t n = 0;
    EXPECT_EQ(s.TAKE_REAL(time), Read_Status::Ok);
    EXPECT_EQ(s.TAKE_INTEGER(n), Read_Status::Ok);
    EXPECT_EQ(time, expected);
    EXPECT_EQ(n, Cells);
    EXPECT_EQ(s.END_RECORD(), Read_Status::Ok);
  }
  EXPECT_EQ(s.BEGIN_RECORD(), Read_Status::End_Of_File);
  EXPECT_TRUE(s.BACKSPACE());  // back in front of the second record
  ASSERT_EQ(s.BEGIN_RECORD(), Read_Status::Ok);
  float time = 0.0f;
  EXPECT_EQ(s.TAKE_REAL(time), Read_Status::Ok);
  EXPECT_EQ(time, 1.5f);
}

TEST_F(Read_Moves, EmptyFileOnFirst) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(2, 6)});
  ASSERT_TRUE(open(1));
  ASSERT_TRUE(move(1));
  std::filesystem::resize_file(result_path(1), 0);  // emptied under the display
  ASSERT_TRUE(move(-2));
  EXPECT_EQ(console(), "\nResult file " + result_path(1) + " appears to be empty\n\n");
  EXPECT_EQ(output_shown(), 1);  // the display keeps what it had
}

TEST_F(Read_Moves, AsciiFiles) {
  write_case(Encoding::Ascii, {3, 1, 2, 1e-4}, {ramp_outputs(3, 6), ramp_outputs(3, 6)});
  ASSERT_TRUE(open(3));
  ASSERT_TRUE(move(1));
  ASSERT_TRUE(move(1));
  for (int backward : {-1, -3}) {
    clear_console();
    ASSERT_TRUE(move(backward));
    EXPECT_EQ(console(),
              "\nFeature not available with ASCII file(s)\n  Use 'go to first' and 'next'\n"
              "  or use 'Transfer_ZELTRA' to convert your file(s) to binary format instead\n\n");
    EXPECT_EQ(output_shown(1), 2);
    EXPECT_EQ(server_answers::POP_UP_READS(), reads_);
  }
  ASSERT_TRUE(move(2));
  EXPECT_EQ(output_shown(2), 3);
  EXPECT_EQ(Result_Set.Time(2), 30.0f);
  ASSERT_TRUE(move(-2));
  EXPECT_EQ(output_shown(1), 1);
  ASSERT_TRUE(move(2));
  ASSERT_TRUE(move(1));
  EXPECT_EQ(output_shown(1), 1);
}

TEST_F(Read_Moves, AsciiOutputStillBeingWritten) {
  write_case(Encoding::Ascii, {3, 1, 2, 1e-4}, {ramp_outputs(2, 6)});
  ASSERT_TRUE(open(3));
  ASSERT_TRUE(move(1));
  ASSERT_TRUE(move(1));
  {
    std::ofstream out(result_path(1), std::ios::app);
    out << "30.0 6\n300 301 302\n";  // half an output
  }
  ASSERT_TRUE(move(2));  // last: the partial output is not taken
  EXPECT_EQ(output_shown(), 2);
  EXPECT_EQ(shown(1, 3, 2), 205.0f);
  EXPECT_NE(console().find("Trailing data ingored in file"), std::string::npos);
  {
    std::ofstream out(result_path(1), std::ios::app);
    out << "303 304 305\n";
  }
  ASSERT_TRUE(move(-2));
  ASSERT_TRUE(move(2));
  EXPECT_EQ(output_shown(), 3);
  EXPECT_EQ(shown(1, 3, 2), 305.0f);
}

TEST_F(Read_Moves, ChosenFilesMove) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(3, 6), ramp_outputs(3, 6), ramp_outputs(3, 6)});
  ASSERT_TRUE(open(1));
  ASSERT_TRUE(move(2));
  server_answers::ACT(pop_up_answers::SELECTION({true, false, true}));
  ASSERT_TRUE(move(-4));
  EXPECT_EQ(output_shown(1), 1);
  EXPECT_EQ(output_shown(2), 3);
  EXPECT_EQ(Result_Set.Time(2), 30.0f);
  EXPECT_EQ(output_shown(3), 1);
  EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u);
  server_answers::ACT(pop_up_answers::SELECTION({false, false, false}));
  ASSERT_TRUE(move(3));  // nobody chosen: nothing moves
  EXPECT_EQ(output_shown(1), 1);
  EXPECT_EQ(output_shown(2), 3);
}

TEST_F(Read_Moves, OneFileNeedsNoChoice) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(3, 6)});
  ASSERT_TRUE(open(1));
  ASSERT_TRUE(move(3));
  ASSERT_TRUE(move(3));
  EXPECT_EQ(output_shown(), 2);
  EXPECT_EQ(server_answers::POP_UP_READS(), reads_);
}

TEST_F(Read_Moves, CheckEnd) {
  auto outputs = ramp_outputs(3, 6);
  outputs[1].time = -0.7;  // a negative time ends the outputs for the end test
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {outputs});
  ASSERT_TRUE(open(1));
  ASSERT_TRUE(move(1));
  const auto position = UNIT(114).POSITION();
  EXPECT_TRUE(CHECK_END(114));
  EXPECT_EQ(UNIT(114).POSITION(), position);
  ASSERT_TRUE(move(1));
  EXPECT_FALSE(CHECK_END(114));
  ASSERT_TRUE(move(1));
  EXPECT_TRUE(CHECK_END(114));
  EXPECT_EQ(Result_Set.Total_Time_Steps(1), 3);
}

TEST_F(Read_Moves, HeaderOnlyReadKeepsTheBuffer) {
  // Code 4: a header-only read names a record but never lands its values in the buffer.
  write_case(Encoding::Single_Big_Endian, {3, 1, 2, 1e-4}, {ramp_outputs(3, 6)});
  ASSERT_TRUE(open(4));
  ASSERT_TRUE(move(1));
  Result_Set.Time_Step_Number(1) = 3;
  float time = 0.0f;
  bool end = true;
  READ_OUTPUT(1, time, end, true);
  EXPECT_FALSE(end);
  EXPECT_EQ(time, 30.0f);
  EXPECT_EQ(Result_Set.Buffer_Array_Single(1, 1, 1, 1), 100.0f);
  EXPECT_EQ(Result_Set.Buffer_Array_Single(1, 3, 1, 2), 105.0f);
}

TEST_F(Read_Moves, FileThatDisappears) {
  write_case(Encoding::Single_Big_Endian, {3, 1, 2, 1e-4}, {ramp_outputs(2, 6)});
  ASSERT_TRUE(open(4));
  ASSERT_TRUE(move(2));
  std::filesystem::remove(result_path(1));
  ASSERT_TRUE(move(1));  // the reopen fails: the stream keeps the file it had
  EXPECT_EQ(output_shown(), 1);
  ASSERT_TRUE(move(1));
  EXPECT_EQ(output_shown(), 2);
}

}  // namespace
