// Isolines: the per-file isoline lists and the commands that change and list them.
//
// Reads:   Result_Set (N, names, current limits), Command_State (Command_Code,
//          Isoline_Count_Choice).
// Writes:  Isoline_Data, Result_Set.Selected_Solutions, Command_Code (23 after a change).

#include "display/Isolines.h"

#include <algorithm>
#include <cmath>

#include "display/Tools_Graphical.h"
#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "records/Toggle_Boolean.h"
#include "text/Blanks.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

std::int32_t files() { return Result_Set.Number_Of_Solutions; }
std::int32_t& count(std::int32_t k) { return Isoline_Data.Isoline_Number(k); }

template <typename T>
void allocate_per_file(Bounded_Array<T, 1>& array, std::string_view label) {
  if (array.ALLOCATED() && array.LOWER(0) == 1 && array.UPPER(0) == files()) return;
  CHECK_ALLOCATION_ERROR(label, array.ALLOCATE({Bounds{1, files()}}));
  CHECK_ALLOCATION_SIZE(label, array.SIZE(), files());
}

// The per-file arrays exist from start-up; made here when the start-up did not.
void ensure_per_file_arrays() {
  auto& iso = Isoline_Data;
  allocate_per_file(iso.Isoline_Number, "Isoline_Number");
  allocate_per_file(iso.Display_Isolines, "Display_Isolines");
  allocate_per_file(iso.Display_Contours, "Display_Contours");
  allocate_per_file(Result_Set.Selected_Solutions, "Selected_Solutions");
}

std::int32_t columns() {
  const auto& values = Isoline_Data.Isoline_values;
  return values.ALLOCATED() ? static_cast<std::int32_t>(values.EXTENT(1)) : 0;
}

std::int32_t largest_count() {
  std::int32_t largest = 0;
  for (std::int32_t k = 1; k <= files(); ++k) largest = std::max(largest, count(k));
  return largest;
}

// Isoline_values as (N, width), keeping the first keep columns of every row; new columns 0.
void resize_values(std::int32_t width, std::int32_t keep, std::string_view buffer_label) {
  auto& values = Isoline_Data.Isoline_values;
  Bounded_Array<float, 2> buffer;
  if (keep > 0) {
    CHECK_ALLOCATION_ERROR(buffer_label, buffer.ALLOCATE({Bounds{1, files()}, Bounds{1, keep}}));
    CHECK_ALLOCATION_SIZE(buffer_label, buffer.SIZE(), std::int64_t{files()} * keep);
    for (std::int32_t k = 1; k <= files(); ++k)
      for (std::int32_t j = 1; j <= keep; ++j) buffer(k, j) = values(k, j);
  }
  if (values.ALLOCATED()) CHECK_DEALLOCATION("Isoline_values", values.RELEASE());
  CHECK_ALLOCATION_ERROR("Isoline_values", values.ALLOCATE({Bounds{1, files()}, Bounds{1, width}}));
  CHECK_ALLOCATION_SIZE("Isoline_values", values.SIZE(), std::int64_t{files()} * width);
  for (std::int32_t k = 1; k <= files(); ++k)
    for (std::int32_t j = 1; j <= keep; ++j) values(k, j) = buffer(k, j);
  if (keep > 0) CHECK_DEALLOCATION(buffer_label, buffer.RELEASE());
}

// Step 1 of every command that acts on files: fills Selected_Solutions.
void choose_files(std::int32_t code) {
  auto& chosen = Result_Set.Selected_Solutions;
  const std::int32_t n = files();
  if (n == 1) {
    chosen(1) = true;
    return;
  }
  std::int32_t holding = 0, largest = 1;
  for (std::int32_t k = 1; k <= n; ++k) {
    if (count(k) > 0) ++holding;
    if (count(k) > count(largest)) largest = k;
  }
  if ((code == 59 || code == 64 || code == 65 || code == 66) && holding < 2) {
    for (std::int32_t k = 1; k <= n; ++k) chosen(k) = k == largest;
    return;
  }
  std::vector<std::string> names;
  for (std::int32_t k = 1; k <= n; ++k) names.push_back(Result_Set.Name_To_Be_Displayed(k));
  const std::vector<bool> rows = SELECT_STRINGS("Select solution(s)", names);
  for (std::int32_t k = 1; k <= n; ++k) chosen(k) = k <= static_cast<std::int32_t>(rows.size()) && rows[k - 1];
}

// The number of automatic isolines, bounded before it sizes the list.
std::int32_t bounded_number(std::int32_t n) {
  if (n <= Max_Automatic_Isolines) return n;
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Number of automatic isolines limited to " + std::to_string(Max_Automatic_Isolines));
  CONSOLE_EMPTY();
  return Max_Automatic_Isolines;
}

// Key i+n: false when the answer is not a whole number.
bool ask_number(std::int32_t& n) {
  std::string answer(25, ' ');
  INPUT_STRING("Automatic isolines", "Number:", answer);
  if (READ_INTEGER_FROM_TEXT(answer, n) != Free_Form_Status::Ok) return false;
  answer = FORMAT_LINE("(I13)", {std::int64_t{n}}) + std::string(12, ' ');
  CONSOLE_LINE(WITHOUT_TRAILING_BLANKS(answer) + " " + std::to_string(n));
  return true;
}

void add_room(std::int32_t n) {
  if (!Isoline_Data.Isoline_values.ALLOCATED()) {
    resize_values(std::max(n, 0), 0, "Buffer_isoline_values");
    return;
  }
  std::int32_t need = 0;
  for (std::int32_t k = 1; k <= files(); ++k)
    if (Result_Set.Selected_Solutions(k)) need = std::max(need, n + count(k));
  if (need > columns()) resize_values(need, std::min(largest_count(), columns()), "Buffer_isoline_values");
}

void add_automatic(std::int32_t k, std::int32_t n) {
  auto& iso = Isoline_Data;
  iso.Display_Isolines(k) = true;
  const double high = Result_Set.Current_Max(k), low = Result_Set.Current_Min(k);
  const double step = (high - low) / (n + 1);
  if (n < 1 || !std::isfinite(high) || !std::isfinite(low)) return;
  for (std::int32_t j = 1; j <= n; ++j) iso.Isoline_values(k, count(k) + j) = static_cast<float>(high - j * step);
  count(k) += n;
}

// Key i+r: the warning for unequal counts, then the pick list of the reference file.
void remove_picked() {
  auto& iso = Isoline_Data;
  const auto& chosen = Result_Set.Selected_Solutions;
  std::int32_t m = 0, reference = 0, seen = -1;
  bool unequal = false;
  for (std::int32_t k = 1; k <= files(); ++k) {
    if (!chosen(k)) continue;
    if (count(k) > 0) {
      if (seen >= 0 && count(k) != seen) unequal = true;
      seen = count(k);
    }
    if (count(k) > m) m = count(k), reference = k;
  }
  if (unequal) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Warning: number of isolines not constant among selection!");
    CONSOLE_EMPTY();
  }
  if (m == 1) {
    for (std::int32_t k = 1; k <= files(); ++k)
      if (chosen(k)) count(k) = 0;
    return;
  }
  if (m < 2) return;
  CHECK_ALLOCATION_ERROR("Selected_Isolines", iso.Selected_Isolines.ALLOCATE({Bounds{1, m}}));
  CHECK_ALLOCATION_SIZE("Selected_Isolines", iso.Selected_Isolines.SIZE(), m);
  std::vector<float> staying;  // "Local_isoline_values"
  staying.reserve(static_cast<std::size_t>(m));
  SELECT_ISOLINE(reference, m);
  for (std::int32_t k = 1; k <= files(); ++k) {
    if (!chosen(k)) continue;
    staying.clear();
    for (std::int32_t j = 1; j <= count(k); ++j)
      if (!iso.Selected_Isolines(j)) staying.push_back(iso.Isoline_values(k, j));
    for (std::int32_t j = 1; j <= columns(); ++j) iso.Isoline_values(k, j) = 0.0f;
    for (std::size_t j = 0; j < staying.size(); ++j) iso.Isoline_values(k, static_cast<std::int32_t>(j) + 1) = staying[j];
    count(k) = static_cast<std::int32_t>(staying.size());
  }
  CHECK_DEALLOCATION("Selected_Isolines", iso.Selected_Isolines.RELEASE());
}

void list_isolines() {
  auto& iso = Isoline_Data;
  std::size_t width = 0;
  for (std::int32_t k = 1; k <= files(); ++k) {
    if (count(k) < 1) iso.Display_Contours(k) = false;
    width = std::max(width, WITHOUT_TRAILING_BLANKS(Result_Set.Name_To_Be_Displayed(k)).size());
  }
  CONSOLE_EMPTY();
  for (std::int32_t k = 1; k <= files(); ++k) {
    if (!iso.Display_Isolines(k) || count(k) < 1) continue;
    std::string line = Result_Set.Name_To_Be_Displayed(k).substr(0, width);
    line.resize(width, ' ');
    line = WITHOUT_TRAILING_BLANKS(line + ":") + (iso.Display_Contours(k) ? " contours" : " isolines");
    CONSOLE_LINE(WITHOUT_TRAILING_BLANKS(line.substr(0, 50)));
    for (std::int32_t j = 1; j <= count(k); ++j) CONSOLE_LINE(" " + ISOLINE_VALUE_TEXT(iso.Isoline_values(k, j)));
  }
  CONSOLE_EMPTY();
}

}  // namespace

std::string ISOLINE_VALUE_TEXT(float value) { return FORMAT_LINE("(G13.7)", {value}); }

std::string ISOLINE_LABEL(float value) {
  std::string text = FORMAT_LINE("(G15.7)", {value});
  text.erase(0, text.find_first_not_of(' '));
  text = WITHOUT_TRAILING_BLANKS(text);
  while (text.size() > 2 && text.back() == '0') text.pop_back();
  return text;
}

void REORDER_ISOLINES(std::int32_t k) {
  auto& values = Isoline_Data.Isoline_values;
  const std::int32_t n = count(k);
  if (n <= 1) return;
  std::vector<float> row;
  for (std::int32_t j = 1; j <= n; ++j) row.push_back(values(k, j));
  std::sort(row.begin(), row.end(), std::greater<float>());
  row.erase(std::unique(row.begin(), row.end()), row.end());
  const float low = row.back();
  for (std::int32_t j = 1; j <= n; ++j)
    values(k, j) = j <= static_cast<std::int32_t>(row.size()) ? row[static_cast<std::size_t>(j - 1)] : low;
  count(k) = static_cast<std::int32_t>(row.size());
}

void DOWNSIZE_ISOLINE_VALUES() {
  const std::int32_t largest = largest_count();
  if (largest < columns()) resize_values(largest, largest, "Buffer_Isoline_Values");
}

float INPUT_ISOLINE_VALUE(std::string_view title) {
  std::string answer(50, ' ');
  float value = 0.0f;
  for (;;) {
    INPUT_STRING(WITHOUT_TRAILING_BLANKS(std::string(title)), "Value:", answer);
    float typed = 0.0f;
    if (READ_REAL_FROM_TEXT(answer, typed) == Free_Form_Status::Ok && std::isfinite(typed)) {
      value = typed;
      break;
    }
    CONSOLE_EMPTY();
    CONSOLE_LINE("Unable to read value!");
    CONSOLE_EMPTY();
  }
  return value;
}

void SELECT_ISOLINE(std::int32_t k, std::int32_t m) {
  auto& iso = Isoline_Data;
  if (!iso.Selected_Isolines.ALLOCATED()) return;
  std::vector<std::string> entries;  // "Buffer_Strings"
  for (std::int32_t j = 1; j <= m; ++j) entries.push_back(ISOLINE_VALUE_TEXT(iso.Isoline_values(k, j)) + std::string(12, ' '));
  const std::vector<bool> rows = SELECT_STRINGS("Select isoline(s)", entries);
  for (std::int32_t j = 1; j <= m; ++j) iso.Selected_Isolines(j) = j <= static_cast<std::int32_t>(rows.size()) && rows[j - 1];
}

void ISOLINES() {
  auto& iso = Isoline_Data;
  auto& command = Command_State;
  const std::int32_t code = command.Command_Code;
  if (files() < 1 || code < 59 || code > 67) return;
  ensure_per_file_arrays();
  const auto& chosen = Result_Set.Selected_Solutions;
  if (code != 60 && code != 67) choose_files(code);

  if (code == 59 || code == 66)
    for (std::int32_t k = 1; k <= files(); ++k) {
      if (!chosen(k) || count(k) < 1) continue;
      if (code == 59) {
        iso.Display_Isolines(k) = !iso.Display_Isolines(k);
      } else {
        iso.Display_Contours(k) = !iso.Display_Contours(k);
        iso.Display_Isolines(k) = iso.Display_Contours(k);
      }
    }
  if (code == 60) TOGGLE_BOOLEAN(iso.Display_Isoline_Labels, "Labelling isolines", "Labelling of isolines disabled");

  if (code >= 61 && code <= 63) {
    std::int32_t n = 1;
    if (code == 61) n = command.Isoline_Count_Choice;
    if (code == 62 && !ask_number(n)) return;
    if (code != 63) n = bounded_number(n);
    add_room(n);
    if (code == 63) {
      const float value = INPUT_ISOLINE_VALUE("New isoline");
      for (std::int32_t k = 1; k <= files(); ++k) {
        if (!chosen(k)) continue;
        iso.Isoline_values(k, ++count(k)) = value;
        iso.Display_Isolines(k) = true;
      }
    } else {
      for (std::int32_t k = 1; k <= files(); ++k)
        if (chosen(k)) add_automatic(k, n);
    }
    for (std::int32_t k = 1; k <= files(); ++k)
      if (chosen(k)) REORDER_ISOLINES(k);
  }

  if (code == 64) remove_picked();
  if (code == 65) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(" All isolines removed");
    CONSOLE_EMPTY();
    for (std::int32_t k = 1; k <= files(); ++k)
      if (chosen(k)) count(k) = 0;
  }
  if (code == 64 || code == 65) {
    const std::int32_t largest = largest_count();
    if (largest == 0) {
      if (iso.Isoline_values.ALLOCATED()) CHECK_DEALLOCATION("Isoline_values", iso.Isoline_values.RELEASE());
    } else if (largest < columns()) {
      DOWNSIZE_ISOLINE_VALUES();
    }
  }

  list_isolines();
  bool some_count = false, some_shown = false;
  for (std::int32_t k = 1; k <= files(); ++k) {
    some_count = some_count || count(k) > 0;
    some_shown = some_shown || iso.Display_Isolines(k);
  }
  if (code == 64 || code == 65 || (some_count && some_shown)) command.Command_Code = 23;
}
