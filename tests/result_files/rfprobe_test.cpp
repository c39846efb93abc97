// Whole-process runs of the readers through the rfprobe harness: dumps of the display
// slots after moves, symmetry, fatal stops with their exit code and message, and the
// working copies of compressed cases removed at every end.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/Sanitizer_Reports.h"
#include "tests/result_files/Scratch_Folder.h"
#include "tools/Sample_Case.h"

namespace {

using sample::Encoding;

struct Probe_Run {
  int exit_code;
  std::string out, err;
};

class Rfprobe : public ::testing::Test {
 protected:
  Probe_Run run(const std::string& arguments, const std::string& input) {
    write_bytes(dir_ / "input.txt", input);
    const std::string command = std::string(ZELTRA_BIN_DIR) + "/rfprobe " + arguments + " < '" + (dir_ / "input.txt") +
                                "' > '" + (dir_ / "out.txt") + "' 2> '" + (dir_ / "err.txt") + "'";
    const int status = std::system(command.c_str());
    Probe_Run result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_bytes(dir_ / "out.txt"), read_bytes(dir_ / "err.txt")};
    for (const char* name : {"input.txt", "out.txt", "err.txt"}) std::filesystem::remove(dir_ / name);
    FAIL_ON_SANITIZER_REPORT("rfprobe", result.err);
    return result;
  }
  void write_case(Encoding encoding, sample::Geometry geometry, const std::vector<std::vector<sample::Output>>& files,
                  bool gzip = false) {
    sample::WRITE_GEOMETRY(dir_ / "Case_geoF.zlt", encoding, geometry);
    for (std::size_t i = 0; i < files.size(); ++i)
      sample::WRITE_RESULTS(dir_ / ("Case_f" + std::to_string(i + 1) + ".zlt"), encoding, files[i]);
    if (!gzip) return;
    // The names first: a folder read while files come and go may list a file twice (and
    // compress it twice) or not at all.
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) paths.push_back(entry.path().string());
    for (const std::string& path : paths) {
      sample::GZIP_COPY(path, path + ".gz");
      std::filesystem::rename(path + ".gz", path);
    }
  }
  std::string file(int i) { return "'" + (dir_ / ("Case_f" + std::to_string(i) + ".zlt")) + "'"; }

  Scratch_Folder dir_;
};

// The dump of one file's slot: its slot line, file line, limits line and rows.
std::string file_slot(int i, const std::string& file_line, const std::string& limits, const std::string& rows) {
  return "slot " + std::to_string(i) + "\nfile " + std::to_string(i) + " " + file_line + "\nmin " + limits + "\n" + rows;
}

std::vector<sample::Output> outputs(int count) {
  std::vector<sample::Output> list;
  for (int k = 1; k <= count; ++k) list.push_back({0.5 * k, {10.0 * k + 1, 10.0 * k + 2, 10.0 * k + 3, 1.0 / (k + 2), 5, 6}});
  return list;
}

TEST_F(Rfprobe, DumpsAfterMoves) {
  write_case(Encoding::Double_Big_Endian, {3, 1, 2, 1e-4}, {outputs(3)});
  const Probe_Run result = run(file(1), "d\nn\nd\nl\np\nd\nf\nd\nn\nn\nn\nd\n");
  EXPECT_EQ(result.exit_code, 0);
  const std::string limits = "0.200000003 max 33";
  const std::string first = "11 12 13\n0.333333343 5 6\n", second = "21 22 23\n0.25 5 6\n";
  EXPECT_EQ(result.out, file_slot(1, "output 1 of 3 time 0.5", limits, first) +
                            file_slot(1, "output 2 of 3 time 1", limits, second) +
                            file_slot(1, "output 2 of 3 time 1", limits, second) +
                            file_slot(1, "output 1 of 3 time 0.5", limits, first) +
                            file_slot(1, "output 1 of 3 time 0.5", limits, first));
  EXPECT_NE(result.err.find("'implicit endian conversions'"), std::string::npos);
}

TEST_F(Rfprobe, NineFoldMirroring) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {{{2.0, {1, 2, 3, 4, 5, 6}}}});
  const Probe_Run result = run("--format 1 --symmetry 4 " + file(1), "d\n");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.err, "");
  const std::string bottom = "6 5 4 4 5 6 6 5 4\n", top = "3 2 1 1 2 3 3 2 1\n";
  EXPECT_EQ(result.out, file_slot(1, "output 1 of 1 time 2", "1 max 6", bottom + top + top + bottom + bottom + top));
  const Probe_Run translated = run("--format 1 --symmetry 4 --symmetry-type 2 " + file(1), "d\n");
  const std::string lower = "1 2 3 1 2 3 1 2 3\n", upper = "4 5 6 4 5 6 4 5 6\n";
  EXPECT_EQ(translated.out,
            file_slot(1, "output 1 of 1 time 2", "1 max 6", lower + upper + lower + upper + lower + upper));
}

TEST_F(Rfprobe, CutSkipAndTwoFiles) {
  std::vector<double> values(4 * 3 * 2);
  for (std::size_t c = 0; c < values.size(); ++c) values[c] = static_cast<double>(c);
  write_case(Encoding::Ascii, {4, 3, 2, 1e-4}, {{{1.0, values}}, {{1.0, values}}});
  const Probe_Run result = run("--cut-direction 1 --cut-index 2 --skip 2 " + file(1) + " " + file(2), "d\n");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  // z = 2 plane (values 12..23), every second cell: x 1, 3 and y 1, 3.
  EXPECT_EQ(result.out, file_slot(1, "output 1 of 1 time 1", "0 max 23", "12 14\n20 22\n") +
                            file_slot(2, "output 1 of 1 time 1", "0 max 23", "12 14\n20 22\n"));
}

TEST_F(Rfprobe, FatalStopsExitWithOneAndRemoveCopies) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {outputs(2), {{0.0, {1, 2}}}}, true);
  const Probe_Run result = run(file(1) + " " + file(2), "d\n");
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "\n\n Geometry (or format) of Case_f1.zlt\n  and Case_f2.zlt do not seem compatible!\n\n\n");
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_f2.zlt Case_geoF.zlt");

  const Probe_Run not_consistent = run(file(2), "");
  EXPECT_EQ(not_consistent.exit_code, 1);
  EXPECT_EQ(not_consistent.err,
            "\n\n Geometry not consistent!\n"
            "  (most probably due to a wrong format specification,\n   and a big/little endian incompatibility)\n\n\n");
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_f2.zlt Case_geoF.zlt");
}

TEST_F(Rfprobe, CompressedCaseLeavesNothingBehind) {
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {outputs(3)}, true);
  const Probe_Run result = run("--compressed --format 1 " + file(1), "l\nd\n");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, file_slot(1, "output 3 of 3 time 1.5", "0.200000003 max 33", "31 32 33\n0.200000003 5 6\n"));
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_geoF.zlt");
}

TEST_F(Rfprobe, DisplayModesAndColourCommands) {
  // Three files of one output: the RGB triangle in slot 0 from the limits 0..10.
  const std::vector<sample::Output> low{{1.0, {0, 10, 5, 0, 10, 5}}}, high{{1.0, {10, 10, 0, 0, 5, 5}}};
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {low, high, low});
  const Probe_Run rgb = run("--mode rgb " + file(1) + " " + file(2) + " " + file(3), "d\n");
  EXPECT_EQ(rgb.exit_code, 0) << rgb.err;
  ASSERT_EQ(rgb.out.substr(0, rgb.out.find("slot 1")), "slot 0\n30 215 111\n0 203 129\n");

  // s+m on files 1 and 3 with typed limits from the answers file, then a dump.
  write_bytes(dir_ / "answers.txt", "list 3 1 3\ntwo -2|2.5\n");
  const Probe_Run typed = run("--answers '" + (dir_ / "answers.txt") + "' " + file(1) + " " + file(2) + " " + file(3),
                              "e 1\nd\n");
  EXPECT_EQ(typed.exit_code, 0) << typed.err;
  EXPECT_NE(typed.out.find("file 1 output 1 of 1 time 1\nmin -2 max 2.5\n"), std::string::npos) << typed.out;
  EXPECT_NE(typed.out.find("file 2 output 1 of 1 time 1\nmin 0 max 10\n"), std::string::npos);
  EXPECT_NE(typed.out.find("file 3 output 1 of 1 time 1\nmin -2 max 2.5\n"), std::string::npos);
}

TEST_F(Rfprobe, SeekAndMiller) {
  std::vector<sample::Output> codes;
  for (int k = 1; k <= 4; ++k) codes.push_back({1.0 * k, {10203, 1, 101, 0, -3, 20301.0 + k - 1}});
  write_case(Encoding::Double, {3, 1, 2, 1e-4}, {codes});
  const Probe_Run result = run("--mode miller " + file(1), "s 3\nd\n");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "slot -1\n86 5 30\n217 -1 120\nslot 0\n0 0 0\n0 0 0\n" +
                            file_slot(1, "output 3 of 4 time 3", "-3 max 20304",
                                      "10203 1 101\n0 -3 20303\n"));
}

TEST_F(Rfprobe, BadRecordsAreReportedAndSkipped) {
  // Output 2 of file 1 holds another cell count; file 2 ends in half an output.
  auto first = outputs(3);
  first[1].values = {1, 2, 3, 4, 5, 6, 7};
  first[1].cells = 7;
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {first, outputs(2)});
  const std::string second = dir_ / "Case_f2.zlt";
  const std::string bytes = read_bytes(second);
  write_bytes(second, bytes + bytes.substr(0, 20));
  const Probe_Run result = run("--format 1 " + file(1) + " " + file(2), "n\nn\nd\n");
  EXPECT_EQ(result.exit_code, 0);
  // The start-up scan meets both; then every "next" from output 1 of file 1 meets its
  // output 2 and wraps, and file 2 wraps after its output 2.
  const std::string inconsistent =
      "\nInconsistent geometry " + (dir_ / "Case_f1.zlt") + "\n (can be due to a wrong format specification)\n\n";
  const std::string trailing = "\nTrailing data ingored in file " + (dir_ / "Case_f2.zlt") + "\n\n";
  EXPECT_EQ(result.err, inconsistent + trailing + inconsistent + inconsistent + trailing);
  EXPECT_NE(result.out.find("file 1 output 1 of 1 time 0.5\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("file 2 output 1 of 2 time 0.5\n"), std::string::npos) << result.out;
}

TEST_F(Rfprobe, BadArguments) {
  EXPECT_EQ(run("", "").exit_code, 2);
  EXPECT_EQ(run("--skip 0 x.zlt", "").exit_code, 2);
  EXPECT_EQ(run("--format x x.zlt", "").exit_code, 2);
  EXPECT_EQ(run("--bogus x.zlt", "").exit_code, 2);
  EXPECT_EQ(run("--mode bright x.zlt", "").exit_code, 2);
  EXPECT_EQ(run("--answers /nonexistent/answers x.zlt", "").exit_code, 2);
}

}  // namespace
