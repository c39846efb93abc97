// Working copies of compressed cases (compressed as the system's own writer does, so
// that their outputs can be counted): refreshing the copies of grown files, leaving the
// others alone, bringing sequential streams back to their output, and wrong calls.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "result_files/Module_GZip.h"
#include "tests/result_files/Case_Fixture.h"

namespace {

class Working_Copies : public Case_Fixture {
 protected:
  // Rewrites result file i as a compressed file of the given outputs.
  void compressed_results(int i, Encoding encoding, const std::vector<sample::Output>& outputs) {
    const std::string path = result_path(i);
    sample::WRITE_RESULTS(path + ".plain", encoding, outputs);
    COMPRESS_FILE(path + ".plain", path);  // as the simulation writes them: countable
    std::filesystem::remove(path + ".plain");
  }
  void compressed_case(Encoding encoding, int outputs_1, int outputs_2) {
    sample::WRITE_GEOMETRY(geometry_path() + ".plain", encoding, {3, 1, 2, 1e-4});
    sample::GZIP_COPY(geometry_path() + ".plain", geometry_path());
    std::filesystem::remove(geometry_path() + ".plain");
    compressed_results(1, encoding, ramp_outputs(outputs_1, 6));
    compressed_results(2, encoding, ramp_outputs(outputs_2, 6));
    files_ = 2;
  }
  static ino_t inode(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
  }
  int output_shown(int i) const { return static_cast<int>(shown(i, 1)) / 100; }
};

TEST_F(Working_Copies, GrownFileIsRefreshedAndTheStreamKeepsItsPlace) {
  for (auto [encoding, code] : {std::pair{Encoding::Single, 1}, std::pair{Encoding::Double_Big_Endian, 7},
                                std::pair{Encoding::Single_Big_Endian, 4}, std::pair{Encoding::Ascii, 3}}) {
    SCOPED_TRACE(code);
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    compressed_case(encoding, 5, 5);
    ASSERT_TRUE(open(code, true)) << console();
    for (int k = 0; k < 5; ++k) ASSERT_TRUE(move(1));
    EXPECT_EQ(output_shown(1), 5);
    const ino_t copy_2 = inode(Result_Set.Temporary_Files(2));
    compressed_results(1, encoding, ramp_outputs(7, 6));
    ZIPPED_FILES(4);
    EXPECT_EQ(Result_Set.Time_Step_Number(1), 5);
    if (code == 3) EXPECT_GT(Result_Set.Total_Time_Steps(1), 5);  // counted by an estimate
    else EXPECT_EQ(Result_Set.Total_Time_Steps(1), 7);
    EXPECT_EQ(Result_Set.Total_Time_Steps(2), 5);
    EXPECT_EQ(inode(Result_Set.Temporary_Files(2)), copy_2);  // untouched
    ASSERT_TRUE(move(1));
    EXPECT_EQ(output_shown(1), 6);
    EXPECT_EQ(shown(1, 3, 2), 605.0f);
    EXPECT_EQ(output_shown(2), 1);  // file 2 wrapped around
    ASSERT_TRUE(move(2));
    EXPECT_EQ(output_shown(1), 7);
  }
}

TEST_F(Working_Copies, NextAtTheLastKnownOutputRefreshes) {
  compressed_case(Encoding::Single, 2, 2);
  ASSERT_TRUE(open(1, true));
  ASSERT_TRUE(move(1));
  ASSERT_TRUE(move(1));
  compressed_results(1, Encoding::Single, ramp_outputs(3, 6));
  ASSERT_TRUE(move(1));
  EXPECT_EQ(output_shown(1), 3);
  EXPECT_EQ(output_shown(2), 1);
}

TEST_F(Working_Copies, NothingGrownNothingTouched) {
  compressed_case(Encoding::Single, 3, 3);
  ASSERT_TRUE(open(1, true));
  ASSERT_TRUE(move(1));
  const ino_t copy_1 = inode(Result_Set.Temporary_Files(1));
  ZIPPED_FILES(4);
  EXPECT_EQ(inode(Result_Set.Temporary_Files(1)), copy_1);
  // A compressed file that cannot be counted (here no longer gzip) is left alone too.
  write_bytes(result_path(1), "not a gzip file at all, but long enough to have a tail");
  ZIPPED_FILES(4);
  EXPECT_EQ(inode(Result_Set.Temporary_Files(1)), copy_1);
  EXPECT_EQ(Result_Set.Total_Time_Steps(1), 3);
  ASSERT_TRUE(move(1));
  EXPECT_EQ(output_shown(1), 2);
}

TEST_F(Working_Copies, PartlyWrittenOutputIsNotCounted) {
  compressed_case(Encoding::Single, 2, 2);
  ASSERT_TRUE(open(1, true));
  ASSERT_TRUE(move(1));
  ASSERT_TRUE(move(1));
  sample::WRITE_RESULTS(result_path(1) + ".plain", Encoding::Single, ramp_outputs(4, 6));
  std::filesystem::resize_file(result_path(1) + ".plain", 3 * 40 + 17);  // 3 outputs and a part
  COMPRESS_FILE(result_path(1) + ".plain", result_path(1));
  ZIPPED_FILES(4);
  EXPECT_EQ(Result_Set.Total_Time_Steps(1), 3);
  ASSERT_TRUE(move(1));
  EXPECT_EQ(output_shown(1), 3);
}

TEST_F(Working_Copies, WrongCallsStop) {
  const std::string message = "\n\nRoutine 'Zipped_Files' called with unrecognised parameters!\n\n\n";
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(1, 6)});
  ASSERT_TRUE(open(1));  // a plain case: no copies
  for (int mode : {2, 3, 4, 0, 5}) {
    clear_console();
    EXPECT_THROW(ZIPPED_FILES(mode), Program_Stop) << mode;
    EXPECT_EQ(console(), message);
  }
  CLOSE_RESULT_FILES();
  RESET_GLOBALS();
  compressed_case(Encoding::Single, 1, 1);
  ASSERT_TRUE(open(1, true));
  clear_console();
  EXPECT_THROW(ZIPPED_FILES(1), Program_Stop);
  EXPECT_EQ(console(), message);
}

}  // namespace

namespace {

TEST_F(Working_Copies, PlainCaseGivenAsCompressed) {
  // Copies of files that are not gzip are the files themselves: the case opens as it is.
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(2, 6)});
  ASSERT_TRUE(open(1, true)) << console();
  EXPECT_EQ(console(), "");
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_geoF.zlt DP_ZELTRA_01_01.tmp");
  ASSERT_TRUE(move(2));
  EXPECT_EQ(output_shown(1), 2);
  CLOSE_RESULT_FILES();
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_geoF.zlt");
}

}  // namespace

namespace {

TEST_F(Working_Copies, CopiesAreGoneWhenTheProcessEndsWithoutClosing) {
  compressed_case(Encoding::Single, 2, 2);
  EXPECT_EXIT(
      {
        SET_CONSOLE_STREAM(nullptr);
        prepare(1, true);
        READ_GEOF();
        std::exit(std::filesystem::exists(Result_Set.Temporary_Files(1)) ? 3 : 4);
      },
      ::testing::ExitedWithCode(3), "");
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_f2.zlt Case_geoF.zlt");
}

}  // namespace
