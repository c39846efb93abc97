// The view's storing and buffering paths through a running server: the options request
// (B 10) switches storing and buffering, the repaint request (B 4) paints the window again, the
// View and Mode menus' commands and the mouse run through the test input seam, the pixel
// request (F) reads the window back and picks (C) answer picture points in every view mode.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <chrono>
#include <future>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <string>
#include <vector>

#include "Kornd_Server.h"
#include "platform/Channel_Blocks.h"

namespace {

constexpr std::int32_t White = 0xFFFFFF, Red = 0x0000FF, Green = 0x00FF00;

struct Point {
  int x, y;
};

class View_Requests : public ::testing::Test {
 protected:
  void SetUp() override {
    // The test input seam: lines written to this FIFO reach the server's windows.
    ASSERT_EQ(mkfifo(fifo_.c_str(), 0600), 0);
    setenv("KORND_TEST_INPUT", fifo_.c_str(), 1);
    ASSERT_TRUE(k_.Start("")) << k_.Errors();
    unsetenv("KORND_TEST_INPUT");
    fd_ = open(fifo_.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd_, 0);
    ASSERT_EQ(k_.Send("I,1,100,80,0,19,5,"), 1u) << k_.Errors();
    b_ = k_.MapWindow(1, holder_);
    ASSERT_NE(b_, nullptr);
  }
  std::uint32_t Req(char letter, int code, std::vector<int> a = {}) {
    b_->code = code;
    for (std::size_t i = 0; i < 6; ++i) b_->a[i] = i < a.size() ? a[i] : 0;
    return k_.Send(std::string{letter, static_cast<char>(1 + 32)});
  }
  std::int32_t Pixel(int x, int y) {
    EXPECT_EQ(Req('F', x, {y}), 1u);
    return b_->a[2];
  }
  void TearDown() override {
    if (fd_ >= 0) close(fd_);
    unlink(fifo_.c_str());
  }
  // Sends one input line and waits until the server reports it done (false: bad or no answer).
  bool Line(const std::string& text) {
    const std::string line = text + "\n";
    const int before = k_.CountErrors("kornd input: done " + text);
    const int bad_before = k_.CountErrors("kornd input: bad " + text);
    if (write(fd_, line.data(), line.size()) != ssize_t(line.size())) return false;
    for (int i = 0; i < 500; ++i) {
      if (k_.CountErrors("kornd input: done " + text) > before) return true;
      if (k_.CountErrors("kornd input: bad " + text) > bad_before) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  // Runs a menu command of window 1 and waits until the server reports it done.
  bool Command(const std::string& text) { return Line("command 1 " + text); }
  // A point pick (C 1) that a left click at the client pixel ends; the picked picture point.
  Point Pick(int x, int y) {
    const int before = k_.CountErrors("kornd input: waiting");
    b_->code = 1;
    for (int& a : b_->a) a = 0;
    auto reply = std::async(std::launch::async, [this] { return k_.Send(std::string{'C', 1 + 32}); });
    for (int i = 0; i < 500 && k_.CountErrors("kornd input: waiting") <= before; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(Line("click 1 left " + std::to_string(x) + " " + std::to_string(y))) << k_.Errors();
    if (reply.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << "the pick did not end: " << k_.Errors();
      k_.Stop();
    }
    EXPECT_EQ(reply.get(), 1u);  // the left button
    return Point{b_->a[3], b_->a[4]};
  }
  // Option 1 storing, 2 buffering; -1 only asks.
  std::uint32_t Option(int option, int value) { return Req('B', 10, {option, value}); }

  Kornd_Server k_;
  platform::Shared_Block holder_;
  channel::KRwinblock* b_ = nullptr;
  std::string fifo_ = std::filesystem::temp_directory_path().string() + "/kornd_view_input_" + std::to_string(getpid());
  int fd_ = -1;
};

}  // namespace

TEST_F(View_Requests, StoringAndBufferingDecideWhatARepaintShows) {
  ASSERT_EQ(Req('A', 22, {13, 0, 10, 10, 20, 20}), 1u);  // red, stored
  EXPECT_EQ(Option(2, -1), 1u);                          // a back buffer from the start
  EXPECT_EQ(Option(1, 0), 0u);                           // storing off
  ASSERT_EQ(Req('A', 22, {14, 0, 30, 30, 40, 40}), 1u);  // green, drawn but not kept
  EXPECT_EQ(Pixel(35, 35), Green);
  // With the buffer the unstored square survives a repaint.
  EXPECT_EQ(Req('B', 4), 1u);
  EXPECT_EQ(Pixel(35, 35), Green);
  EXPECT_EQ(Pixel(15, 15), Red);
  // Buffering off and storing off: a repaint has nothing to draw.
  EXPECT_EQ(Option(2, 0), 0u);
  EXPECT_EQ(Req('B', 4), 1u);
  EXPECT_EQ(Pixel(15, 15), White);
  EXPECT_EQ(Pixel(35, 35), White);
  // Storing on: the repaint replays the list.
  EXPECT_EQ(Option(1, 1), 1u);
  EXPECT_EQ(Req('B', 4), 1u);
  EXPECT_EQ(Pixel(15, 15), Red);
  EXPECT_EQ(Pixel(35, 35), White);
  // Buffering on again: the same picture, now copied from the buffer.
  EXPECT_EQ(Option(2, 1), 1u);
  EXPECT_EQ(Option(2, -1), 1u);
  ASSERT_EQ(Req('A', 22, {14, 0, 50, 50, 60, 60}), 1u);
  EXPECT_EQ(Req('B', 4), 1u);
  EXPECT_EQ(Pixel(15, 15), Red);
  EXPECT_EQ(Pixel(55, 55), Green);
  EXPECT_EQ(Pixel(35, 35), White);
}

TEST_F(View_Requests, MenuCommandsOfTheWindow) {
  EXPECT_FALSE(Command("Re&play"));  // disabled while the list is empty
  ASSERT_EQ(Req('A', 22, {13, 0, 10, 10, 20, 20}), 1u);
  // Buffering off through the menu: the option request reports it.
  ASSERT_TRUE(Command("&Buffering")) << k_.Errors();
  EXPECT_EQ(Option(2, -1), 0u);
  // Storing off through the menu; the next square is drawn, not kept.
  ASSERT_TRUE(Command("S&toring"));
  EXPECT_EQ(Option(1, -1), 0u);
  ASSERT_EQ(Req('A', 22, {14, 0, 30, 30, 40, 40}), 1u);
  EXPECT_EQ(Pixel(35, 35), Green);
  ASSERT_TRUE(Command("S&toring"));
  // Replay makes the picture from the list: the unstored square is gone.
  ASSERT_TRUE(Command("Re&play"));
  EXPECT_EQ(Pixel(15, 15), Red);
  EXPECT_EQ(Pixel(35, 35), White);
  ASSERT_TRUE(Command("&Buffering"));
  EXPECT_EQ(Option(2, -1), 1u);
  EXPECT_FALSE(Command("No Such Command"));
}

TEST_F(View_Requests, ASecondWindowOnTheDocumentDrawsTooAndClosesWithIt) {
  ASSERT_EQ(Req('A', 22, {13, 0, 10, 10, 20, 20}), 1u);
  ASSERT_TRUE(Command("&New Window")) << k_.Errors();
  EXPECT_EQ(Pixel(15, 15), Red);  // read in the new window, the active one
  ASSERT_EQ(Req('A', 22, {14, 0, 30, 30, 40, 40}), 1u);
  EXPECT_EQ(Pixel(35, 35), Green);
  // Closing the graphics window closes both frames and removes the window's block.
  const std::string block = channel::WINDOW_BLOCK_NAME(k_.instance(), 1);
  ASSERT_TRUE(SHM_EXISTS(block));
  k_.Send(std::string{'J', static_cast<char>(1 + 32)});
  for (int i = 0; i < 200 && SHM_EXISTS(block); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(SHM_EXISTS(block)) << k_.Errors();
  EXPECT_TRUE(k_.running());
}

TEST_F(View_Requests, AnAnchorBelowTheLastLeavesOutTheObjectsBetweenAndFlushingShowsGroups) {
  constexpr std::int32_t Blue = 0xFF0000, Yellow = 0x00FFFF;
  struct Square {
    int colour_code;
    std::int32_t colour;
    int x;
  } squares[] = {{13, Red, 0}, {14, Green, 20}, {16, Blue, 40}, {15, Yellow, 60}};
  // A square before each of three anchors and one after the last.
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(Req('A', 22, {squares[i].colour_code, 0, squares[i].x, 0, squares[i].x + 10, 10}), 1u);
    if (i < 3) {
      ASSERT_EQ(Req('B', 29, {i + 1}), std::uint32_t(i + 1));
    }
  }
  struct Row {
    int anchor;        // selected through B 34
    int buffering;     // option 2
    const char* shown;  // squares shown after a repaint request
  } rows[] = {
      {1, 1, "03"}, {1, 0, "03"}, {2, 0, "013"}, {2, 1, "013"}, {0, 1, "0123"}, {1, 1, "03"}, {3, 0, "0123"},
  };
  for (const Row& r : rows) {
    Option(2, r.buffering);
    EXPECT_EQ(Req('B', 34, {r.anchor}), std::uint32_t(r.anchor));
    EXPECT_EQ(Req('B', 4), 1u);
    std::string shown;
    for (int i = 0; i < 4; ++i) {
      const std::int32_t p = Pixel(squares[i].x + 5, 5);
      if (p == squares[i].colour) shown += char('0' + i);
      else if (p != White) shown += '?';
    }
    EXPECT_EQ(shown, r.shown) << "anchor " << r.anchor << ", buffering " << r.buffering;
  }
  // Objects of a negative segment wait in their group; Flushing draws them.
  ASSERT_EQ(Req('B', 23, {0, -3}), 7u);  // the object count: four squares, three anchors
  ASSERT_EQ(Req('A', 22, {14, 0, 0, 40, 10, 50}), 1u);
  EXPECT_EQ(Pixel(5, 45), White);
  ASSERT_TRUE(Command("&Flushing")) << k_.Errors();
  EXPECT_EQ(Pixel(5, 45), Green);
}

TEST_F(View_Requests, ViewModesZoomAndPicksAnswerPicturePoints) {
  ASSERT_EQ(Req('E', -5, {200, 160}), 1u);  // a client area of twice the picture's size
  ASSERT_EQ(Req('E', 5), 1u);
  ASSERT_EQ(b_->a[2], 200);
  ASSERT_EQ(b_->a[3], 160);
  ASSERT_EQ(Req('A', 22, {13, 0, 10, 10, 20, 20}), 1u);   // red
  ASSERT_EQ(Req('A', 22, {14, 0, 60, 40, 100, 80}), 1u);  // green
  ASSERT_EQ(Req('B', 15, {4}), 1u);                       // the whole picture, stretched
  struct Pixel_Row {
    int x, y;
    std::int32_t colour;
  } pixels[] = {{15, 15, Red}, {80, 60, Green}, {30, 30, White}, {5, 5, White}};
  for (const Pixel_Row& p : pixels) EXPECT_EQ(Pixel(p.x, p.y), p.colour) << p.x << ", " << p.y;
  struct Pick_Row {
    const char* step;  // a menu command or mouse line before the pick
    int x, y;          // the click, in client pixels
    Point picked;
  } rows[] = {
      {nullptr, 30, 30, {15, 15}},
      {nullptr, 198, 158, {99, 79}},
      {nullptr, 199, 159, {100, 80}},  // halves round
      // The zoom-in selection from client (20, 20) to (100, 100): the picture's (10, 10)-(50, 50),
      // stretched 5 times across and 4 times down.
      {"command 1 &Zoom in", 25, 20, {15, 15}},
      {"command 1 B&ack", 30, 30, {15, 15}},
      {"command 1 &Bitmap", 30, 30, {30, 30}},
      {"command 1 &Total", 120, 80, {60, 40}},
  };
  for (const Pick_Row& r : rows) {
    if (r.step) {
      ASSERT_TRUE(Line(r.step)) << r.step << k_.Errors();
      if (std::string(r.step) == "command 1 &Zoom in") {
        ASSERT_TRUE(Line("press 1 left 20 20"));
        ASSERT_TRUE(Line("move 1 60 60"));
        ASSERT_TRUE(Line("release 1 left 100 100"));
        EXPECT_EQ(Pixel(15, 15), Red);  // the zoomed picture reads the same picture points
        EXPECT_EQ(Pixel(45, 45), White);
      }
    }
    const Point p = Pick(r.x, r.y);
    EXPECT_EQ(p.x, r.picked.x) << (r.step ? r.step : "") << " at " << r.x << ", " << r.y;
    EXPECT_EQ(p.y, r.picked.y) << (r.step ? r.step : "") << " at " << r.x << ", " << r.y;
  }
  EXPECT_FALSE(Command("B&ack"));  // nothing left to go back to
}
