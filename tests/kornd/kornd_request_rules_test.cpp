// Rules of single requests of a running kornd: a colour the user chooses (A 5 with colour -1)
// is recorded and kept in the head, the text extent (B 17) of a turned text, a data buffer that
// cannot be made (B 20), and the show code of a new window (I). The client's question (B 3) is
// in kornd_waits_test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scripted_Kornd.h"

namespace {

constexpr std::int32_t Green = 0x00FF00, Direct = 0x2000000;
constexpr int Draw_Move = 11, Draw_Line = 20, Draw_Colour = 5, Draw_Text_Font = 9;

class Request_Rules : public Scripted_Kornd {
 protected:
  std::int32_t Pixel(int x, int y) {
    EXPECT_EQ(Request('F', x, {y}), 1u);
    return b_->a[2];
  }
  // The window's object count: B 23 (0, s) answers it and makes s the current segment.
  std::uint32_t Objects() {
    const std::uint32_t n = B(23, {0, 1});
    b_->segment = 0;
    return n;
  }
};

TEST_F(Request_Rules, ChosenForegroundIsRecordedAndSurvivesAColourReset) {
  Open("#00ff00");
  ASSERT_EQ(Objects(), 0u);
  EXPECT_EQ(Request('A', Draw_Colour, {-1, 1}), 1u);
  EXPECT_EQ(k_.CountErrors("kornd dialog: [Color]"), 1) << k_.Errors();
  EXPECT_EQ(Objects(), 2u) << "the choice's own object and the one that repeats it";
  EXPECT_EQ(b_->fg, Direct | Green);
  EXPECT_EQ(B(28), 1u);  // drawing attributes back to their defaults, colours kept
  EXPECT_EQ(b_->fg, Direct | Green);
  ASSERT_EQ(Request('A', Draw_Move, {10, 50}), 1u);
  ASSERT_EQ(Request('A', Draw_Line, {190, 50}), 1u);
  EXPECT_EQ(Pixel(100, 50), Green) << "drawn in the chosen foreground";
}

TEST_F(Request_Rules, TextExtentOfATurnedTextMeasuresFromTheTurnedBox) {
  Open();
  struct Row {
    int angle;  // tenths of a degree
    bool turned;
  } rows[] = {{0, false}, {1800, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.angle);
    b_->text_align = 1;  // bottom left: the reference point is the box's origin
    b_->text_angle = r.angle;
    b_->text_height = 20;
    ASSERT_EQ(Request('A', Draw_Text_Font, {1}), 1u);  // the font from the head
    ASSERT_EQ(B(17, {}, "Extent"), 1u);
    const int height = b_->a[3], below = b_->a[5];
    EXPECT_GT(b_->a[2], 0);
    EXPECT_GT(height, 0);
    // Upright the origin is on the bottom edge; turned half round the box hangs below it.
    EXPECT_EQ(below, r.turned ? -height : 0);
  }
}

TEST_F(Request_Rules, DataBufferThatCannotBeMadeIsShownAndAnswersZero) {
  Open();
  for (int bytes : {2147483647, -4}) {
    SCOPED_TRACE(bytes);
    const int before = k_.CountErrors("[Kornd: Error] [Insufficient system memory]");
    EXPECT_EQ(B(20, {bytes}), 0u);
    EXPECT_EQ(k_.CountErrors("[Kornd: Error] [Insufficient system memory]"), before + 1) << k_.Errors();
  }
  EXPECT_EQ(B(20, {16}), 1u) << "still serving";
}

TEST_F(Request_Rules, NewWindowTakesItsShowCode) {
  // Window 1 shown normal (code 10), window 2 maximised (code 5): the view's client size (E 5)
  // of the first is the smaller.
  Open("", {}, "I,1,200,100,0,19,10,");
  ASSERT_EQ(Request('E', 5), 1u);
  const int normal = b_->a[2] * b_->a[3];
  ASSERT_EQ(k_.Send("I,2,200,100,0,19,5,"), 2u);
  platform::Shared_Block holder;
  channel::KRwinblock* two = k_.MapWindow(2, holder);
  ASSERT_NE(two, nullptr);
  two->code = 5;
  ASSERT_EQ(k_.Send("E\""), 2u);  // window 2
  const int maximised = two->a[2] * two->a[3];
  EXPECT_GT(normal, 0);
  EXPECT_LT(normal, maximised);
}

}  // namespace
