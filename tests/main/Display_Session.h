// Test support: Display_ZELTRA as a process fed on standard input while it runs, beside a
// real kornd started for it (offscreen, its standard error kept apart), so that a test can
// send commands, wait for console text, stop the server or the program, and read the end.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/kornd/Kornd_Server.h"
#include "tests/main/Display_Run.h"
#include "tests/result_files/Scratch_Folder.h"

class Display_Session {
 public:
  // Who starts the server: the test (the program then takes it) or the program itself.
  enum class Server_Start { By_Test, By_Program };

  // Starts a server (server_environment added to its display variables) unless the program
  // is to start its own, then the program in folder with the words.
  Display_Session(const Scratch_Folder& folder, const std::vector<std::string>& words,
                  const std::vector<std::string>& server_environment = {},
                  Server_Start start = Server_Start::By_Test) {
    std::vector<std::string> variables{"QT_QPA_PLATFORM=offscreen"};
    variables.insert(variables.end(), server_environment.begin(), server_environment.end());
    server.SetDisplayEnvironment(variables);
    ::signal(SIGPIPE, SIG_IGN);  // a program that has ended makes a write fail, not end the test
    if (start == Server_Start::By_Test) server_started = server.Start();
    err_name_ = streams_ / "err";
    int in[2];
    if (::pipe(in) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      const int err = ::open(err_name_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int out = ::open((streams_ / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (err < 0 || out < 0 || ::dup2(in[0], 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
      ::close(in[1]);
      EXEC_DISPLAY_ZELTRA(folder, words);
    }
    ::close(in[0]);
    input_ = in[1];
  }
  ~Display_Session() {
    CLOSE_INPUT();
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    FAIL_ON_SANITIZER_REPORT("Display_ZELTRA", CONSOLE());
  }
  Display_Session(const Display_Session&) = delete;
  Display_Session& operator=(const Display_Session&) = delete;

  void SEND(const std::string& text) {
    if (input_ >= 0 && ::write(input_, text.data(), text.size()) < 0) CLOSE_INPUT();
  }
  void CLOSE_INPUT() {
    if (input_ >= 0) ::close(input_);
    input_ = -1;
  }
  std::string CONSOLE() const { return read_bytes(err_name_); }
  // True once the console holds text (within timeout_ms).
  bool WAIT_FOR(const std::string& text, int timeout_ms = 20000) const {
    for (int waited = 0; waited < timeout_ms; waited += 20) {
      if (CONSOLE().find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  void SIGNAL(int number) const {
    if (pid_ > 0) ::kill(pid_, number);
  }
  // The exit code (-1 when killed by a signal, -2 when still running after timeout_ms).
  int WAIT_EXIT(int timeout_ms = 30000) {
    if (pid_ <= 0) return exit_code_;
    for (int waited = 0; waited < timeout_ms; waited += 20) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return exit_code_;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -2;
  }
  // The whole run with input, then the end of input: the exit code.
  int RUN(const std::string& input) {
    SEND(input);
    CLOSE_INPUT();
    return WAIT_EXIT();
  }

  pid_t pid() const { return pid_; }

  Kornd_Server server;
  bool server_started = false;

 private:
  Scratch_Folder streams_;
  std::string err_name_;
  pid_t pid_ = -1;
  int input_ = -1;
  int exit_code_ = -2;
};

// The " File: " names in the order the console reports them.
inline std::vector<std::string> CREATED_FILES(const std::string& console) {
  std::vector<std::string> names;
  for (std::size_t at = console.find(" File: "); at != std::string::npos; at = console.find(" File: ", at + 1)) {
    const std::size_t end = console.find(" created", at);
    names.push_back(console.substr(at + 7, end - at - 7));
  }
  return names;
}
