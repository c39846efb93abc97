// Command_Line_Checks: the steps after the last command word: final settings, consistent
// counts, the panel grid, the geometry file, the file checks and the settings report.
//
// Reads: the option results and the file system (existence only). Writes: console lines.
// Global records: Result_Set (Number_Of_Solutions, Name_Solution, Name_To_Be_Displayed,
// Geometry_File_Name, Result_Format, Extrema_Mode), Display_Settings.Panel_Grid,
// Command_State.GUI_Started.

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "main/Command_Line_Parts.h"
#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Check_File.h"

namespace {

[[noreturn]] void stop_with(std::string_view message, int empty_lines) {
  CONSOLE_EMPTY(empty_lines);
  CONSOLE_LINE(message);
  CONSOLE_EMPTY(empty_lines);
  STOP_PROGRAM(1);
}

void apply_byte_order(const Option_Results& options) {
  if (!options.endian_conversion) return;
  auto& format = Result_Set.Result_Format;
  if (format == 1)
    format = 6;
  else if (format == 2)
    format = 7;
  else
    stop_with(" unable to apply  'endian conversion'", 2);
}

// Makes Number_Of_Solutions the count of the names given.
void make_counts_consistent(const Option_Results& options) {
  auto& count = Result_Set.Number_Of_Solutions;
  const auto given = static_cast<std::int32_t>(options.names.size());
  if (given > count) {
    CONSOLE_LINE("Input not consistent:");
    CONSOLE_LINE(" more result files given than specified");
  } else if (given < count) {
    CONSOLE_LINE("Warning: input not consistent:");
    CONSOLE_LINE(" less result files given than specified");
  }
  count = given;
  if (count == 0) stop_with("Unable to interpret input", 1);
}

void check_vector_mode() {
  const std::int32_t mode = Vector_Settings.Vector_Mode;
  const std::int32_t count = Result_Set.Number_Of_Solutions;
  if (mode == 1 && count < 3)
    stop_with("'Vector field' display mode  available only with at least three result files!", 2);
  if (mode == 2 && count < 4)
    stop_with("'Vector field' 3D display mode  available only with at least four result files!", 2);
}

void choose_panel_grid() {
  auto& grid = Display_Settings.Panel_Grid;
  if (std::max(grid.Panels_Across, grid.Panels_Down) != 0) return;
  const std::int32_t mode = Vector_Settings.Vector_Mode;
  const std::int32_t pictures = Result_Set.Number_Of_Solutions - (mode == 1 ? 2 : mode == 2 ? 3 : 0);
  const Panel_Count chosen = AUTOMATIC_PANEL_GRID(pictures);
  grid.Panels_Across = chosen.across;
  grid.Panels_Down = chosen.down;
}

bool ends_with(std::string_view name, std::string_view ending) { return name.ends_with(ending); }

void report_missing(std::string_view name) {
  CONSOLE_EMPTY();
  CONSOLE_LINE(" File: " + std::string(name) + " not found");
  CONSOLE_EMPTY();
}

// The geometry file as it exists (a compressed form for a compressed first result file);
// false after reporting it missing.
bool find_geometry_file(std::string& geometry, std::string_view first_result) {
  for (std::string_view ending : {".gz", ".zip"}) {
    if (FILE_EXISTS(geometry)) return true;
    if (ends_with(first_result, ending) && FILE_EXISTS(geometry + std::string(ending)))
      geometry += std::string(ending);
  }
  if (FILE_EXISTS(geometry)) return true;
  report_missing(geometry);
  return false;
}

void report_settings(const std::vector<std::string>& names) {
  const auto& set = Result_Set;
  CONSOLE_EMPTY();
  CONSOLE_LINE(" geoF file     : " + set.Geometry_File_Name);
  for (const std::string& name : names) CONSOLE_LINE(" Solution file : " + name);
  constexpr std::string_view Symmetry[] = {"", " Four-folded symmetry toggled on", " Three-folded symmetry toggled on",
                                           " Nine-folded symmetry toggled on"};
  const std::int32_t symmetry = Display_Field.Symmetry_Mode;
  if (symmetry >= 2 && symmetry <= 4) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(Symmetry[symmetry - 1]);
  }
  constexpr std::string_view Format[] = {" Results in binary (single precision)", " Results in binary (double precision)",
                                         " Results in ASCII"};
  if (set.Result_Format >= 1 && set.Result_Format <= 3) {
    CONSOLE_LINE(Format[set.Result_Format - 1]);
    CONSOLE_EMPTY();
  }
  if (set.Compressed_Results) {
    CONSOLE_LINE(" Compressed results");
    CONSOLE_EMPTY();
  }
  CONSOLE_EMPTY();
}

void fill_name_list(Text_Array& list, std::string_view list_name, const std::vector<std::string>& names,
                    bool file_part_only) {
  const auto count = static_cast<std::int64_t>(names.size());
  CHECK_ALLOCATION_ERROR(list_name, list.ALLOCATE({{{1, count}}}));
  CHECK_ALLOCATION_SIZE(list_name, list.SIZE(), count);
  for (std::int64_t i = 1; i <= count; ++i) {
    const std::string& name = names[static_cast<std::size_t>(i - 1)];
    list(i) = file_part_only ? std::string(FILE_PART(name)) : name;
  }
}

}  // namespace

std::string GEOMETRY_FILE_NAME(std::string_view first_result) {
  const auto last = first_result.find_last_not_of(' ');
  first_result = last == std::string_view::npos ? std::string_view{} : first_result.substr(0, last + 1);
  const std::string_view file = FILE_PART(first_result);
  const std::string folder(first_result.substr(0, first_result.size() - file.size()));
  const bool upper = file.find(".ZLT") != std::string_view::npos;
  if (upper || file.find(".zlt") != std::string_view::npos) {
    const auto underscore = file.rfind('_');
    const std::string_view stem = underscore == std::string_view::npos ? std::string_view{} : file.substr(0, underscore);
    return folder + std::string(stem) + (upper ? "_GEOF.ZLT" : "_geoF.zlt");
  }
  std::string_view stem = file;
  for (std::string_view ending : {".gz", ".zip"})
    if (stem.ends_with(ending)) stem.remove_suffix(ending.size());
  const auto dot = stem.rfind('.');
  stem = dot == std::string_view::npos ? std::string_view{} : stem.substr(0, dot);
  return folder + std::string(stem) + ".geoF";
}

Panel_Count AUTOMATIC_PANEL_GRID(std::int32_t pictures) {
  const double k = pictures;
  const auto r = static_cast<std::int32_t>(std::lround(std::sqrt(k)));
  Panel_Count grid;
  grid.across = r + (r * r < k ? 1 : 0);
  grid.down = r + (grid.across * r < k ? 1 : 0);
  return grid;
}

void CHECK_COMMAND_LINE(const Option_Results& options) {
  auto& set = Result_Set;
  Command_State.GUI_Started = Command_State.GUI_Active;
  if (options.minimum_given && options.maximum_given) set.Extrema_Mode = 4;
  apply_byte_order(options);
  make_counts_consistent(options);
  check_vector_mode();
  choose_panel_grid();
  fill_name_list(set.Name_Solution, "Name_Solution", options.names, false);

  set.Geometry_File_Name = GEOMETRY_FILE_NAME(options.names.front());
  bool all_found = find_geometry_file(set.Geometry_File_Name, options.names.front());
  for (const std::string& name : options.names) {
    if (FILE_EXISTS(name)) continue;
    report_missing(name);
    all_found = false;
  }
  if (!all_found) STOP_PROGRAM(1);
  report_settings(options.names);
  fill_name_list(set.Name_To_Be_Displayed, "Name_To_Be_Displayed", options.names, true);
}
