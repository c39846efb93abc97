// A server nobody looks at: offscreen, without the answer seam KORND_TEST_ANSWERS, every box
// and file dialog is answered at once (the box's default button, a file dialog cancelled) and
// logged on standard error, so that every request gets its reply and the server goes on
// serving. Started both with QT_QPA_PLATFORM=offscreen and with no display at all, where it
// chooses offscreen by itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <unistd.h>
#include <string>
#include <vector>

#include "Kornd_Server.h"
#include "platform/Channel_Protocol.h"

namespace {

constexpr int Reply_Within_Ms = 20000;  // far beyond any reply here: only a hang reaches it

class Unattended : public ::testing::TestWithParam<std::vector<std::string>> {
 protected:
  void SetUp() override {
    k_.SetDisplayEnvironment(GetParam());
    k_.LeaveAnswersUnset();
    ASSERT_TRUE(k_.Start()) << k_.Errors();
    ASSERT_EQ(k_.Send("I,1,200,100,0,19,5,"), 1u) << k_.Errors();
    b_ = k_.MapWindow(1, holder_);
    ASSERT_NE(b_, nullptr);
  }
  std::uint32_t Req(char letter, int code, std::vector<int> a = {}, const std::string& data = {}) {
    return k_.SendWithin(WINDOW_REQUEST(*b_, 1, letter, code, a, data), Reply_Within_Ms);
  }
  // A 2 x 4 bitmap made from the data buffer, with no file of its own.
  std::uint32_t MakeBitmap(int n) {
    const std::vector<std::uint32_t> values(8, 0x00FF00);
    if (Req(channel::Control, channel::Control_New_Buffer, {32}) != 1) return 0;
    std::memcpy(b_->data, values.data(), 32);
    b_->code = channel::Control_Put_Data, b_->a[0] = 0, b_->a[1] = 32;
    if (k_.Send(std::string{channel::Control, 1 + 32}) != 1) return 0;
    return Req(channel::Bitmap, channel::Bitmap_From_Buffer, {n, 24, 4, 2});
  }
  // The window still serves: a black line is drawn and reads back.
  void ExpectServing() {
    EXPECT_EQ(Req(channel::Draw, channel::Draw_Move, {5, 5}), 1u) << k_.Errors();
    EXPECT_EQ(Req(channel::Draw, channel::Draw_Line, {50, 5}), 1u) << k_.Errors();
    EXPECT_EQ(Req(channel::Pixel, 20, {5}), 1u) << k_.Errors();
    EXPECT_EQ(b_->a[2], 0);
    EXPECT_EQ(Req(channel::Pixel, 20, {50}), 1u) << k_.Errors();
    EXPECT_NE(b_->a[2], 0);
  }

  Kornd_Server k_;
  platform::Shared_Block holder_;
  channel::KRwinblock* b_ = nullptr;
};

TEST_P(Unattended, BoxesTakeTheirDefaultButton) {
  // Two points are too few for a polygon: "Invalid parameter.  Abort?" with Yes refuses it.
  EXPECT_EQ(Req(channel::New_Object, channel::New_Polygon, {2}), channel::Reply_Refused);
  EXPECT_EQ(k_.CountErrors("[Invalid parameter.  Abort?] buttons=Yes,No answer=Yes"), 1) << k_.Errors();
  // The client's own question.
  EXPECT_EQ(Req(channel::Control, channel::Control_Message, {0}, "Go on?"), 1u);
  EXPECT_EQ(b_->a[2], 6);  // Yes
  EXPECT_EQ(k_.CountErrors("[Go on?] buttons=Yes,No,Cancel answer=Yes"), 1) << k_.Errors();
  ExpectServing();
}

TEST_P(Unattended, FileDialogsAreCancelled) {
  // A wildcard name opens a dialog; cancelled, the request asks its question, answered Yes
  // (refused).
  struct Row {
    char letter;
    int code;
    std::string name;
    std::uint32_t reply;
    int questions;  // "Failed to open file.  Abort?" boxes so far
  } rows[] = {
      {channel::Control, channel::Control_Load_Picture, "*.krd", channel::Reply_Refused, 1},
      {channel::Bitmap, channel::Bitmap_Load, "*.bmp", channel::Reply_Refused, 2},
      {channel::Control, channel::Control_Open_Dialog, "*.krd", 2u, 2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(1, r.letter) + " " + std::to_string(r.code));
    const int dialogs = k_.CountErrors("kornd dialog: [open file] [" + r.name + "] answer=");
    EXPECT_EQ(Req(r.letter, r.code, {1}, r.name), r.reply) << k_.Errors();
    EXPECT_EQ(k_.CountErrors("kornd dialog: [open file] [" + r.name + "] answer="), dialogs + 1) << k_.Errors();
    EXPECT_EQ(k_.CountErrors("[Failed to open file.  Abort?] buttons=Yes,No answer=Yes"), r.questions) << k_.Errors();
  }
  ExpectServing();
}

TEST_P(Unattended, SavingABitmapWithoutFileAsksAndCancelsItsDialog) {
  ASSERT_EQ(MakeBitmap(1), 1u) << k_.Errors();
  ASSERT_EQ(Req(channel::Draw, channel::Draw_Line, {50, 50}), 1u);  // a picture has objects
  char folder[] = "/tmp/kornd_unattended_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string picture = std::string(folder) + "/p.krd";
  // "Save the bitmap #1 to a file" Yes opens the save dialog, which is cancelled; the picture
  // is written all the same, without the bitmap, and the failed bitmap save is reported after.
  EXPECT_EQ(Req(channel::Control, channel::Control_Save_Picture, {0, 0, 1}, picture), channel::Reply_Refused)
      << k_.Errors();
  EXPECT_EQ(k_.CountErrors("[Failed to open file.  Abort?] buttons=Yes,No answer=Yes"), 1) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("[Save the bitmap #1 to a file] buttons=Yes,No,Cancel answer=Yes"), 1) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("kornd dialog: [save file] [*.bmp] answer="), 1) << k_.Errors();
  EXPECT_EQ(::access(picture.c_str(), F_OK), 0);
  ::unlink(picture.c_str());
  ::rmdir(folder);
  ExpectServing();
}

INSTANTIATE_TEST_SUITE_P(Offscreen, Unattended,
                         ::testing::Values(std::vector<std::string>{"QT_QPA_PLATFORM=offscreen"},
                                           std::vector<std::string>{}),
                         [](const auto& info) { return info.param.empty() ? "NoDisplay" : "QtOffscreen"; });

}  // namespace
