// Tools_Graphical: the message window, the yes/no question and closing the pop-up window.
//
// Reads and writes Graphics_Units.Unit_Pop_Up; reads Display_Settings.Text_Background_Index.

#include "display/Tools_Graphical.h"

#include <cpgplot.h>

#include <algorithm>

#include "display/Pop_Up.h"
#include "records/Globals.h"

namespace {
constexpr std::size_t Line_Field = 250;
}  // namespace

void CLOSE_POP_UP() {
  auto& units = Graphics_Units;
  if (units.Unit_Pop_Up > 0) {
    cpgslct(units.Unit_Pop_Up);
    cpgclos();
    units.Unit_Pop_Up = No_Device;
  }
  SELECT_PGPLOT_UNIT(units.Unit_Display);
}

std::int32_t MESSAGE(std::optional<std::string_view> title, std::string_view line_1,
                     std::optional<std::string_view> line_2, std::optional<std::string_view> line_3, bool keep_open,
                     bool ask_yes_no, bool default_yes) {
  std::vector<std::string_view> lines{line_1};
  if (line_2) {
    lines.push_back(*line_2);
    if (line_3) lines.push_back(*line_3);
  }
  const int n = static_cast<int>(lines.size());
  const int rows = n + (title ? 1 : 0) + (ask_yes_no ? 1 : 0);
  const float width = ask_yes_no ? 4.0f : 4.4f;
  const float height = ask_yes_no ? 0.4f * rows : 0.6f * rows;
  float f[5] = {0.05f, 0.25f, 0.4f, 0.55f, 0.8f};
  if (!ask_yes_no) {
    const float plain[5] = {0.1f, 0.35f, 0.5f, 0.65f, 0.9f};
    std::copy(plain, plain + 5, f);
    f[n] += 0.15f;
  }
  // Row i (1-based) at f(i) x H; the question takes row 1 when asked.
  const int shift = ask_yes_no ? 1 : 0;
  auto row = [&](int i) { return f[i - 1] * height; };

  pop_up::Window window;
  if (!window.open(width, height)) return window.unit;
  cpgstbg(0);
  if (title) {
    cpgsfs(2);
    const std::string text = "\\fi" + pop_up::DRAWN(*title);
    const float y = row(n + 1 + shift) + 0.05f;
    pop_up::FIT(text, width / 2, y, 0.5f, 6.5f, 0.9f * width);
    pop_up::HEADING(text, width / 2, y);
  }
  for (int k = 1; k <= n; ++k) {
    const std::string text = pop_up::DRAWN(lines[k - 1].substr(0, Line_Field));
    const float y = row(n + 1 + shift - k);
    pop_up::FIT(text, width / 2, y, 0.5f, 4.0f, 0.85f * width);
    pop_up::DRAW(text, width / 2, y, 0.5f);
  }
  if (ask_yes_no) {
    cpgsch(4.0f);
    pop_up::DRAW(default_yes ? "\\fiY/N [Y]" : "\\fiY/N [N]", width / 2, row(1), 0.5f);
  }
  cpgebuf();
  if (!keep_open) window.close(false);
  const std::int32_t result = Graphics_Units.Unit_Pop_Up;
  cpgstbg(Display_Settings.Text_Background_Index);
  cpgsch(window.saved_height);
  return result;
}

bool WARNING(std::string_view line_1, std::optional<std::string_view> line_2, std::optional<std::string_view> line_3) {
  bool answer = false, again = false;
  do {
    const std::int32_t unit = MESSAGE("Warning", line_1, line_2, line_3, true, true, answer);
    if (unit <= 0) return false;
    SELECT_PGPLOT_UNIT(unit);
    const char key = pop_up::READ();
    again = false;
    if (key == 'y' || key == 'Y') answer = true;
    else if (key == 'n' || key == 'N') answer = false;
    else if (key == '\t') answer = !answer, again = true;
    pop_up::Window{}.close(false);
  } while (again);
  return answer;
}
