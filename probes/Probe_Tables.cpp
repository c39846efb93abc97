// Probe_Tables: layouts and writing of the probes' text tables.
//
// Reads: nothing of the shared records. Writes: the table file and the console.

#include "probes/Probe_Tables.h"

#include "probes/Text_Output.h"
#include "records/Console.h"
#include "text/Fortran_Format.h"

namespace {

const Layout& head_layout() {
  static const Layout layout = PARSE_LAYOUT("(A2,A13,25(A21))");
  return layout;
}
const Layout& row_layout() {
  static const Layout layout = PARSE_LAYOUT("(G15.5,1P,25(1X,G20.13))");
  return layout;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

std::string head_line(std::string_view word, const std::vector<std::string>& fields) {
  std::vector<Format_Item> items{std::string("# "), std::string(word)};
  for (const std::string& f : fields) items.emplace_back(f);
  return joined(WRITE_FORMATTED(head_layout(), items));
}

}  // namespace

std::string PROBE_TABLE_LABEL(const Probe_Table_Kind& kind, std::string_view name) {
  const std::size_t end = name.find_last_not_of(' ');
  const std::string_view trimmed = end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1);
  return std::string(trimmed.substr(trimmed.size() > kind.label_tail ? trimmed.size() - kind.label_tail : 0));
}

std::vector<std::string> PROBE_TABLE_HEAD(const Probe_Table_Kind& kind, const std::vector<std::string>& names) {
  std::vector<std::string> labels, units;
  for (const std::string& name : names) {
    labels.push_back(PROBE_TABLE_LABEL(kind, name));
    units.emplace_back(kind.unit_word);
  }
  return {head_line(kind.first_word, labels), head_line(kind.second_word, units)};
}

std::string PROBE_TABLE_ROW(float abscissa, const std::vector<float>& values) {
  std::vector<Format_Item> items{abscissa};
  for (float v : values) items.emplace_back(v);
  return joined(WRITE_FORMATTED(row_layout(), items));
}

bool WRITE_PROBE_TABLE(const std::string& name, const Probe_Table_Kind& kind, const std::vector<std::string>& names,
                       std::int64_t rows, const std::function<float(std::int64_t, std::vector<float>&)>& row) {
  Text_Output file;
  if (!file.OPEN(name)) return false;
  for (const std::string& line : PROBE_TABLE_HEAD(kind, names)) file.LINE(line);
  std::vector<float> values(names.size(), 0.0f);
  for (std::int64_t k = 1; k <= rows; ++k) {
    const float abscissa = row(k, values);
    file.LINE(PROBE_TABLE_ROW(abscissa, values));
  }
  if (!file.CLOSE()) return false;
  if (kind.empty_line_before_report) CONSOLE_EMPTY();
  CONSOLE_LINE(" File: " + name + " created");
  return true;
}
