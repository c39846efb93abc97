// Interrupting a conversion: SIGTERM, SIGINT or SIGHUP in the middle of a large conversion
// leave no working file anywhere (beside the file, in the current folder, in the --Temp:
// folder), the original intact, and the program ended by that very signal; with unnamed
// working files and with named ones.

#include <gtest/gtest.h>
#include <dirent.h>    // opendir
#include <unistd.h>    // readlink, usleep

#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <vector>

#include "result_files/Module_GZip.h"
#include "tests/result_files/Scratch_Folder.h"
#include "tests/transfer/Program_Process.h"
#include "tools/Sample_Case.h"

namespace {

// Large enough for a conversion to take a good part of a second, so that the signal lands
// while it runs; the test waits for the working file, not for a fixed time.
constexpr std::size_t Cells = 2'000'000;

const Program_Start Unnamed{};
const Program_Start Named{{{"ZELTRA_TEST_NAMED_WORKING_FILES", "1"}}};

const char* const Watched_Folders[] = {"", "data", "tmp"};

std::string all_listings(const Scratch_Folder& dir) {
  std::string all;
  for (const char* folder : Watched_Folders) {
    all += std::string("[") + folder + "]";
    for (auto& e : std::filesystem::directory_iterator(dir.path() / folder)) all += " " + e.path().filename().string();
  }
  return all;
}

// The bytes of a large file, read in one go.
std::string whole_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// True while the process holds an open file that has no name (an unnamed working file).
bool holds_unnamed_file(pid_t pid) {
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  DIR* folder = ::opendir(fds.c_str());
  if (!folder) return false;
  bool found = false;
  while (dirent* entry = ::readdir(folder)) {
    char target[4096];
    const ssize_t n = ::readlink((fds + "/" + entry->d_name).c_str(), target, sizeof target);
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)).ends_with("(deleted)")) found = true;
  }
  ::closedir(folder);
  return found;
}

// Waits until the program works on a working file (a new name in a watched folder, or an
// unnamed file); false when it ended first or took too long.
bool wait_for_working_file(const Scratch_Folder& dir, pid_t pid, const std::string& listing) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < give_up) {
    if (holds_unnamed_file(pid) || all_listings(dir) != listing) return true;
    int status;
    if (::waitpid(pid, &status, WNOHANG) == pid) return false;
    ::usleep(500);
  }
  return false;
}

// The folders data/ (a large file big and its compressed big.gz) and tmp/.
void write_big_case(const Scratch_Folder& dir) {
  std::filesystem::create_directory(dir / "data");
  std::filesystem::create_directory(dir / "tmp");
  std::vector<double> values(Cells);
  for (std::size_t i = 0; i < Cells; ++i) values[i] = static_cast<double>(i % 1000) * 0.25;
  sample::WRITE_RESULTS(dir / "data/big", sample::Encoding::Single, {{0.0, values}, {0.5, values}, {1.0, values}});
  COMPRESS_FILE(dir / "data/big", dir / "data/big.gz");
}

TEST(Transfer_Interrupt, LeavesNothingBehind) {
  Scratch_Folder dir;
  write_big_case(dir);
  const std::string big = whole_file(dir / "data/big");
  const std::string big_gz = whole_file(dir / "data/big.gz");
  const std::string listing = all_listings(dir);

  const std::vector<std::string> jobs[] = {
      {"-t", "data/big"},                                           // in place, beside the file
      {"-t", "-z", "data/big", "data/out.gz"},                      // a copy in the current folder
      {"-t", "-y", "--Temp:tmp/", "data/big.gz", "data/out"},       // a copy in the --Temp: folder
  };
  const struct {
    int signal;
    const Program_Start& how;
  } cases[] = {{SIGTERM, Named}, {SIGINT, Named}, {SIGHUP, Named}, {SIGTERM, Unnamed}, {SIGINT, Unnamed}};
  for (const auto& c : cases) {
    for (const auto& job : jobs) {
      Started_Program started = START_PROGRAM(dir.path(), job, c.how);
      ASSERT_TRUE(wait_for_working_file(dir, started.pid, listing)) << job[1];
      ::kill(started.pid, c.signal);
      Ended_Program run = WAIT_PROGRAM(started);
      EXPECT_EQ(run.signal(), c.signal) << job.back() << " exit " << run.exit_code() << run.console;
      EXPECT_EQ(all_listings(dir), listing) << job.back() << " signal " << c.signal;
      EXPECT_TRUE(whole_file(dir / "data/big") == big);
      EXPECT_TRUE(whole_file(dir / "data/big.gz") == big_gz);
    }
  }
}

// SIGKILL gives no chance to clean up: named working files stay, and the next conversion
// that works in the same place removes them before it names its own.
TEST(Transfer_Interrupt, TheNextRunRemovesTheNamedWorkingFilesOfAKilledOne) {
  Scratch_Folder dir;
  write_big_case(dir);
  const std::string big = whole_file(dir / "data/big");

  const struct {
    std::vector<std::string> job;
    const char* output;  // the file the job writes, "" in place
  } rows[] = {
      {{"-t", "-z", "data/big", "data/out.gz"}, "data/out.gz"},
      {{"-t", "-y", "--Temp:tmp/", "data/big.gz", "data/out"}, "data/out"},
      {{"-t", "data/big"}, ""},  // last: the finished run converts the file
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.job.back());
    const std::string listing = all_listings(dir);
    Started_Program started = START_PROGRAM(dir.path(), row.job, Named);
    ASSERT_TRUE(wait_for_working_file(dir, started.pid, listing));
    ::kill(started.pid, SIGKILL);
    Ended_Program killed = WAIT_PROGRAM(started);
    EXPECT_EQ(killed.signal(), SIGKILL);
    EXPECT_NE(all_listings(dir), listing);  // what the kill left
    EXPECT_TRUE(whole_file(dir / "data/big") == big);

    Ended_Program next = RUN_PROGRAM(dir.path(), row.job, Named);
    EXPECT_EQ(next.exit_code(), 0) << next.console;
    if (*row.output) std::filesystem::remove(dir / row.output);
    EXPECT_EQ(all_listings(dir), listing);
  }
}

}  // namespace
