// The interrupt clean-up: SIGINT, SIGTERM and SIGHUP delete the registered files and end
// the process by the same signal; forgotten files stay; an ignored signal stays ignored.
// Each case runs in a child process, which the signal ends.

#include <gtest/gtest.h>
#include <sys/stat.h>  // stat
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // fork

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Interrupt_Cleanup.h"

namespace {

bool exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

class Scratch {
 public:
  Scratch() : path_(std::filesystem::temp_directory_path() / ("interrupt_test_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~Scratch() { std::filesystem::remove_all(path_); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

TEST(Interrupt_Cleanup, SignalsDeleteRegisteredFilesAndEndTheProcess) {
  const struct {
    int signal;
    bool ignored_at_start;  // as under nohup, or in a background job
  } cases[] = {{SIGTERM, false}, {SIGINT, false}, {SIGHUP, false}, {SIGHUP, true}, {SIGINT, true}};
  for (const auto& c : cases) {
    Scratch dir;
    const std::string kept = dir / "kept", forgotten = dir / "forgotten", registered = dir / "registered";
    for (const auto& name : {kept, forgotten, registered}) std::ofstream(name) << "x";
    const pid_t child = ::fork();
    if (child == 0) {
      std::signal(c.signal, c.ignored_at_start ? SIG_IGN : SIG_DFL);
      const int slot = platform::CLEANUP_ON_INTERRUPT(forgotten);
      platform::CLEANUP_ON_INTERRUPT(registered);
      platform::CLEANUP_FORGET(slot);
      ::raise(c.signal);
      ::_exit(7);  // reached only when the signal is ignored
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (c.ignored_at_start) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7) << c.signal;
      EXPECT_TRUE(exists(registered));
    } else {
      EXPECT_TRUE(WIFSIGNALED(status)) << c.signal;
      EXPECT_EQ(WTERMSIG(status), c.signal);
      EXPECT_FALSE(exists(registered)) << c.signal;
    }
    EXPECT_TRUE(exists(kept));
    EXPECT_TRUE(exists(forgotten));
  }
}

TEST(Interrupt_Cleanup, TableSlotsAreReusedAndBounded) {
  std::string paths[platform::Cleanup_Slots + 1];
  int slots[platform::Cleanup_Slots + 1];
  for (int i = 0; i <= platform::Cleanup_Slots; ++i) {
    paths[i] = "file" + std::to_string(i);
    slots[i] = platform::CLEANUP_ON_INTERRUPT(paths[i]);
  }
  for (int i = 0; i < platform::Cleanup_Slots; ++i) EXPECT_EQ(platform::CLEANUP_PATH(slots[i]), paths[i]);
  EXPECT_EQ(slots[platform::Cleanup_Slots], -1);  // full
  platform::CLEANUP_FORGET(slots[3]);
  EXPECT_EQ(platform::CLEANUP_PATH(slots[3]), "");
  EXPECT_EQ(platform::CLEANUP_ON_INTERRUPT("again"), slots[3]);
  EXPECT_EQ(platform::CLEANUP_ON_INTERRUPT(std::string(5000, 'p')), -1);  // too long to keep
  for (int i = 0; i < platform::Cleanup_Slots; ++i) platform::CLEANUP_FORGET(i);
  platform::CLEANUP_FORGET(-1);
  EXPECT_EQ(platform::CLEANUP_PATH(0), "");
}

}  // namespace
