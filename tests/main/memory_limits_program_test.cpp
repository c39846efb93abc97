// Sizes a file declares, through the whole program: Display_ZELTRA -g beside a real kornd
// (offscreen), run under an address-space limit (setrlimit in the forked child) where the
// declared sizes cannot be met. The run stops with the allocation checks' message and
// exit 1, deletes its working copies and tells the server to quit.

#include <gtest/gtest.h>
#include <sys/resource.h>  // setrlimit

#include <filesystem>
#include <string>

#include "tests/main/Display_Session.h"
#include "tools/Sample_Case.h"

namespace {

using sample::Encoding;

// Display_ZELTRA in folder with the words, its address space limited to limit_bytes; the
// server of the session must be running already. The exit code (-1: killed by a signal).
Display_Run run_limited(const Scratch_Folder& folder, const std::vector<std::string>& words, rlim_t limit_bytes,
                        const std::string& input) {
  Scratch_Folder streams;
  write_bytes(streams / "in", input);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlimit limit{limit_bytes, limit_bytes};
    const int in = ::open((streams / "in").c_str(), O_RDONLY);
    const int out = ::open((streams / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open((streams / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
        ::setrlimit(RLIMIT_AS, &limit) != 0)
      ::_exit(126);
    EXEC_DISPLAY_ZELTRA(folder, words);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_bytes(streams / "err"), read_bytes(streams / "out")};
}

// A compressed ASCII case whose geometry declares 20000 x 20000 cells and whose 31-byte
// result file declares as many values.
void write_declared_case(const Scratch_Folder& dir) {
  std::filesystem::create_directories(dir.path() / "tmp");
  sample::WRITE_GEOMETRY(dir / "geo", Encoding::Ascii, sample::GRID(20000, 1, 20000, 1e-4));
  sample::GZIP_COPY(dir / "geo", dir / "Case_geoF.zlt");
  write_bytes(dir / "phas", "0.0 400000000 1.0 2.0 3.0 4.00\n");
  ASSERT_EQ(std::filesystem::file_size(dir / "phas"), 31u);
  sample::GZIP_COPY(dir / "phas", dir / "Case_phas.zlt");
  std::filesystem::remove(dir / "geo");
  std::filesystem::remove(dir / "phas");
}

TEST(Memory_Limits_Program, DeclaredSizesBeyondTheMemoryStopCleanly) {
  Scratch_Folder dir;
  write_declared_case(dir);
  Kornd_Server server;
  server.SetDisplayEnvironment({"QT_QPA_PLATFORM=offscreen"});
  ASSERT_TRUE(server.Start());
  const Display_Run run =
      run_limited(dir, {"-g", "-z", "--Temp:tmp/", "Case_phas.zlt"}, rlim_t{1} << 30, "1 0 0\n0 129 0\n");
  EXPECT_EQ(run.exit_code, 1) << run.console;
  EXPECT_NE(run.console.find("\n\nUnable to allocate "), std::string::npos) << run.console;
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "tmp"));  // no working copy left
  EXPECT_TRUE(server.WaitExit(10000));                          // the server was told to quit
}

}  // namespace
