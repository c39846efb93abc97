// Front_Tracking_Form: the pop-up form in which the tracked values of the front-tracking probe
// are edited, one row per loaded result and "OK" at the bottom.
//
// Reads:  Result_Set (Number_Of_Solutions, Name_To_Be_Displayed, Selected_Solutions),
//         Display_Settings.Drawing_Colour_Index, the cursor of Command_State.
// Writes: Front_Tracking_Value_Tracked, Graphics_Units (the pop-up window, closed again), the
//         console.

#include <cpgplot.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/Pop_Up.h"
#include "display/Tools_Graphical.h"
#include "probes/Front_Tracking.h"
#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "text/Blanks.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

constexpr char Return = 13, Tab = 9;
constexpr std::size_t Entry_Length = 25;
constexpr float Width = 5.0f, Label_X = 0.75f, Label_Limit = 3.75f, Ok_Y = 0.2f;

// The form's geometry for n results (inches, the window's world units).
struct Form_Layout {
  std::int32_t n;
  float height() const { return 0.4f * static_cast<float>(n) + 1.3f; }
  float title_y() const { return height() - 0.4f; }
  float row_y(std::int32_t r) const { return 0.2f + 0.4f * static_cast<float>(n - r + 1); }
  // Boundary j (1 to n + 1): the middle between the row above result j and result j's row.
  float boundary(std::int32_t j) const {
    const float above = j == 1 ? title_y() : row_y(j - 1);
    const float own = j == n + 1 ? Ok_Y : row_y(j);
    return (above + own) / 2.0f;
  }
  // The row a click at height y chooses: 0 for "OK", else the result.
  std::int32_t row_at(float y) const {
    if (y < boundary(n + 1)) return 0;
    std::int32_t row = 1;
    for (std::int32_t j = 1; j <= n; ++j)
      if (boundary(j) >= y) row = j;
    return row;
  }
};

std::string shown(const Text_Field& field) {
  std::string text = field.text;
  text.resize(std::max(field.length, text.size()), ' ');
  return text;
}

// A highlight frame around a text while fn reads a key or an edit; erased afterwards.
template <typename Fn>
auto highlighted(const pop_up::Text_Box& box, float dx, float dy, Fn fn) {
  pop_up::FRAME(box, dx, dy);
  auto result = fn();
  pop_up::FRAME(box, dx, dy, true);
  return result;
}

}  // namespace

bool READ_TRACKED_VALUE(std::string_view text, float& value) {
  float read = 0.0f;
  if (READ_REAL_FROM_TEXT(text, read) != Free_Form_Status::Ok) return false;
  value = read;
  return true;
}

void FRONT_TRACKING_SET_VALUES() {
  const auto& r = Result_Set;
  const Form_Layout form{r.Number_Of_Solutions};
  const std::int32_t n = form.n;
  if (!Front_Tracking_Value_Tracked.ALLOCATED()) DEFAULT_TRACKED_VALUES();
  auto& tracked = Front_Tracking_Value_Tracked;

  std::vector<Text_Field> entries(static_cast<std::size_t>(n));
  for (std::int32_t i = 1; i <= n; ++i) {
    Text_Field& e = entries[static_cast<std::size_t>(i - 1)];
    e.length = Entry_Length;
    e.text = r.Selected_Solutions(i) ? FORMAT_LINE("(1P,G13.6)", {tracked(i)}) : "-----";
  }

  pop_up::Window window;
  if (!window.open(Width, form.height(), " Unable to open secondary display!")) return;
  const std::string title = "\\fiValue(s) to track";
  pop_up::FIT(title, Width / 2, form.title_y(), 0.5f, 5.0f, Width);
  pop_up::DRAW(title, Width / 2, form.title_y(), 0.5f);
  const pop_up::Text_Box title_box = pop_up::BOX(title, Width / 2, form.title_y(), 0.5f);
  pop_up::FRAME(title_box, title_box.width() / 20, title_box.height() / 5);

  cpgsch(3.0f);
  pop_up::DRAW("OK", Width / 2, Ok_Y, 0.5f);
  const pop_up::Text_Box ok_box = pop_up::BOX("OK", Width / 2, Ok_Y, 0.5f);
  pop_up::FRAME(ok_box, ok_box.width() / 10, ok_box.height() / 2.5f);

  float right_end = Label_X;
  for (std::int32_t i = 1; i <= n; ++i) {
    std::string label = "\\fi" + WITHOUT_TRAILING_BLANKS(r.Name_To_Be_Displayed(i)) + ":";
    label = pop_up::DRAWN(label.substr(0, Entry_Length));
    const float y = form.row_y(i);
    pop_up::FIT(label, Label_X, y, 0.0f, 3.0f, Label_Limit, true);
    pop_up::DRAW(label, Label_X, y, 0.0f);
    const pop_up::Text_Box box = pop_up::BOX(label, Label_X, y, 0.0f);
    const float under = box.y[0] - box.height() / 5;
    const float line_x[2] = {box.x[0], box.x[3]}, line_y[2] = {under, under};
    cpgline(2, line_x, line_y);
    right_end = std::max(right_end, box.x[3]);
  }
  const float value_x = std::min(right_end + 0.25f, Label_Limit);
  for (std::int32_t i = 1; i <= n; ++i) pop_up::DRAW(shown(entries[static_cast<std::size_t>(i - 1)]), value_x, form.row_y(i), 0.0f);
  cpgebuf();

  std::int32_t row = -1;  // -1 none chosen, 0 "OK", 1..n a result
  for (;;) {
    if (row < 0) {
      pop_up::READ();
      row = form.row_at(Command_State.Cursor_Y);
      if (row == 0) break;
      continue;
    }
    bool tab = false;
    if (row > 0) {
      Text_Field& e = entries[static_cast<std::size_t>(row - 1)];
      const pop_up::Text_Box box = pop_up::BOX(shown(e), value_x, form.row_y(row), 0.0f);
      tab = highlighted(box, box.width() / 9, box.height() / 1.25f, [&] {
        std::int32_t tab_ended = 0;
        PGRSTR(value_x, form.row_y(row), 0.0f, e, tab_ended);
        return tab_ended == -1;
      });
    } else {
      const char key = highlighted(ok_box, ok_box.width() / 2.5f, ok_box.height() / 1.25f, pop_up::READ);
      if (key == Return || key == 'A') break;
      tab = key == Tab;
    }
    row = tab ? (row == n ? 0 : row == 0 ? 1 : row + 1) : -1;
  }
  window.close();

  for (std::int32_t i = 1; i <= n; ++i) {
    if (!r.Selected_Solutions(i)) continue;
    const std::string& text = entries[static_cast<std::size_t>(i - 1)].text;
    if (READ_TRACKED_VALUE(text, tracked(i))) continue;
    CONSOLE_EMPTY();
    std::string kept = FORMAT_LINE("(1P,G13.6)", {tracked(i)});
    kept.erase(0, kept.find_first_not_of(' '));
    CONSOLE_LINE(" Value to track of " + WITHOUT_TRAILING_BLANKS(r.Name_To_Be_Displayed(i)) + " not read ('" +
                 WITHOUT_TRAILING_BLANKS(text) + "'): keeping " + WITHOUT_TRAILING_BLANKS(kept));
    CONSOLE_EMPTY();
  }
}
