// The scratch folders of test programs: each program works in a folder of its own, removed at
// its end; what a killed test program left behind goes when the next test program starts.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The folder every test program's scratch files go into, as TMPDIR names it.
fs::path own_folder() { return fs::temp_directory_path(); }

// A process id that is gone: a child that has ended and been waited for.
pid_t gone_pid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

// Runs another test program (this one, listing its tests only) in the folder's parent.
int run_test_program(const fs::path& tmp) {
  const std::string command = "TMPDIR='" + tmp.string() + "' '" + fs::read_symlink("/proc/self/exe").string() +
                              "' --gtest_list_tests >/dev/null 2>&1";
  return std::system(command.c_str());
}

}  // namespace

TEST(Test_Scratch, EachProgramWorksInAFolderOfItsOwn) {
  EXPECT_EQ(own_folder().filename(), "zeltra_tests." + std::to_string(::getpid()));
  EXPECT_TRUE(fs::is_directory(own_folder()));
}

TEST(Test_Scratch, WhatAKilledProgramLeftGoesWhenTheNextStarts) {
  // A root of its own, so that no other run's folders are touched.
  const fs::path tmp = own_folder() / "root";
  const fs::path left = tmp / ("zeltra_tests." + std::to_string(gone_pid()));
  const fs::path alive = tmp / ("zeltra_tests." + std::to_string(::getpid()));
  const fs::path other = tmp / "zeltra_tests.notanumber";
  for (const fs::path& folder : {left, alive, other}) {
    fs::create_directories(folder / "scratch");
    std::ofstream(folder / "scratch" / "file") << "x";
  }
  ASSERT_EQ(run_test_program(tmp), 0);
  EXPECT_FALSE(fs::exists(left));
  EXPECT_TRUE(fs::exists(alive / "scratch" / "file"));  // its program still runs
  EXPECT_TRUE(fs::exists(other));                       // not a test program's folder
  // The program that ran removed its own folder at its end.
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp), fs::directory_iterator{}), 2);
  fs::remove_all(tmp);
}

TEST(Test_Scratch, BlocksOfAKilledProgramsServersGoWhenTheNextStarts) {
  const std::string uid = std::to_string(::getuid());
  const fs::path shm = "/dev/shm";
  const fs::path left = shm / ("Kornd9:2." + uid + ".t" + std::to_string(gone_pid()));
  const fs::path alive = shm / ("Kornd9." + uid + ".t" + std::to_string(::getpid()));
  const fs::path other_user = shm / ("Kornd9." + std::to_string(::getuid() + 1) + ".t" + std::to_string(gone_pid()));
  for (const fs::path& block : {left, alive, other_user}) std::ofstream(block) << "x";
  ASSERT_EQ(run_test_program(own_folder() / "root"), 0);
  EXPECT_FALSE(fs::exists(left));
  EXPECT_TRUE(fs::exists(alive));       // its program still runs
  EXPECT_TRUE(fs::exists(other_user));  // another user's
  for (const fs::path& block : {alive, other_user}) fs::remove(block);
}
