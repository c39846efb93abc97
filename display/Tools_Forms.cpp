// Tools_Forms: the pop-up forms READ_TWO_STRINGS and READ_STRINGS_LOGICAL.
//
// Reads Display_Settings (Drawing_Colour_Index, Text_Background_Index) and the cursor of
// Command_State.

#include <cpgplot.h>

#include <algorithm>

#include "display/Pop_Up.h"
#include "display/Tools_Graphical.h"
#include "korin_client/Latin1.h"
#include "records/Console.h"
#include "records/Globals.h"

namespace {

constexpr char Return = 13, Tab = 9;

// A value as the form shows it: its whole field, trailing blanks included.
std::string shown(const Text_Field& field) {
  std::string text = field.text;
  text.resize(std::max(field.length, text.size()), ' ');
  return text;
}

// A label left-justified at (x, y) and underlined; returns its right end.
float underlined_label(std::string_view label, float x, float y) {
  const std::string text = pop_up::DRAWN(label);
  pop_up::DRAW(text, x, y, 0.0f);
  const pop_up::Text_Box box = pop_up::BOX(text, x, y, 0.0f);
  const float under = box.y[0] - box.height() / 5;
  const float line_x[2] = {box.x[0], box.x[3]}, line_y[2] = {under, under};
  cpgline(2, line_x, line_y);
  return box.x[3];
}

// A centred text framed by dx, dy of its box (as functions of the box's width and height).
template <typename Margin>
void framed(std::string_view text, float x, float y, Margin margin) {
  pop_up::DRAW(text, x, y, 0.5f);
  const pop_up::Text_Box box = pop_up::BOX(text, x, y, 0.5f);
  const auto [dx, dy] = margin(box.width(), box.height());
  pop_up::FRAME(box, dx, dy);
}

// The focus mark around "OK" while one key or click is read; returns the key.
char read_at_ok(float y) {
  const pop_up::Text_Box box = pop_up::BOX("OK", 2.5f, y, 0.5f);
  const float dx = box.width() / 10 + 0.05f, dy = box.height() / 2.5f + 0.05f;
  pop_up::FRAME(box, dx, dy);
  const char key = pop_up::READ();
  pop_up::FRAME(box, dx, dy, true);
  return key;
}

// The text entry on one field inside its frame; true when TAB ended it.
template <typename Margin>
bool edit_in_frame(Text_Field& field, float x, float y, float justification, Margin margin) {
  const pop_up::Text_Box box = pop_up::BOX(shown(field), x, y, justification);
  const auto [dx, dy] = margin(box.width(), box.height());
  pop_up::FRAME(box, dx, dy);
  std::int32_t tab_ended = 0;
  PGRSTR(x, y, justification, field, tab_ended);
  pop_up::FRAME(box, dx, dy, true);
  return tab_ended == -1;
}

auto ok_margin = [](float w, float h) { return std::pair{w / 10, h / 2.5f}; };

}  // namespace

void READ_TWO_STRINGS(std::string_view title, const std::array<std::string, 2>& labels,
                      std::array<Text_Field, 2>& values) {
  constexpr float Title_Y = 1.9125f, Ok_Y = 0.135f;
  constexpr float Row_Y[2] = {1.125f, 0.675f};
  pop_up::Window window;
  if (!window.open(5.0f, 2.25f)) return;
  cpgsch(5.0f);
  pop_up::HEADING(pop_up::DRAWN(title), 2.5f, Title_Y);
  cpgsch(3.0f);
  const float value_x = std::max(underlined_label(labels[0], 0.25f, Row_Y[0]),
                                 underlined_label(labels[1], 0.25f, Row_Y[1])) + 0.2f;
  framed("OK", 2.5f, Ok_Y, ok_margin);
  for (int k = 0; k < 2; ++k) pop_up::DRAW(shown(values[k]), value_x, Row_Y[k], 0.0f);
  cpgebuf();

  int state = 0;
  bool tab_state = false;
  for (;;) {
    if (state == 0) {
      pop_up::READ();
      const float y = Command_State.Cursor_Y;
      if (y >= Row_Y[0] && y < Title_Y) state = 1;
      else if (y >= Row_Y[1] && y < Row_Y[0]) state = 2;
      else if (y >= Ok_Y && y < Row_Y[1]) break;
      continue;
    }
    if (state == 3) {
      const char key = read_at_ok(Ok_Y);
      if (key == Return || ((key == 'A' || key == 'a') && Command_State.Cursor_Y < Row_Y[1])) break;
      if (key == Tab) tab_state = true;
    } else {
      tab_state = edit_in_frame(values[state - 1], value_x, Row_Y[state - 1], 0.0f,
                                [](float w, float h) { return std::pair{w / 10, h / 2}; });
    }
    state = tab_state ? state % 3 + 1 : 0;
  }
  window.close();
}

void READ_STRINGS_LOGICAL(std::string_view title, std::int32_t number_of_fields,
                          const std::vector<std::string>& labels, std::vector<Text_Field>& values,
                          std::string_view switch_label, bool& switch_value,
                          const std::array<std::string, 2>& switch_texts) {
  const int n = number_of_fields;
  if ((n != 2 && n != 3) || labels.size() < static_cast<std::size_t>(n) ||
      values.size() < static_cast<std::size_t>(n)) {
    CONSOLE_EMPTY(2);
    CONSOLE_LINE(" Routine 'Read_Strings_Logical' called with wrong parameters!");
    CONSOLE_EMPTY(2);
    STOP_PROGRAM(1);
  }
  const bool three = n == 3;
  // Rows Y(1) .. Y(6), columns X(1) .. X(3) and heights Z1 .. Z3, 1-based.
  const float y_of[7] = {0, 2.125f, 1.375f, 1.0f, 0.625f, 0.15f, 0.15f};
  const float y_of3[7] = {0, 3.0625f, 2.3625f, 1.8375f, 1.3125f, 0.7875f, 0.14f};
  const float* Y = three ? y_of3 : y_of;
  const float X[4] = {0, three ? 0.125f : 1.0f, three ? 4.625f : 4.0f, three ? 4.875f : 4.125f};
  const float z1 = three ? 3.75f : 5.0f, z2 = three ? 2.15f : 3.0f, z3 = three ? 1.85f : 2.5f;
  const int switch_state = n + 1, ok_state = n + 2;
  const float switch_y = Y[n + 2], ok_y = Y[n + 3];

  pop_up::Window window;
  if (!window.open(5.0f, three ? 3.5f : 2.5f)) return;
  cpgsch(z1);
  framed(pop_up::DRAWN(title), 2.5f, Y[1], [](float, float h) { return std::pair{h / 5, h / 5}; });
  cpgsch(z2);
  for (int k = 1; k <= n; ++k) underlined_label(labels[k - 1], X[1], Y[k + 1]);
  underlined_label(switch_label, X[1], switch_y);
  cpgsch(z3);
  framed("OK", 2.5f, ok_y, ok_margin);
  cpgsch(z2);
  for (int k = 1; k <= n; ++k) pop_up::DRAW(shown(values[k - 1]), X[2], Y[k + 1], 0.75f);
  auto switch_text = [&] { return UTF8_TO_LATIN1(switch_texts[switch_value ? 0 : 1]); };
  pop_up::DRAW(switch_text(), X[3], switch_y, 1.0f);
  cpgebuf();

  auto field_margin = [](float, float h) { return std::pair{h / 2.5f, h / 2.5f}; };
  int state = 0;
  bool tab_state = false;
  for (;;) {
    if (state == 0) {
      pop_up::READ();
      const float y = Command_State.Cursor_Y;
      for (int s = 1; s <= ok_state && state == 0; ++s)
        if (Y[s + 1] <= y && y < Y[s]) state = s;
      if (state == 0) break;
      continue;
    }
    if (state <= n) {
      tab_state = edit_in_frame(values[state - 1], X[2], Y[state + 1], 0.75f, field_margin);
    } else if (state == switch_state) {
      for (;;) {
        const pop_up::Text_Box box = pop_up::BOX(switch_text(), X[3], switch_y, 1.0f);
        const auto [dx, dy] = field_margin(box.width(), box.height());
        pop_up::FRAME(box, dx, dy);
        const char key = pop_up::READ();
        pop_up::FRAME(box, dx, dy, true);
        const float y = Command_State.Cursor_Y;
        if (key == Return || ((key == 'A' || key == 'a') && switch_y <= y && y < Y[n + 1])) {
          cpgsci(0);
          cpgstbg(0);
          pop_up::DRAW(switch_text(), X[3], switch_y, 1.0f);
          switch_value = !switch_value;
          cpgsci(Display_Settings.Drawing_Colour_Index);
          pop_up::DRAW(switch_text(), X[3], switch_y, 1.0f);
          cpgstbg(Display_Settings.Text_Background_Index);
          continue;
        }
        if (key == Tab) tab_state = true;
        break;
      }
    } else {
      cpgsch(z3);
      const char key = read_at_ok(ok_y);
      cpgsch(z2);
      if (key == Return || key == 'A' || (key == 'a' && Y[n + 3] <= Command_State.Cursor_Y &&
                                          Command_State.Cursor_Y < Y[n + 2]))
        break;
      if (key == Tab) tab_state = true;
    }
    state = tab_state ? state % ok_state + 1 : 0;
  }
  window.close();
}
