// Removing the output shown from an opened case, in process: the file and the display after
// the removal, and a failure injected at every file operation of it in turn, which must leave
// the file as it was or without only that output, and no stray file behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "main/Remove_Output.h"
#include "platform/Io_Fault.h"
#include "result_files/Module_GZip.h"
#include "tests/result_files/Case_Fixture.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

constexpr int Outputs = 5, Cells = 6;

std::string bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class Remove_Output : public Case_Fixture {
 protected:
  void TearDown() override {
    IO_FAULT_ARM(0);
    RESET_TRANSFER_STATE();
    Case_Fixture::TearDown();
  }

  // One result file of Outputs ramp outputs, plain or compressed, and the bytes it must hold
  // whole and without output `removed`.
  void write(bool compressed, int removed) {
    auto outputs = ramp_outputs(Outputs, Cells);
    sample::WRITE_RESULTS(dir_ / "whole", Encoding::Single, outputs);
    outputs.erase(outputs.begin() + (removed - 1));
    sample::WRITE_RESULTS(dir_ / "shortened", Encoding::Single, outputs);
    whole_ = bytes(dir_ / "whole");
    shortened_ = bytes(dir_ / "shortened");
    std::filesystem::remove(dir_ / "whole");
    std::filesystem::remove(dir_ / "shortened");
    sample::WRITE_GEOMETRY(geometry_path(), Encoding::Single, {3, 1, 2, 1e-4});
    sample::WRITE_RESULTS(result_path(1), Encoding::Single, ramp_outputs(Outputs, Cells));
    if (compressed) {
      for (const std::string& path : {geometry_path(), result_path(1)}) {
        std::filesystem::rename(path, path + ".plain");
        COMPRESS_FILE(path + ".plain", path);
        std::filesystem::remove(path + ".plain");
      }
    }
    files_ = 1;
  }

  // The result file's content as it would read uncompressed.
  std::string content(bool compressed) {
    if (!compressed) return bytes(result_path(1));
    UNCOMPRESS_FILE(result_path(1), dir_ / "unpacked");
    std::string text = bytes(dir_ / "unpacked");
    std::filesystem::remove(dir_ / "unpacked");
    return text;
  }

  // Opens the case on output `shown` with the conversion set as the command sets it.
  void open_on(bool compressed, int shown) {
    ASSERT_TRUE(open(1, compressed)) << console();
    for (int k = 0; k < shown; ++k) ASSERT_TRUE(move(1));
    Transfer_Options.Input_Format = Transfer_Binary_Single;
    Temporary_Directory = dir_.path().string() + "/";
    SET_TEMPORARY_FILE_NAMES();
  }

  static std::size_t entries(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
  }
  int output_shown() const { return static_cast<int>(shown(1, 1)) / 100; }

  std::string whole_, shortened_;
};

TEST_F(Remove_Output, TheFileLosesTheOutputAndTheDisplayReadsOn) {
  struct Row {
    bool compressed;
    int removed;
    int shown_after;  // the old number of the output shown afterwards
  } rows[] = {{false, 3, 4}, {false, Outputs, 1}, {false, 1, 2}, {true, 3, 4}, {true, Outputs, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.removed) + (row.compressed ? " compressed" : ""));
    write(row.compressed, row.removed);
    open_on(row.compressed, row.removed);
    ASSERT_EQ(output_shown(), row.removed);
    EXPECT_TRUE(REMOVE_SHOWN_OUTPUT(1));
    EXPECT_EQ(content(row.compressed), shortened_);
    EXPECT_EQ(output_shown(), row.shown_after);
    EXPECT_EQ(Result_Set.Total_Time_Steps(1), Outputs - 1);
    EXPECT_EQ(Result_Set.Time(1), 10.0f * row.shown_after);
    EXPECT_EQ(Result_Set.Time_Step_Number(1), row.removed == Outputs ? 1 : row.removed);
    TearDown();
    SetUp();
  }
}

TEST_F(Remove_Output, AFileOfOneOutputKeepsIt) {
  sample::WRITE_GEOMETRY(geometry_path(), Encoding::Single, {3, 1, 2, 1e-4});
  sample::WRITE_RESULTS(result_path(1), Encoding::Single, ramp_outputs(1, Cells));
  files_ = 1;
  const std::string before = bytes(result_path(1));
  open_on(false, 1);
  clear_console();
  EXPECT_FALSE(REMOVE_SHOWN_OUTPUT(1));
  EXPECT_EQ(bytes(result_path(1)), before);
  EXPECT_EQ(output_shown(), 1);
  EXPECT_EQ(Result_Set.Total_Time_Steps(1), 1);
  EXPECT_NE(console().find(" Unable to remove every output of file: "), std::string::npos) << console();
  EXPECT_TRUE(console().ends_with("\n Output not removed from " + result_path(1) + "\n\n")) << console();
  // The display still reads the file.
  ASSERT_TRUE(move(1));
  EXPECT_EQ(output_shown(), 1);
}

TEST_F(Remove_Output, AFailureAtAnyStepLeavesTheFileWholeOrWithoutOnlyThatOutput) {
  for (bool compressed : {false, true}) {
    bool completed = false;
    int stops = 0, removals = 0;
    for (long n = 1; !completed && n < 2000; ++n) {
      SCOPED_TRACE((compressed ? "compressed, failing call " : "failing call ") + std::to_string(n));
      write(compressed, 3);
      const std::size_t files_before = entries(dir_.path());
      open_on(compressed, 3);
      IO_FAULT_ARM(n);
      bool stopped = false;
      try {
        REMOVE_SHOWN_OUTPUT(1);
      } catch (const Program_Stop&) {
        stopped = true;
      }
      completed = IO_FAULT_CALLS() < n;  // no call failed: every step has had its turn
      IO_FAULT_ARM(0);
      CLOSE_RESULT_FILES();
      const std::string now = content(compressed);
      EXPECT_TRUE(now == whole_ || now == shortened_);
      if (now == shortened_) ++removals;
      EXPECT_EQ(entries(dir_.path()), files_before);  // nothing written aside is left
      if (completed) {
        EXPECT_FALSE(stopped);
      }
      if (stopped) ++stops;
      TearDown();
      SetUp();
    }
    EXPECT_TRUE(completed);
    EXPECT_GT(stops, 0);
    EXPECT_GT(removals, 0);
  }
}

}  // namespace
