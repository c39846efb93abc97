// Tools_Lists: the pop-up list SELECT_STRINGS.
//
// Reads Display_Settings.Drawing_Colour_Index and the cursor of Command_State.

#include <cpgplot.h>

#include "display/Pop_Up.h"
#include "display/Tools_Graphical.h"
#include "records/Globals.h"

namespace {
constexpr float Width = 4.0f;
constexpr float Mark_X = 0.6f, Text_X = 1.0f;
}  // namespace

std::vector<bool> SELECT_STRINGS(std::string_view title, const std::vector<std::string>& entries, bool initial_state,
                                 bool single_choice) {
  const int n = static_cast<int>(entries.size());
  std::vector<bool> chosen(entries.size(), initial_state);
  const float height = 0.4f * static_cast<float>(n + 1) + 1.4f;
  // Y(1) "OK", Y(2) "Select all", Y(k + 2) entry n + 1 - k, Y(n + 3) the title (1-based).
  std::vector<float> y(static_cast<std::size_t>(n) + 4);
  y[1] = 0.2f;
  y[2] = 0.75f;
  for (int k = 1; k <= n; ++k) y[k + 2] = 0.75f + 0.4f * static_cast<float>(k);
  y[n + 3] = height - 0.5f;
  auto band = [&](int i) { return (y[i] + y[i + 1]) / 2; };  // B(i), i = 1 .. n + 2
  auto row_of_entry = [&](int entry) { return y[n + 3 - entry]; };

  pop_up::Window window;
  if (!window.open(Width, height)) return chosen;
  const std::string heading = "\\fi" + pop_up::DRAWN(title);
  pop_up::FIT(heading, Width / 2, y[n + 3], 0.5f, 5.0f, 0.85f * Width);
  pop_up::HEADING(heading, Width / 2, y[n + 3]);
  cpgsch(3.0f);
  pop_up::DRAW("OK", Width / 2, y[1], 0.5f);
  const pop_up::Text_Box box = pop_up::BOX("OK", Width / 2, y[1], 0.5f);
  pop_up::FRAME(box, box.width() / 10, box.height() / 2.5f);
  if (!single_choice) {
    pop_up::DRAW("Select all", Text_X, y[2] - 0.05f, 0.0f);
    cpgcirc(Mark_X, y[2], 0.1f);
  }
  for (int entry = 1; entry <= n; ++entry) {
    const std::string text = pop_up::DRAWN(entries[entry - 1]);
    const float at = row_of_entry(entry);
    pop_up::FIT(text, Text_X, at - 0.05f, 0.0f, 3.0f, 0.75f * Width, true);
    pop_up::DRAW(text, Text_X, at - 0.05f, 0.0f);
    cpgcirc(Mark_X, at, 0.1f);
  }
  cpgebuf();
  cpgsfs(1);

  for (;;) {
    cpgbbuf();
    for (int entry = 1; entry <= n; ++entry) {
      cpgsci(chosen[entry - 1] ? Display_Settings.Drawing_Colour_Index : 0);
      cpgcirc(Mark_X, row_of_entry(entry), 0.05f);
    }
    cpgsci(Display_Settings.Drawing_Colour_Index);
    cpgebuf();
    pop_up::READ();
    const float pick = Command_State.Cursor_Y;
    if (pick < band(1)) break;
    if (!single_choice && pick > band(1) && pick < band(2)) {
      chosen.flip();
      continue;
    }
    if (single_choice) chosen.assign(chosen.size(), false);
    for (int entry = 1; entry <= n; ++entry)
      if (band(n + 2 - entry) < pick && pick < band(n + 3 - entry)) chosen[entry - 1] = !chosen[entry - 1];
  }
  window.close();
  return chosen;
}
