// Test support: Display_ZELTRA beside a real kornd whose pop-up reads and text dialogs the test
// answers (Answer_Feeder on the server's input FIFO), with the console helpers the program
// tests share.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/Server_Answers.h"
#include "tests/main/Display_Session.h"

// How often text occurs in the console.
inline int OCCURRENCES(const std::string& console, const std::string& text) {
  int n = 0;
  for (std::size_t at = console.find(text); at != std::string::npos; at = console.find(text, at + 1)) ++n;
  return n;
}

class Answered_Session {
 public:
  Answered_Session(const Scratch_Folder& folder, const std::vector<std::string>& words)
      : fifo_(make_fifo(streams_)), session(folder, words, {"KORND_TEST_INPUT=" + fifo_}), feeder(session.server, fifo_) {}

  void ACT(const std::vector<Pop_Up_Action>& actions) {
    for (const Pop_Up_Action& a : actions) feeder.Act(a);
  }
  // Sends the commands, then waits until the console holds `text` once more than before.
  bool SEND_AND_WAIT(const std::string& commands, const std::string& text, int timeout_ms = 20000) {
    const int before = OCCURRENCES(session.CONSOLE(), text);
    session.SEND(commands);
    for (int waited = 0; waited < timeout_ms; waited += 20) {
      if (OCCURRENCES(session.CONSOLE(), text) > before) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  // A command with no console text of its own is done once the toggle behind it has reported.
  bool SEND_AND_SETTLE(const std::string& commands) { return SEND_AND_WAIT(commands + "0 24 0\n", "'Auto-replot' o"); }

 private:
  static std::string make_fifo(const Scratch_Folder& folder) {
    const std::string name = folder / "input";
    ::mkfifo(name.c_str(), 0600);
    return name;
  }
  Scratch_Folder streams_;
  std::string fifo_;

 public:
  Display_Session session;
  Answer_Feeder feeder;
};
