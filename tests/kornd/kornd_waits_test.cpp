// Waits, picks of events and the text-input dialog of a running kornd, with keys and mouse
// clicks delivered to its windows through the scripted input seam (KORND_TEST_INPUT, a FIFO):
// key codes and events, elapsed times of timed waits, the end of a wait whose window closes,
// the dialog's 256 characters and its Escape, and a client question's Cancel.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "Scripted_Kornd.h"

namespace {

using Waits = Scripted_Kornd;

TEST_F(Waits, TimedWaitRunsItsTimeOrEndsOnAnEvent) {
  Open();
  const auto start = std::chrono::steady_clock::now();
  const std::uint32_t elapsed = B(32, {300});
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, 300u);
  EXPECT_LE(elapsed, 600u);
  EXPECT_GE(took, std::chrono::milliseconds(300));
  EXPECT_EQ(b_->a[3], 0) << "the time ran out";

  struct Row {
    std::vector<std::string> lines;
    int event, x, y;
  } rows[] = {
      {{"move 1 40 50", "click 1 left 40 50"}, -1, 40, 50},
      {{"move 1 60 70", "click 1 right 60 70"}, -2, 60, 70},
      {{"text 1 q"}, 'q', 60, 70},
  };
  for (const Row& r : rows) {
    EXPECT_LT(During(32, {100000}, r.lines), 50000u);
    EXPECT_EQ(b_->a[3], r.event);
    EXPECT_EQ(b_->a[4], r.x);
    EXPECT_EQ(b_->a[5], r.y);
  }
}

TEST_F(Waits, KeysTypeTheirCharactersAndOnlyLatin1Ones) {
  Open();
  struct Row {
    std::vector<std::string> lines;
    int event;
  } rows[] = {
      {{"key 1 Tab"}, 9},
      {{"key 1 Backspace"}, 8},
      {{"key 1 Delete"}, 127},
      {{"text 1 \xC3\xA9"}, 0xE9},                 // a Latin-1 letter keeps its code
      {{"text 1 \xE2\x82\xAC", "text 1 q"}, 'q'},  // a euro sign is no character of the client
  };
  for (const Row& r : rows) {
    EXPECT_LT(During(32, {100000}, r.lines), 50000u) << r.lines[0];
    EXPECT_EQ(b_->a[3], r.event) << r.lines[0];
  }
}

TEST_F(Waits, KeyWaitsAnswerVirtualKeyAndCharacter) {
  Open();
  EXPECT_EQ(During(1, {128}, {"down 1 a"}), std::uint32_t('A'));
  EXPECT_EQ(b_->a[3], 'a');
  Input("up 1 a");
  EXPECT_EQ(During(1, {64}, {"down 1 F2"}), 113u);
  EXPECT_EQ(During(1, {64}, {"key 1 Tab"}), 9u) << "Tab is a key of the window, not a focus move";
  EXPECT_EQ(During(1, {64}, {"key 1 Shift+Tab"}), 9u);
  EXPECT_EQ(During(1, {64}, {"key 1 Backtab"}), 9u);
  EXPECT_EQ(During(1, {32}, {"up 1 F2"}), 113u);
  // after a click, the last button is the left one at the click, read once
  Input("click 1 left 11 22");
  EXPECT_EQ(B(35), 1u);
  EXPECT_EQ((std::vector<int>{b_->a[2], b_->a[3], b_->a[4]}), (std::vector<int>{11, 22, -1}));
  EXPECT_EQ(B(35), 1u);
  EXPECT_EQ((std::vector<int>{b_->a[2], b_->a[3], b_->a[4]}), (std::vector<int>{-1, -1, 0}));
}

TEST_F(Waits, ClosingTheWindowDuringAWaitFailsTheRequestAndEndsTheServer) {
  Open();
  EXPECT_EQ(During(32, {100000}, {"close 1"}), Failed);
  EXPECT_TRUE(k_.WaitExit(5000)) << k_.Errors();
}

TEST_F(Waits, TextInputKeepsTheFirst256CharactersAndEscapeGivesNothing) {
  Open();
  const std::string typed(300, 'x');
  std::string expected(256, 'x');
  EXPECT_EQ(During(14, {}, {"text 1 " + typed, "key 1 Return"}, "kornd input: dialog", "Number:"), 1u);
  EXPECT_EQ(Data(), expected);
  EXPECT_EQ(b_->a[2], 1) << "taken";
  EXPECT_EQ(During(14, {}, {"text 1 abc", "key 1 Escape"}, "kornd input: dialog", "Number:"), 1u);
  EXPECT_EQ(Data(), "");
  EXPECT_EQ(b_->a[2], 2) << "cancelled";
  EXPECT_EQ(During(14, {}, {"key 1 Return"}, "kornd input: dialog", "Number:"), 1u);
  EXPECT_EQ(Data(), "");
  EXPECT_EQ(b_->a[2], 1) << "an empty line taken";
  EXPECT_EQ(std::string(b_->data + 256, 16), std::string(16, '\0'));
}

TEST_F(Waits, TextInputShowsThePresetAnswerBehindTheTitle) {
  Open();
  const std::string request = std::string("Number:") + '\0' + "  50";
  struct Row {
    const char* name;
    std::vector<std::string> keys;
    std::string line;
    int taken;
  } rows[] = {
      {"Return takes the preset", {"key 1 Return"}, "  50", 1},
      {"typing replaces it", {"text 1 7", "key 1 Return"}, "7", 1},
      {"the end key, then typing, adds to it", {"key 1 End", "text 1 1", "key 1 Return"}, "  501", 1},
      {"Escape gives nothing", {"key 1 Escape"}, "", 2},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(During(14, {}, row.keys, "kornd input: dialog", request), 1u) << row.name;
    EXPECT_EQ(Data(), row.line) << row.name;
    EXPECT_EQ(b_->a[2], row.taken) << row.name;
  }
}

TEST_F(Waits, ClientQuestionAnswersItsButtonAndOnlyCancelStopsServing) {
  Open("No;Yes;OK;Cancel");
  struct Row {
    int kind;
    int button;
  } rows[] = {{0, 7}, {0, 6}, {1, 1}, {0, 2}};
  for (const Row& r : rows) {
    EXPECT_EQ(B(3, {r.kind}, "Go on?"), 1u);
    EXPECT_EQ(b_->a[2], r.button);
  }
  EXPECT_EQ(k_.CountErrors("[Message from Kornd] [Go on?]"), 4);
  EXPECT_EQ(B(4), Failed) << "Cancel stopped the serving";
}

TEST_F(Waits, PauseAbortDuringAPickAsksAndEndsItOrLetsItGoOn) {
  Open("OK;Yes;Cancel;OK;No;Yes");
  const std::string pause = "command 1 Pause/&Abort";
  const std::string capturing = "[Graphics Window #" + std::to_string(k_.instance()) + "] [On capturing] buttons=OK,Cancel";
  // OK ends the pick; Yes to "Abort" refuses it
  EXPECT_EQ(DuringRequest("C!", 1, {}, {pause}), Refused);
  EXPECT_EQ(k_.CountErrors(capturing + " answer=OK"), 1) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("[Abort] buttons=Yes,No answer=Yes"), 1) << k_.Errors();
  // Cancel: the pick goes on until a click ends it, and the server keeps serving
  b_->a[3] = b_->a[4] = 0;
  EXPECT_EQ(DuringRequest("C!", 1, {}, {pause, "click 1 left 30 40"}), 1u);
  EXPECT_EQ(k_.CountErrors(capturing + " answer=Cancel"), 1) << k_.Errors();
  EXPECT_EQ((std::vector<int>{b_->a[3], b_->a[4]}), (std::vector<int>{30, 40}));
  EXPECT_EQ(B(4), 1u) << "still serving";
  // OK then No: the pick ends without a button
  EXPECT_EQ(DuringRequest("C!", 1, {}, {pause}), 0u);
  // without a pick the next request asks
  Input(pause);
  EXPECT_EQ(B(4), Refused);
  EXPECT_EQ(k_.CountErrors("[Abort] buttons=Yes,No"), 3);
  EXPECT_EQ(B(4), 1u);
}

TEST_F(Waits, ArrowKeysDuringAnEventWaitMoveThePointerPosition) {
  Open();
  // offscreen there is no pointer to move: the position the wait reports moves all the same
  EXPECT_LT(During(32, {100000}, {"move 1 50 50", "key 1 Shift+Left", "key 1 Ctrl+Down", "key 1 Right",
                                  "key 1 Ctrl+Shift+Up", "text 1 q"}),
            50000u);
  EXPECT_EQ(b_->a[3], 'q');
  EXPECT_EQ(b_->a[4], 50 - 32 + 8);
  EXPECT_EQ(b_->a[5], 50 + 1 - 1);
}

TEST_F(Waits, FileOpenRequestAnswersTheChosenPathOrCancel) {
  std::string pattern = (std::filesystem::temp_directory_path() / "kornd_open_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::string folder = pattern;
  const std::string deep = "/" + std::string(2100, 'd') + ".krd";
  std::string answers;
  for (const std::string& a : {folder + "/first.krd", std::string("second.krd"), std::string("Cancel"),
                               std::string(""), deep, std::string("third.krd")})
    answers += a + ";";
  Open(answers);
  struct Row {
    std::string initial;
    std::uint32_t reply;
    std::string data;
  } rows[] = {
      {"start.krd", 1, folder + "/first.krd"},
      {"", 1, folder + "/second.krd"},  // a relative name in the folder of the last choice
      {"keep.krd", 2, "keep.krd"},       // cancelled: the data area keeps its name
      {"keep.krd", 2, "keep.krd"},       // an empty answer cancels too
      {"long.krd", 2, "long.krd"},       // a path the data area cannot hold
      {"", 1, folder + "/third.krd"},   // ... leaves the folder as it was
  };
  for (const Row& r : rows) {
    EXPECT_EQ(B(13, {}, r.initial), r.reply) << r.initial;
    EXPECT_EQ(Data(), r.data);
  }
  EXPECT_EQ(k_.CountErrors("kornd dialog: [open file] [start.krd] answer=" + folder + "/first.krd"), 1) << k_.Errors();
  std::filesystem::remove_all(folder);
}

TEST_F(Waits, ImportedClipboardIsPreviewedWhileInquiring) {
  Open("OK");
  Set(22, {13, 0, 10, 10, 60, 40});
  ASSERT_EQ(k_.Send("A!"), 1u);
  Input("command 1 &Copy");
  Input("command 1 &Import Clipboard");
  EXPECT_EQ(k_.CountErrors("[preview]"), 0) << "not inquiring: no preview";
  Input("command 1 &Inquiring");
  Input("command 1 &Import Clipboard");
  // bitmap 0 has the window's client size (not small); the offscreen screen is 800 x 600
  Set(4, {0});
  ASSERT_EQ(k_.Send("D!"), 1u);
  const int width = b_->a[2], height = b_->a[3];
  ASSERT_GE(std::min(width, height), 128);
  const std::string log = k_.Errors(), line = "kornd dialog: [preview] [BMP# 0, ";
  ASSERT_EQ(k_.CountErrors(line), 1) << log;
  int shown_width = 0, shown_height = 0;
  ASSERT_EQ(std::sscanf(log.c_str() + log.find(line) + line.size(), "%d x %d", &shown_width, &shown_height), 2);
  if (width < 800 && height < 600) {
    EXPECT_EQ(shown_width, width);
    EXPECT_EQ(shown_height, height);
  } else {  // reduced to 0.8 of the screen, the picture's shape kept
    EXPECT_TRUE(shown_width == 640 || shown_height == 480) << shown_width << " x " << shown_height;
    EXPECT_LE(shown_width, 640);
    EXPECT_LE(shown_height, 480);
    EXPECT_NEAR(double(shown_width) / shown_height, double(width) / height, 0.01);
  }
}

TEST_F(Waits, ABurstOfTypedCharactersIsReadInOrder) {
  Open();
  // A word typed at once, before any wait runs, is read character by character, then the
  // waits wait again.
  struct Row {
    const char* reader;
    int code, arg;
  } rows[] = {{"any-event wait (B 32), as the display's cursor reads keys", 32, 300},
              {"character wait (B 1, class 128)", 1, 128}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.reader);
    Input("text 1 99 ok");
    std::string read;
    for (int i = 0; i < 5; ++i) {
      const std::uint32_t reply = B(r.code, {r.arg});
      if (r.code == 1) EXPECT_NE(reply, 0u) << "the key that typed it";
      else EXPECT_EQ(reply, 0u) << "no time waited";
      read += static_cast<char>(b_->a[3]);
    }
    EXPECT_EQ(read, "99 ok");
  }
  EXPECT_GE(B(32, {200}), 200u) << "nothing left: the wait runs its time";
  EXPECT_EQ(b_->a[3], 0);
}

}  // namespace
