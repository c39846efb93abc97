// Test support: one run of Display_ZELTRA in a folder with its words and a text on standard
// input; standard error (the console), standard output and the exit code come back.
#pragma once

#include <fcntl.h>     // open
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // fork, execv, dup2

#include <string>
#include <vector>

#include "tests/Sanitizer_Reports.h"
#include "tests/result_files/Scratch_Folder.h"

struct Display_Run {
  int exit_code = -1;  // -1: killed by a signal
  std::string console;
  std::string output;
};

// In a forked child whose streams are set: the program in folder with the words. Never
// returns (126: no folder, 127: no program).
[[noreturn]] inline void EXEC_DISPLAY_ZELTRA(const Scratch_Folder& folder, const std::vector<std::string>& words) {
  if (::chdir(folder.path().c_str()) != 0) ::_exit(126);
  static char program[] = ZELTRA_BIN_DIR "/Display_ZELTRA";
  std::vector<char*> argv{program};
  for (const auto& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);
  ::execv(program, argv.data());
  ::_exit(127);
}

// Runs the program in folder; input is what standard input holds (then its end).
inline Display_Run RUN_DISPLAY(const Scratch_Folder& folder, const std::vector<std::string>& words,
                               const std::string& input = "") {
  static Scratch_Folder streams;
  const std::string in_name = streams / "in", out_name = streams / "out", err_name = streams / "err";
  write_bytes(in_name, input);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open(in_name.c_str(), O_RDONLY);
    const int out = ::open(out_name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(err_name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
    EXEC_DISPLAY_ZELTRA(folder, words);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  Display_Run run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_bytes(err_name), read_bytes(out_name)};
  FAIL_ON_SANITIZER_REPORT("Display_ZELTRA", run.console);
  return run;
}
