// Test support: Display_ZELTRA as a child process of the test, started in a folder, with
// extra environment variables and optionally as another user, its console (standard error)
// read through a pipe, its end observed with waitpid (exit code or signal).
#pragma once

#include <grp.h>       // setgroups
#include <sys/resource.h>  // setrlimit
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // fork, execv, pipe

#include <csignal>
#include <cstdlib>     // setenv
#include <string>
#include <utility>
#include <vector>

#include "tests/Sanitizer_Reports.h"

struct Program_Start {
  std::vector<std::pair<std::string, std::string>> environment;  // added to the test's own
  bool as_other_user = false;                                     // uid and gid 65534
  long long file_size_limit = -1;  // >= 0: no file may grow beyond it (writes then fail)
};

struct Started_Program {
  pid_t pid = -1;
  int console = -1;  // read end of the console pipe
};

struct Ended_Program {
  int status = 0;  // as waitpid gives it
  std::string console;
  int exit_code() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
  int signal() const { return WIFSIGNALED(status) ? WTERMSIG(status) : 0; }
};

inline constexpr uid_t Other_User = 65534;
inline constexpr gid_t Other_Group = 65534;

// Starts Display_ZELTRA with words in folder. The interrupts are reset to their default
// action, as an interactive shell starts a program.
inline Started_Program START_PROGRAM(const std::string& folder, const std::vector<std::string>& words,
                                     const Program_Start& how = {}) {
  int console[2];
  if (::pipe(console) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(console[1], STDERR_FILENO);
    ::close(console[0]);
    ::close(console[1]);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const auto& [name, value] : how.environment) ::setenv(name.c_str(), value.c_str(), 1);
    if (how.file_size_limit >= 0) {
      std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead
      const rlimit limit{static_cast<rlim_t>(how.file_size_limit), static_cast<rlim_t>(how.file_size_limit)};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
    }
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    if (how.as_other_user && (::setgroups(0, nullptr) != 0 || ::setresgid(Other_Group, Other_Group, Other_Group) != 0 ||
                              ::setresuid(Other_User, Other_User, Other_User) != 0))
      ::_exit(126);
    std::vector<char*> argv;
    static char program[] = ZELTRA_BIN_DIR "/Display_ZELTRA";
    argv.push_back(program);
    for (const auto& w : words) argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    ::execv(program, argv.data());
    ::_exit(127);
  }
  ::close(console[1]);
  return {pid, console[0]};
}

// Reads the console to its end and waits for the program.
inline Ended_Program WAIT_PROGRAM(Started_Program& started) {
  Ended_Program ended;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(started.console, buffer, sizeof buffer)) > 0)
    ended.console.append(buffer, static_cast<std::size_t>(n));
  ::close(started.console);
  ::waitpid(started.pid, &ended.status, 0);
  FAIL_ON_SANITIZER_REPORT("Display_ZELTRA", ended.console);
  return ended;
}

inline Ended_Program RUN_PROGRAM(const std::string& folder, const std::vector<std::string>& words,
                                 const Program_Start& how = {}) {
  Started_Program started = START_PROGRAM(folder, words, how);
  return WAIT_PROGRAM(started);
}
