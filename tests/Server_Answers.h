// Server_Answers.h - a real kornd answering the text-input dialog and the pop-ups.
//
// Answer_Feeder watches a kornd the test started (KORND_TEST_INPUT naming its FIFO) and feeds
// that FIFO: each text-input dialog gets the next queued line (typed over the preset answer the
// dialog shows selected, then Return; an empty line is Return alone, which takes the preset) or
// Escape for a queued cancel; with none queued it presses Return. Each cursor read of a pop-up (the server's
// "kornd input: waiting" line) gets the next queued action: keys as the pop-up reads them, or
// a left or right click at a position in inches of the pop-up's paper, turned into a view pixel
// through the pop-up window's block (world box, viewport, unit). A read with no action queued
// means the test's answers ran out: it fails the running test with the read's line and ends
// the server, so that whatever waits on it returns (the program stops, an in-process client
// ends the test program); so does an action the server has not taken within a minute. The
// pop-up is window 2, beside the main display. The feeder runs on a thread of its own, beside an in-process client or a
// program such as Display_ZELTRA that took the same server.
//
// The namespace functions serve in-process tests: on first use the test program starts one
// kornd (offscreen), connects to it through the client library and opens the main display as
// start-up does (/CKR, Unit_Display). Tests that use it run one at a time with other server
// tests (zeltra_server_test in tests/CMakeLists.txt).
#pragma once

#include <sys/types.h>  // pid_t

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class Kornd_Server;

// One answer to one cursor read of the pop-up.
struct Pop_Up_Action {
  std::string line;              // FIFO lines (a drag: several, joined by line ends); empty for a click
  float x = 0, y = 0;            // the click's position in inches
  float paper_width = 0, paper_height = 0;
  bool right = false;
};

class Answer_Feeder {
 public:
  static constexpr int Pop_Up_Window = 2;
  // Feeds `fifo` from what `server` writes on its standard error; the server must outlive the
  // feeder.
  Answer_Feeder(Kornd_Server& server, const std::string& fifo);  // server already started
  ~Answer_Feeder();
  Answer_Feeder(const Answer_Feeder&) = delete;
  Answer_Feeder& operator=(const Answer_Feeder&) = delete;

  // Clicks go to the newest window instead of window 2 (a program that keeps other windows
  // open, such as curve plots, before a pop-up).
  void Follow_Newest_Window() { follow_newest_ = true; }

  void Type(std::string line);  // next dialog
  void Cancel();
  void Act(Pop_Up_Action action);  // next pop-up read
  std::vector<std::string> Prompts();
  int Reads();       // pop-up reads answered so far
  int Unanswered();  // of them, those that found no action queued (each a failure)
  std::size_t Pending();

 private:
  void watch();
  void give_up(const std::string& why);
  void send(const std::string& line);
  std::string click_line(const Pop_Up_Action& action);
  int pop_up_window();
  std::string aimed_line(const std::string& line);

  Kornd_Server& server_;
  pid_t server_pid_;  // kept apart from server_, whose own state the test's thread changes
  int fifo_fd_ = -1;
  std::mutex lock_;
  std::deque<std::optional<std::string>> dialogs_;  // nullopt: cancel
  std::deque<Pop_Up_Action> actions_;
  std::vector<std::string> prompts_;
  int reads_ = 0, unanswered_ = 0;
  bool stop_ = false;
  std::atomic<bool> follow_newest_{false};
  static constexpr int Newest_Window_Search = 64;
  std::thread thread_;
};

// Actions that answer whole pop-ups, built from single reads.
namespace pop_up_answers {
// A key ("Return", "Tab", "Escape") or one action per typed character.
Pop_Up_Action KEY(const std::string& key);
std::vector<Pop_Up_Action> TEXT(const std::string& text);
Pop_Up_Action CLICK(float x, float y, float paper_width, float paper_height, bool right = false);
// SELECT_STRINGS ending with `wanted`: picks on the entries that must change (with
// single_choice the first wanted entry, or the title when none is), then "OK".
std::vector<Pop_Up_Action> SELECTION(const std::vector<bool>& wanted, bool initial_state = false,
                                     bool single_choice = false);
// READ_TWO_STRINGS: both values replaced by these texts, then "OK".
std::vector<Pop_Up_Action> TWO_VALUES(const std::string& value_1, const std::string& value_2);
// READ_STRINGS_LOGICAL with 2 fields: both values replaced, the switch flipped or not, "OK".
std::vector<Pop_Up_Action> FORM_VALUES(const std::string& value_1, const std::string& value_2, bool flip_switch);
// The same with 2 or 3 fields.
std::vector<Pop_Up_Action> FORM_VALUES(const std::vector<std::string>& values, bool flip_switch);
}  // namespace pop_up_answers

// Actions on the main display, computed when they are made from the selected device's
// viewport and the zoom window (the main display must be selected and drawn): the picks of
// cells and the keys of the main display's cursor reads. A cell is clicked in its middle, so the
// last cell of the zoom window, whose middle lies past the picture's edge, is not one to click.
namespace main_window_answers {
Pop_Up_Action CLICK_CELL(int x, int y, bool right = false);
// A drag with the left button from cell 1 to cell 2; a rectangle pick also wants the right
// click that accepts it.
Pop_Up_Action DRAG(int x1, int y1, int x2, int y2, bool then_right_click = false);
Pop_Up_Action KEY(const std::string& key);
}  // namespace main_window_answers

namespace server_answers {

// Starts the server once; every call makes the main display selected and recorded in
// Graphics_Units again (tests reset the state records between cases).
void START();
// The next dialog gets this line typed over its preset and Return; "" is Return alone, which
// takes the preset (starts the server when needed).
void TYPE(std::string line);
// The next dialog is cancelled.
void CANCEL();
// The prompts of the dialogs answered so far, in order.
std::vector<std::string> PROMPTS();
// The next pop-up reads get these actions (starts the server when needed).
void ACT(const std::vector<Pop_Up_Action>& actions);
void ACT(const Pop_Up_Action& action);
int POP_UP_READS();
int UNANSWERED_READS();
std::size_t PENDING_ACTIONS();

}  // namespace server_answers
