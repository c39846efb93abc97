// Process_Start.cpp - posix_spawn and the wait for readiness (see Process_Start.h).
#include "platform/Process_Start.h"

#include <fcntl.h>     // O_RDONLY
#include <signal.h>    // sigemptyset, sigfillset
#include <spawn.h>     // posix_spawn
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // usleep

#include <cerrno>   // errno
#include <chrono>   // deadline
#include <cstring>  // std::strerror

extern char** environ;

namespace platform {

namespace {

pid_t spawn_with(const std::string& path, const std::vector<std::string>& args, const posix_spawn_file_actions_t* actions,
                 std::string& error) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // The child starts with no signal blocked and every signal at its default action, whatever
  // this program blocks or ignores (the display blocks its end signals on the calling thread).
  posix_spawnattr_t attributes;
  int rc = posix_spawnattr_init(&attributes);
  if (rc != 0) {
    error = "posix_spawnattr_init: " + std::string(std::strerror(rc));
    return -1;
  }
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  rc = posix_spawn(&pid, path.c_str(), actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) {
    error = "posix_spawn " + path + ": " + std::strerror(rc);
    return -1;
  }
  return pid;
}

}  // namespace

pid_t SPAWN(const std::string& path, const std::vector<std::string>& args, std::string& error) {
  return spawn_with(path, args, nullptr, error);
}

pid_t SPAWN_DETACHED(const std::string& path, const std::vector<std::string>& args, std::string& error) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  const pid_t pid = spawn_with(path, args, &actions, error);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

Wait_Status WAIT_FOR_IDLE(pid_t pid, int timeout_ms, const std::function<bool()>& idle, int* exit_status) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (idle()) return Wait_Status::Idle;
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno == ECHILD)) {
      if (exit_status) *exit_status = r == pid ? status : -1;
      return Wait_Status::Exited;
    }
    if (std::chrono::steady_clock::now() >= deadline) return Wait_Status::Timed_Out;
    usleep(5000);
  }
}

}  // namespace platform
