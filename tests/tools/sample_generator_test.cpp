// The sample generator as a program: its usage, refusals, and that the case it writes is a
// result set the conversion's whole-set mode knows.

#include <gtest/gtest.h>
#include <sys/wait.h>  // WEXITSTATUS

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/result_files/Scratch_Folder.h"

namespace {

struct Command_Run {
  int exit_code;
  std::string output;  // standard output and standard error
};

Command_Run run_in(const Scratch_Folder& dir, const std::string& command) {
  const std::string line = "cd '" + dir.path().string() + "' && " + command + " 2>&1";
  Command_Run run{-1, ""};
  FILE* pipe = ::popen(line.c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
  const int status = ::pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

const std::string Generator = ZELTRA_BIN_DIR "/generate_sample_case";
const std::string Program = ZELTRA_BIN_DIR "/Display_ZELTRA";

}  // namespace

TEST(Sample_Generator, UsageAndUnknownOptions) {
  const struct {
    std::string arguments;
    int exit_code;
    std::string first_line;
  } cases[] = {
      {"--help", 0, "usage: " + Generator + " FOLDER [NX NZ OUTPUTS]\n"},
      {"-h", 0, "usage: " + Generator + " FOLDER [NX NZ OUTPUTS]\n"},
      {"--hlep", 2, Generator + ": unknown option --hlep\n"},
      {"-x out", 2, Generator + ": unknown option -x\n"},
      {"", 2, "usage: " + Generator + " FOLDER [NX NZ OUTPUTS]\n"},
      {"out 0 5 5", 2, Generator + ": sizes out of range\n"},
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    const Command_Run run = run_in(dir, Generator + " " + c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.arguments;
    EXPECT_EQ(run.output.substr(0, run.output.find('\n') + 1), c.first_line) << c.arguments;
    EXPECT_EQ(dir.listing(), "") << c.arguments;  // no case written into a folder named like an option
  }
}

TEST(Sample_Generator, WritesAResultSetTheConversionKnows) {
  Scratch_Folder dir;
  ASSERT_EQ(run_in(dir, Generator + " case 6 4 3").exit_code, 0);
  Command_Run renamed = run_in(dir, "cd case && " + Program + " -t -r Sample_phas.zlt");
  EXPECT_EQ(renamed.exit_code, 0) << renamed.output;
  std::string names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "case"))
    if (entry.is_regular_file()) names += entry.path().filename().string() + " ";
  for (const char* name : {"Sample.phas ", "Sample.conc1 ", "Sample.frac ", "Sample.geoF "})
    EXPECT_NE(names.find(name), std::string::npos) << name << " in " << names;
  EXPECT_EQ(names.find(".zlt"), std::string::npos) << names;
}
