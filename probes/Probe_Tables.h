// Probe_Tables: the text tables of the probes: two header lines and one row per entry, the
// abscissa then the value of every loaded result, 25 results to a line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct Probe_Table_Kind {
  std::string_view first_word, second_word, unit_word;
  std::size_t label_tail;  // the label is the last this many characters of the trimmed name
  bool empty_line_before_report;
};

inline constexpr Probe_Table_Kind Line_Scan_Table{"Distance", "(micrometers)", "(field value)", 26, false};
inline constexpr Probe_Table_Kind Front_Tracking_Table{"Simulation", " time (s)", "(micrometers)", 20, true};
inline constexpr Probe_Table_Kind Scan_Point_Table{"Simulation", " time (s)", "(field value)", 26, true};

// The label of a result in the 21-character column (before the column cuts or pads it).
std::string PROBE_TABLE_LABEL(const Probe_Table_Kind& kind, std::string_view name);

// The header lines (one or more text lines each) for the given result names.
std::vector<std::string> PROBE_TABLE_HEAD(const Probe_Table_Kind& kind, const std::vector<std::string>& names);
// One row: the abscissa, then the values (continued on further lines past 25).
std::string PROBE_TABLE_ROW(float abscissa, const std::vector<float>& values);

// Writes rows 1 to rows of the table under name for the results' names: row(k, values) fills
// the values of row k and returns its abscissa. Reports " File: <name> created" (after an
// empty line where the kind asks for it); a file that cannot be written is reported instead.
bool WRITE_PROBE_TABLE(const std::string& name, const Probe_Table_Kind& kind, const std::vector<std::string>& names,
                       std::int64_t rows, const std::function<float(std::int64_t, std::vector<float>&)>& row);
