// Test_Scratch.cpp - linked into every test program: the program's scratch files (its own and
// those of the servers and display programs it starts, which inherit TMPDIR) go into one
// folder of its own, <tmp>/zeltra_tests.<pid>, removed at a normal end. A test program that
// was killed cannot remove its folder, nor end the servers it started: every test program
// removes, at its start, the folders of test programs that are gone and ends their servers
// (found by the server namespace "t<pid>" the test gave them, tests/kornd/Kornd_Server.cpp)
// and removes the shared blocks of that namespace, which a server killed outright leaves.

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr const char* Prefix = "zeltra_tests.";

bool gone(pid_t pid) { return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; }

// The pid in "<prefix><pid>", or 0.
pid_t owner_of(const std::string& name, const std::string& prefix) {
  if (!name.starts_with(prefix)) return 0;
  const std::string digits = name.substr(prefix.size());
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) return 0;
  return static_cast<pid_t>(std::stol(digits));
}

// Servers of this user whose test program is gone: a kornd whose KORND_NAMESPACE is t<pid>.
void end_servers_of_gone_tests() {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/proc", ec)) {
    const pid_t pid = owner_of(entry.path().filename().string(), "");
    if (pid <= 0) continue;
    if (fs::read_symlink(entry.path() / "exe", ec).filename() != "kornd") continue;
    std::ifstream environ(entry.path() / "environ", std::ios::binary);
    for (std::string variable; std::getline(environ, variable, '\0');)
      if (const pid_t test = owner_of(variable, "KORND_NAMESPACE=t"); test > 0 && gone(test)) ::kill(pid, SIGTERM);
  }
}

// Shared blocks "<block>.<uid>.t<pid>" in /dev/shm whose test program is gone.
void remove_blocks_of_gone_tests() {
  const std::string mark = "." + std::to_string(::getuid()) + ".t";
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/dev/shm", ec)) {
    const std::string name = entry.path().filename().string();
    const std::size_t at = name.rfind(mark);
    if (at != std::string::npos && gone(owner_of(name.substr(at + mark.size()), ""))) fs::remove(entry.path(), ec);
  }
}

const fs::path& own_folder() {
  static const fs::path folder = [] {
    std::error_code ec;
    const fs::path root = fs::temp_directory_path(ec);
    for (const auto& entry : fs::directory_iterator(root, ec))
      if (gone(owner_of(entry.path().filename().string(), Prefix))) fs::remove_all(entry.path(), ec);
    end_servers_of_gone_tests();
    remove_blocks_of_gone_tests();
    fs::path own = root / (Prefix + std::to_string(::getpid()));
    fs::create_directories(own, ec);
    ::setenv("TMPDIR", own.c_str(), 1);
    static const pid_t owner = ::getpid();
    static const fs::path* const kept = new fs::path(own);  // outlives the statics destroyed before the handler runs
    std::atexit([] {
      if (::getpid() != owner) return;  // a forked child of a test ends: the folder stays its parent's
      std::error_code ignored;
      fs::remove_all(*kept, ignored);
    });
    return own;
  }();
  return folder;
}

// Before main, so before any test makes a scratch file.
const bool scratch_ready = !own_folder().empty();

}  // namespace
