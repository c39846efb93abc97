// Server_Answers.cpp - see Server_Answers.h.
#include "tests/Server_Answers.h"

#include <cpgplot.h>
#include <fcntl.h>
#include <signal.h>  // kill
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "Kornd_Server.h"
#include "korin_client/Coordinates.h"
#include "korin_client/KRDRIV.h"
#include "korin_client/Client_State.h"
#include "korin_client/Korin.h"
#include "records/Globals.h"
#include "tests/Test_Failure.h"

namespace {

constexpr const char* Dialog_Mark = "kornd input: dialog ";
constexpr const char* Waiting_Mark = "kornd input: waiting";
// How long the server may take to report an action done, however loaded the machine.
constexpr auto Action_Time_Limit = std::chrono::seconds(60);

void short_pause() { std::this_thread::sleep_for(std::chrono::milliseconds(2)); }

}  // namespace

Answer_Feeder::Answer_Feeder(Kornd_Server& server, const std::string& fifo) : server_(server), server_pid_(server.pid()) {
  fifo_fd_ = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);  // never blocks, never sees end of file
  thread_ = std::thread([this] { watch(); });
}

Answer_Feeder::~Answer_Feeder() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stop_ = true;
  }
  if (thread_.joinable()) thread_.join();
  if (fifo_fd_ >= 0) ::close(fifo_fd_);
}

void Answer_Feeder::Type(std::string line) {
  std::lock_guard<std::mutex> guard(lock_);
  dialogs_.emplace_back(std::move(line));
}

void Answer_Feeder::Cancel() {
  std::lock_guard<std::mutex> guard(lock_);
  dialogs_.emplace_back(std::nullopt);
}

void Answer_Feeder::Act(Pop_Up_Action action) {
  std::lock_guard<std::mutex> guard(lock_);
  actions_.push_back(std::move(action));
}

std::vector<std::string> Answer_Feeder::Prompts() {
  std::lock_guard<std::mutex> guard(lock_);
  return prompts_;
}

int Answer_Feeder::Reads() {
  std::lock_guard<std::mutex> guard(lock_);
  return reads_;
}

int Answer_Feeder::Unanswered() {
  std::lock_guard<std::mutex> guard(lock_);
  return unanswered_;
}

std::size_t Answer_Feeder::Pending() {
  std::lock_guard<std::mutex> guard(lock_);
  return actions_.size();
}

void Answer_Feeder::send(const std::string& line) {
  const std::string text = line + "\n";
  if (::write(fifo_fd_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return;
}

int Answer_Feeder::pop_up_window() {
  if (!follow_newest_) return Pop_Up_Window;
  // The pop-up is the newest window while it waits: the highest number in use.
  for (int w = Newest_Window_Search; w > Pop_Up_Window; --w) {
    platform::Shared_Block probe;
    if (server_.MapWindow(w, probe) != nullptr) return w;
  }
  return Pop_Up_Window;
}

// Keys and texts queued for the pop-up go to the window that waits.
std::string Answer_Feeder::aimed_line(const std::string& line) {
  const std::string window = " " + std::to_string(Pop_Up_Window) + " ";
  for (const char* verb : {"key", "text"}) {
    const std::string head = verb + window;
    if (line.rfind(head, 0) == 0) return verb + (" " + std::to_string(pop_up_window()) + " ") + line.substr(head.size());
  }
  return line;
}

// The picture point of the position, through the pop-up window's block (the page's world box
// spans the whole paper); the server clicks where its view shows that point.
std::string Answer_Feeder::click_line(const Pop_Up_Action& action) {
  platform::Shared_Block holder;
  const int window = pop_up_window();
  const channel::KRwinblock* b = server_.MapWindow(window, holder);
  if (b == nullptr) return "bad: no pop-up window";
  const double x = b->world_x1 + action.x / action.paper_width * (b->world_x2 - b->world_x1);
  const double y = b->world_y1 + action.y / action.paper_height * (b->world_y2 - b->world_y1);
  const Device_Point p = TO_DEVICE(*b, x, y);
  return "click " + std::to_string(window) + (action.right ? " right @" : " left @") + std::to_string(p.x) +
         " " + std::to_string(p.y);
}

// Fails the test and ends the server: a test that would wait for ever ends at once, and the
// server-test lock it holds goes free.
void Answer_Feeder::give_up(const std::string& why) {
  REPORT_FAILURE("scripted input: " + why + "; the server is stopped to end the test");
  if (server_pid_ > 0) ::kill(server_pid_, SIGTERM);
}

void Answer_Feeder::watch() {
  std::size_t seen = 0;
  for (;;) {
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (stop_) return;
    }
    const std::string errors = server_.Errors();
    const std::size_t dialog = errors.find(Dialog_Mark, seen), waiting = errors.find(Waiting_Mark, seen);
    const std::size_t at = std::min(dialog, waiting);
    const std::size_t end = at == std::string::npos ? at : errors.find('\n', at);
    if (end == std::string::npos) {
      short_pause();
      continue;
    }
    if (at == dialog) {
      seen = end;
      std::optional<std::string> answer = std::string();  // Return: the preset as it stands
      {
        std::lock_guard<std::mutex> guard(lock_);
        prompts_.push_back(errors.substr(at + std::strlen(Dialog_Mark), end - at - std::strlen(Dialog_Mark)));
        if (!dialogs_.empty()) {
          answer = dialogs_.front();
          dialogs_.pop_front();
        }
      }
      if (!answer) send("key 1 Escape");
      else {
        if (!answer->empty()) send("text 1 " + *answer);
        send("key 1 Return");
      }
      continue;
    }
    Pop_Up_Action action;
    bool ran_out = false;
    int read = 0;
    {
      std::lock_guard<std::mutex> guard(lock_);
      read = ++reads_;
      ran_out = actions_.empty();
      if (ran_out) {
        ++unanswered_;
      } else {
        action = actions_.front();
        actions_.pop_front();
      }
    }
    if (ran_out) {
      give_up("read " + std::to_string(read) + " of window " + std::to_string(pop_up_window()) + " (\"" +
              errors.substr(at, end - at) + "\") found no answer queued: the test's answers ran out");
      return;
    }
    const bool click = action.line.empty();
    const std::string line = click ? click_line(action) : aimed_line(action.line);
    send(line);
    // The next read is looked for after this action (its last line, when it holds several)
    // was delivered: a wait that runs again after its time ran out logs its line again.
    const std::string last = line.substr(line.rfind('\n') + 1);
    const auto deadline = std::chrono::steady_clock::now() + Action_Time_Limit;
    for (;;) {
      const std::string now = server_.Errors();
      std::size_t done = now.find("kornd input: done " + last + "\n", end);
      if (done == std::string::npos) done = now.find("kornd input: bad " + last + "\n", end);
      if (done != std::string::npos) {
        seen = now.find('\n', done);
        break;
      }
      {
        std::lock_guard<std::mutex> guard(lock_);
        if (stop_) return;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        give_up("the server did not take \"" + last + "\" within a minute");
        return;
      }
      short_pause();
    }
  }
}

namespace pop_up_answers {

Pop_Up_Action KEY(const std::string& key) {
  return Pop_Up_Action{"key " + std::to_string(Answer_Feeder::Pop_Up_Window) + " " + key};
}

std::vector<Pop_Up_Action> TEXT(const std::string& text) {
  std::vector<Pop_Up_Action> actions;
  for (char c : text) actions.push_back({"text " + std::to_string(Answer_Feeder::Pop_Up_Window) + " " + c});
  return actions;
}

Pop_Up_Action CLICK(float x, float y, float paper_width, float paper_height, bool right) {
  return Pop_Up_Action{"", x, y, paper_width, paper_height, right};
}

std::vector<Pop_Up_Action> SELECTION(const std::vector<bool>& wanted, bool initial_state, bool single_choice) {
  const int n = static_cast<int>(wanted.size());
  const float height = 0.4f * static_cast<float>(n + 1) + 1.4f;
  auto entry_click = [&](int entry) { return CLICK(2.0f, 0.75f + 0.4f * static_cast<float>(n + 1 - entry), 4.0f, height); };
  std::vector<Pop_Up_Action> actions;
  if (single_choice) {
    int first = 0;
    for (int k = n; k >= 1; --k)
      if (wanted[k - 1]) first = k;
    if (first > 0) actions.push_back(entry_click(first));
    else if (initial_state && n > 0) actions.push_back(CLICK(2.0f, height - 0.3f, 4.0f, height));  // the title
  } else {
    for (int k = 1; k <= n; ++k)
      if (wanted[k - 1] != initial_state) actions.push_back(entry_click(k));
  }
  actions.push_back(CLICK(2.0f, 0.2f, 4.0f, height));
  return actions;
}

namespace {
// Escape clears the field being edited, then the text, then TAB to the next one.
void replace_value(std::vector<Pop_Up_Action>& actions, const std::string& value) {
  actions.push_back(KEY("Escape"));
  for (Pop_Up_Action& a : TEXT(value)) actions.push_back(std::move(a));
  actions.push_back(KEY("Tab"));
}
}  // namespace

std::vector<Pop_Up_Action> TWO_VALUES(const std::string& value_1, const std::string& value_2) {
  std::vector<Pop_Up_Action> actions{CLICK(2.5f, 1.5f, 5.0f, 2.25f)};  // field 1
  replace_value(actions, value_1);
  replace_value(actions, value_2);
  actions.push_back(KEY("Return"));  // "OK" has the focus
  return actions;
}

std::vector<Pop_Up_Action> FORM_VALUES(const std::vector<std::string>& values, bool flip_switch) {
  // Field 1's row: the form of three fields stands on a taller paper.
  const bool three = values.size() == 3;
  std::vector<Pop_Up_Action> actions{three ? CLICK(2.5f, 2.7f, 5.0f, 3.5f) : CLICK(2.5f, 1.75f, 5.0f, 2.5f)};
  for (const std::string& value : values) replace_value(actions, value);
  if (flip_switch) actions.push_back(KEY("Return"));
  actions.push_back(KEY("Tab"));     // to "OK"
  actions.push_back(KEY("Return"));
  return actions;
}

std::vector<Pop_Up_Action> FORM_VALUES(const std::string& value_1, const std::string& value_2, bool flip_switch) {
  return FORM_VALUES(std::vector<std::string>{value_1, value_2}, flip_switch);
}

}  // namespace pop_up_answers

namespace main_window_answers {

namespace {
// The main display's window as the selected device shows it now.
std::string picture_point(float x, float y) {
  const auto& f = Display_Field;
  float vx1, vx2, vy1, vy2;
  cpgqvp(3, &vx1, &vx2, &vy1, &vy2);
  // The middle of a cell, which the pick turns back into that cell.
  auto along = [](float cell, float low, float high, int from, int to) {
    return to == from ? (low + high) / 2 : low + (cell + 0.5f - static_cast<float>(from)) / static_cast<float>(to - from) * (high - low);
  };
  const Device_Point p = TO_DEVICE(*KRblock(KRDRIV_WINDOW()), along(x, vx1, vx2, f.Zoom_X_From, f.Zoom_X_To),
                                   along(y, vy1, vy2, f.Zoom_Y_From, f.Zoom_Y_To));
  return "@" + std::to_string(p.x) + " " + std::to_string(p.y);
}
std::string window() { return std::to_string(KRDRIV_WINDOW()); }
}  // namespace

Pop_Up_Action CLICK_CELL(int x, int y, bool right) {
  return Pop_Up_Action{"click " + window() + (right ? " right " : " left ") + picture_point(static_cast<float>(x), static_cast<float>(y))};
}

Pop_Up_Action DRAG(int x1, int y1, int x2, int y2, bool then_right_click) {
  const std::string w = window(), end = picture_point(static_cast<float>(x2), static_cast<float>(y2));
  // The release names the second end: the pick takes it from where the button goes up.
  std::string line = "press " + w + " left " + picture_point(static_cast<float>(x1), static_cast<float>(y1)) +
                     "\nrelease " + w + " left " + end;
  if (then_right_click) line += "\nclick " + w + " right " + end;
  return Pop_Up_Action{line};
}

Pop_Up_Action KEY(const std::string& key) { return Pop_Up_Action{"key " + window() + " " + key}; }

}  // namespace main_window_answers

namespace server_answers {
namespace {

struct In_Process {
  Kornd_Server server;
  std::string folder;
  std::unique_ptr<Answer_Feeder> feeder;
  int main_display = 0;

  ~In_Process() {
    feeder.reset();
    KRquitx(0);
    server.Stop();
    std::system(("rm -rf '" + folder + "'").c_str());
  }
};

In_Process& in_process() {
  static In_Process p;
  return p;
}

void start_once();

// Tests reset the state records between cases (the main display becomes "no device"), while
// the server and the main display live as long as the test program: the display is recorded
// again where the reset left none, as on first use.
void main_display_again() {
  const int main_display = in_process().main_display;
  auto& units = Graphics_Units;
  if (units.Unit_Display == No_Device) units.Unit_Display = main_display;
  if (units.Unit_Current == No_Device) {
    units.Unit_Current = main_display;
    cpgslct(main_display);
  }
}

Answer_Feeder& feeder() {
  start_once();
  main_display_again();
  return *in_process().feeder;
}

void start_once() {
  In_Process& p = in_process();
  if (p.feeder) return;
  std::string folder_template = (std::filesystem::temp_directory_path() / "server_answers_XXXXXX").string();
  p.folder = ::mkdtemp(folder_template.data());
  const std::string fifo = p.folder + "/input";
  ::mkfifo(fifo.c_str(), 0600);
  p.server.SetDisplayEnvironment({"QT_QPA_PLATFORM=offscreen", "KORND_TEST_INPUT=" + fifo});
  if (!p.server.Start("")) std::abort();
  p.feeder = std::make_unique<Answer_Feeder>(p.server, fifo);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The main display as start-up opens it; the client takes the free server started above.
  const int unit = cpgopen("/CKR");
  if (unit <= 0) std::abort();
  cpgask(0);
  cpgpage();
  p.main_display = Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = unit;
}

}  // namespace

void START() {
  start_once();
  In_Process& p = in_process();  // tests reset the state records between cases
  Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = p.main_display;
  cpgslct(p.main_display);
}

void TYPE(std::string line) { feeder().Type(std::move(line)); }
void CANCEL() { feeder().Cancel(); }
std::vector<std::string> PROMPTS() { return in_process().feeder ? in_process().feeder->Prompts() : std::vector<std::string>{}; }
void ACT(const std::vector<Pop_Up_Action>& actions) {
  for (const Pop_Up_Action& a : actions) feeder().Act(a);
}
void ACT(const Pop_Up_Action& action) { feeder().Act(action); }
int POP_UP_READS() { return in_process().feeder ? in_process().feeder->Reads() : 0; }
int UNANSWERED_READS() { return in_process().feeder ? in_process().feeder->Unanswered() : 0; }
std::size_t PENDING_ACTIONS() { return in_process().feeder ? in_process().feeder->Pending() : 0; }

}  // namespace server_answers
