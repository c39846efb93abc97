// A server that stopped serving still ends: after Cancel in one of its boxes every request is
// refused, but the quit request closes it, and it removes its blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Scripted_Kornd.h"

namespace {

class Serving_End : public Scripted_Kornd {
 protected:
  // Saving the picture while bitmap 1 (4 x 2, 24 bits) has no file asks to save the bitmap.
  void SaveWithUnsavedBitmap() {
    const std::vector<std::uint32_t> values(8, 0x00FF00);
    ASSERT_EQ(B(20, {32}), 1u);
    Set(36, {0, 32});
    std::memcpy(b_->data, values.data(), 32);
    ASSERT_EQ(k_.Send("B!"), 1u);
    ASSERT_EQ(Request('D', 5, {1, 24, 4, 2}), 1u);
    B(12, {0, 0, 0, 0}, dir_ + "/pic");
  }
};

TEST_F(Serving_End, QuitEndsAServerThatACancelStopped) {
  enum class Box { Erase, Save_Bitmap };
  struct Row {
    Box box;
    std::vector<std::string> args;
    const char* text;
  } rows[] = {
      {Box::Erase, {"/i"}, "[All graphics objects will be erased.]"},  // B 27 of a server that inquires
      {Box::Save_Bitmap, {}, "[Save the bitmap #1 to a file]"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    Open("Cancel", r.args);
    ASSERT_EQ(Request('A', 22, {13, 0, 10, 10, 20, 20}), 1u);
    if (r.box == Box::Erase) EXPECT_EQ(B(27), 1u);
    else SaveWithUnsavedBitmap();
    EXPECT_EQ(k_.CountErrors(r.text), 1) << k_.Errors();
    EXPECT_EQ(B(40), Failed) << "serving stopped";
    EXPECT_EQ(k_.Send("I,0,200,100,0,19,5,"), Failed);
    EXPECT_TRUE(QuitEndsTheServer());
    TearDown();
  }
}

}  // namespace
