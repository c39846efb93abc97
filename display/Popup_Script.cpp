// Popup_Script: scripted stand-in for the pop-ups of Tools_Graphical, used until the
// pop-ups are built.
//
// Reads the queued answers.

#include "display/Popup_Script.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <sstream>

#include "display/Tools_Graphical.h"
#include "main/Globals.h"

namespace {
struct Script {
  std::deque<std::vector<bool>> selections;
  std::deque<std::pair<std::string, std::string>> pairs;
  std::deque<std::string> lines;
  std::vector<std::string> calls;
};
Script& script() {
  static Script s;
  return s;
}
}  // namespace

// The next script line; false when the script has run out.
static bool next_line(std::string& line) {
  auto& s = script();
  if (s.lines.empty()) return false;
  line = std::move(s.lines.front());
  s.lines.pop_front();
  return true;
}

namespace popup_script {
void QUEUE_SELECTION(std::vector<bool> rows) { script().selections.push_back(std::move(rows)); }
void QUEUE_TWO_STRINGS(std::string value_1, std::string value_2) {
  script().pairs.emplace_back(std::move(value_1), std::move(value_2));
}
void QUEUE_LINES(const std::vector<std::string>& lines) {
  script().lines.insert(script().lines.end(), lines.begin(), lines.end());
}
const std::vector<std::string>& CALLS() { return script().calls; }
void RESET() { script() = Script{}; }
}  // namespace popup_script

std::vector<bool> SELECT_STRINGS(std::string_view title, const std::vector<std::string>& entries,
                                 const std::optional<std::vector<bool>>& initial, bool single_choice) {
  auto& s = script();
  s.calls.push_back("SELECT_STRINGS " + std::string(title));
  std::vector<bool> rows = initial.value_or(std::vector<bool>(entries.size(), false));
  rows.resize(entries.size(), false);
  std::string line;
  if (!s.selections.empty()) {
    std::vector<bool> answer = std::move(s.selections.front());
    s.selections.pop_front();
    answer.resize(entries.size(), false);
    rows = std::move(answer);
  } else if (next_line(line)) {
    rows.assign(entries.size(), false);
    std::istringstream numbers(line);
    long k;
    while (numbers >> k)
      if (k >= 1 && k <= static_cast<long>(entries.size())) rows[static_cast<std::size_t>(k - 1)] = true;
  }
  if (single_choice) {  // a click clears the other rows: at most one stays chosen
    auto first = std::find(rows.begin(), rows.end(), true);
    if (first != rows.end()) std::fill(first + 1, rows.end(), false);
  }
  return rows;
}

void READ_TWO_STRINGS(std::string_view title, std::string_view /*label_1*/,
                      std::string_view /*label_2*/, std::string& value_1, std::string& value_2) {
  auto& s = script();
  s.calls.push_back("READ_TWO_STRINGS " + std::string(title));
  if (s.pairs.empty()) {
    if (next_line(value_1)) next_line(value_2);
    return;
  }
  value_1 = std::move(s.pairs.front().first);
  value_2 = std::move(s.pairs.front().second);
  s.pairs.pop_front();
}

void READ_STRINGS_LOGICAL(std::string_view title, const std::vector<std::string>& labels,
                          std::vector<std::string>& values, std::string_view /*switch_label*/, bool& switch_value,
                          const std::array<std::string, 2>& switch_texts) {
  auto& s = script();
  s.calls.push_back("READ_STRINGS_LOGICAL " + std::string(title));
  values.resize(labels.size());
  // One line per field, then the switch's text as shown; a missing line changes nothing.
  for (auto& value : values) next_line(value);
  std::string shown;
  if (next_line(shown)) {
    if (shown == switch_texts[0]) switch_value = true;
    if (shown == switch_texts[1]) switch_value = false;
  }
}
