// Commands and requests that delete or move a window's objects while one of them draws: a
// pause object the client adds (A 3) or that the Replay command meets. Each answers, the
// pending request or command gets its answer, and the server goes on serving; the paths that
// close the window stop the serving, and the quit request still ends the server.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include "Scripted_Kornd.h"

namespace {

constexpr std::int32_t White = 0xFFFFFF, Red = 0x0000FF, Green = 0x00FF00;
constexpr int Draw_Pause = 3, Draw_Solid_Rect = 22, Red_Code = 13, Green_Code = 14;
constexpr std::uint32_t Gone = Kornd_Server::Gone;

// The change runs as an input line (a menu command, a closed frame) or as a request.
struct Change {
  const char* line;                // input line, or null
  std::string request;             // request text when no line
  int code;                        // its B code
  std::vector<int> a;              // its arguments
  std::uint32_t reply;             // the request's reply
  bool closes;                     // the window goes: the server stops serving
};

class List_Changes : public Scripted_Kornd {
 protected:
  std::int32_t Pixel(int x, int y) {
    EXPECT_EQ(Request('F', x, {y}), 1u);
    return b_->a[2];
  }
  // Red square (10..20) and a pause of ms in segment 2.
  void RedSquareAndPause(int ms) {
    b_->segment = 2;
    ASSERT_EQ(Request('A', Draw_Solid_Rect, {Red_Code, 0, 10, 10, 20, 20}), 1u);
    ASSERT_EQ(Request('A', Draw_Pause, {ms}), 1u);
    b_->segment = 0;
  }
  // A new object still draws, and reads back.
  void StillServes() {
    EXPECT_EQ(Request('A', Draw_Solid_Rect, {Green_Code, 0, 30, 30, 40, 40}), 1u) << k_.Errors();
    EXPECT_EQ(Pixel(35, 35), Green);
  }
  std::uint32_t Apply(const Change& c) {
    if (c.line != nullptr) {
      Input(c.line);
      return 0;
    }
    Set(c.code, c.a);
    return k_.Send(c.request);
  }
};

const Change Clear_All_Command{"command 1 &Clear All", "", 0, {}, 0, false};
const Change Close_Frame{"close 1", "", 0, {}, 0, true};
const Change Erase_Request{nullptr, "B!", 27, {}, 1, false};            // B 27: erase all
const Change Collect_Request{nullptr, "B!", 23, {2, -5}, 2, false};     // B 23: segment 2 into group 5
const Change Close_Request{nullptr, "J!", 0, {}, 0, true};              // J: no window left

TEST_F(List_Changes, ChangesDuringANewObjectsPauseLetItAnswer) {
  for (const Change& c : {Clear_All_Command, Close_Frame}) {
    SCOPED_TRACE(c.line);
    Open();
    ASSERT_EQ(Request('A', Draw_Solid_Rect, {Red_Code, 0, 10, 10, 20, 20}), 1u);
    const int before = k_.CountErrors("kornd input: waiting");
    Set(Draw_Pause, {1500});
    auto pending = std::async(std::launch::async, [&] { return k_.Send("A!"); });
    ASSERT_TRUE(Seen("kornd input: waiting", before + 1)) << k_.Errors();
    Apply(c);
    ASSERT_EQ(pending.wait_for(std::chrono::seconds(10)), std::future_status::ready) << k_.Errors();
    const std::uint32_t reply = pending.get();
    if (c.closes) {
      EXPECT_NE(reply, Gone) << k_.Errors();
      EXPECT_EQ(k_.Send("I,0,200,100,0,19,5,"), Failed) << "a window closed inside a drawing stops the serving";
      EXPECT_TRUE(QuitEndsTheServer());
    } else {
      EXPECT_EQ(reply, 1u);
      EXPECT_EQ(Pixel(15, 15), White) << "cleared";
      StillServes();
      EXPECT_TRUE(QuitEndsTheServer());
    }
    TearDown();
  }
}

TEST_F(List_Changes, ChangesDuringAReplaysPauseLetItFinish) {
  for (const Change& c : {Collect_Request, Erase_Request, Clear_All_Command, Close_Request, Close_Frame}) {
    SCOPED_TRACE(c.line ? c.line : c.request + " " + std::to_string(c.code));
    Open();
    RedSquareAndPause(1000);
    const int before = k_.CountErrors("kornd input: waiting");
    const std::string replay = "command 1 Re&play";
    Write(replay);
    ASSERT_TRUE(Seen("kornd input: waiting", before + 1)) << k_.Errors();
    EXPECT_EQ(Apply(c), c.reply) << k_.Errors();
    EXPECT_TRUE(Seen("kornd input: done " + replay, 1)) << k_.Errors();
    if (c.closes) {
      EXPECT_EQ(k_.Send("I,0,200,100,0,19,5,"), Failed) << "a window closed inside a drawing stops the serving";
    } else {
      StillServes();
      EXPECT_EQ(Pixel(15, 15), White) << "the red square left the picture";
    }
    EXPECT_TRUE(QuitEndsTheServer());
    TearDown();
  }
}

}  // namespace
