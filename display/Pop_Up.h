// Pop_Up.h - the steps every pop-up of Tools_Graphical shares: opening its /CKR device on a
// paper in inches, fitting and framing texts, the cursor read, and closing it again.
#pragma once

#include <string>
#include <string_view>

namespace pop_up {

// The box of a text as drawn (corners lower left, upper left, upper right, lower right).
struct Text_Box {
  float x[4], y[4];
  float width() const { return x[2] - x[0]; }
  float height() const { return y[1] - y[0]; }
};

// Steps 1 to 5 of a pop-up: remembers the selected device's character height, closes an open
// pop-up, opens a /CKR device with a paper of width by height inches and selects it. False
// (after the console message, with the main display selected) when no device could be opened;
// `unit` then holds what the open returned.
constexpr std::string_view Open_Failure = "Unable to open secondary display!";

struct Window {
  float saved_height = 1.0f;
  int unit = 0;
  // failure: the console line when no device opens (the front-tracking form's has a blank first).
  bool open(float width, float height, std::string_view failure = Open_Failure);
  // Steps 1 to 4 alone, for a pop-up that lays out its page itself.
  bool open_device(std::string_view failure = Open_Failure);
  // Closes the device, selects the main display; with restore, the remembered height too.
  void close(bool restore = true) const;
};

// The program's text for drawing (UTF-8 to Latin-1, trailing blanks trimmed).
std::string DRAWN(std::string_view text);

Text_Box BOX(std::string_view text, float x, float y, float justification);
// Sets and returns the largest height, from h0 down in 5 % steps, at which the text's box is
// no wider than `limit` (right_end: its right end lies no further than `limit`). A text that
// fits at no height takes the smallest height tried.
float FIT(std::string_view text, float x, float y, float justification, float h0, float limit,
          bool right_end = false);
void DRAW(std::string_view text, float x, float y, float justification);
// A rectangle around the box, widened by dx and dy; erase draws it in colour index 0 and goes
// back to the drawing colour.
void FRAME(const Text_Box& box, float dx, float dy, bool erase = false);
// Draws text centred at (x, y) and frames it as the pop-ups frame their titles.
void HEADING(std::string_view text, float x, float y);
// One click or key of the cursor into Cursor_X, Cursor_Y.
char READ();

}  // namespace pop_up
