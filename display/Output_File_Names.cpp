// Output_File_Names: default names of the user's output files and the save-file dialog.
//
// Reads:   Result_Set (Name_Solution, Time, Time_Step_Number), Output_Settings
//          (Numbering_Of_Outputs, Default_Naming); the files present (free numbers).
// Writes:  Output_Settings (Default_Output_File_Name, Output_File_Name); the console (a name
//          repeated within a series).

#include "display/Output_File_Names.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include "display/Dialog_Stuff.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Check_File.h"
#include "text/Blanks.h"

namespace {

// Names given to the batch outputs of the current series.
std::set<std::string>& series_names() {
  static std::set<std::string> names;
  return names;
}

// Digits of a whole number (held exactly in a double), at least width of them, with a sign
// when negative: every value gets its own name, those that fit keep the plain form.
std::string padded_number(double whole, int width) {
  char digits[400];
  std::snprintf(digits, sizeof digits, "%.0f", std::fabs(whole));
  std::string text(digits);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return whole < 0 ? "-" + text : text;
}

std::string output_number_field(std::int32_t s, bool batch_output) {
  const auto& r = Result_Set;
  if (!Output_Settings.Numbering_Of_Outputs) {
    // The product in single precision: 0.0025 s gives 3 ms as the single value 2.4999999e-3 does.
    const float milliseconds = r.Time(s) * 1000.0f;
    return "_" + padded_number(std::round(static_cast<double>(milliseconds)), 8);
  }
  if (batch_output) return "_" + padded_number(r.Time_Step_Number(s), 3);
  return {};
}

}  // namespace

std::string OUTPUT_BASE_NAME(std::string_view result_file_name) {
  std::string name = WITHOUT_TRAILING_BLANKS(result_file_name);
  const auto slash = name.find_last_of("/\\");
  const std::size_t file_part = slash == std::string::npos ? 0 : slash + 1;
  const auto zlt = name.rfind(".zlt");
  if (zlt != std::string::npos && zlt > file_part) return name.substr(0, zlt);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot >= file_part) name[dot] = '_';
  return name;
}

void START_OUTPUT_SERIES() { series_names().clear(); }

void SET_DEFAULT_OUTPUT_FILE(std::int32_t solution, std::string_view suffix, std::string_view extension,
                             bool batch_output) {
  auto& output = Output_Settings;
  const std::string stem = OUTPUT_BASE_NAME(Result_Set.Name_Solution(solution)) +
                           WITHOUT_TRAILING_BLANKS(output_number_field(solution, batch_output)) +
                           WITHOUT_TRAILING_BLANKS(suffix);
  const std::string ext = WITHOUT_TRAILING_BLANKS(extension);
  if (output.Numbering_Of_Outputs) {
    output.Default_Output_File_Name = stem + "_" + CHECK_FILE(stem, 2, ext) + "." + ext;
    return;
  }
  output.Default_Output_File_Name = stem + "." + ext;
  if (!batch_output) return;
  if (series_names().count(output.Default_Output_File_Name)) {
    const std::string repeated = output.Default_Output_File_Name;
    output.Default_Output_File_Name = stem + "_" + CHECK_FILE(stem, 2, ext) + "." + ext;
    CONSOLE_EMPTY();
    CONSOLE_LINE(" Warning: '" + repeated + "' was written before in this series: writing '" +
                 output.Default_Output_File_Name + "'");
    CONSOLE_EMPTY();
  }
  series_names().insert(output.Default_Output_File_Name);
}

void INPUT_FILE_NAME(std::string_view title) {
  auto& output = Output_Settings;
  output.Output_File_Name = output.Default_Output_File_Name;
  if (output.Default_Naming) return;
  output.Output_File_Name = GET_FILE_NAME(WITHOUT_TRAILING_BLANKS(title), output.Output_File_Name);
}
