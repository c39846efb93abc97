// Time_Temperature: finding and reading the time-temperature table of a case.
//
// Reads:   Result_Set (Name_Solution(1), Total_Time_Steps(1)); the table file.
// Writes:  Display_Settings (Time_Temperature, Temperature_Display); the console.
// Stops the program (STOP_PROGRAM) when the table file cannot be closed or the table not
// allocated.

#include "result_files/Time_Temperature.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Check_File.h"
#include "text/Free_Form.h"

namespace {

constexpr float Unset = -666.0f;
constexpr std::size_t Line_Length = 500;

std::size_t file_part_start(const std::string& name) {
  const auto slash = name.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

// The name up to the last mark in its file part (the whole file part without one), then ending.
std::string replace_from_last(const std::string& name, char mark, std::string_view ending) {
  const std::size_t start = file_part_start(name);
  const auto at = name.rfind(mark);
  const std::size_t cut = at != std::string::npos && at >= start ? at : start;
  return name.substr(0, cut) + std::string(ending);
}

// The name of a compressed result file's table: Alloy.conc.gz gives Alloy.TabF. Empty when the
// name is not that of a compressed file.
std::string compressed_table_name(const std::string& name) {
  const auto gz = name.rfind(".gz"), zip = name.rfind(".zip");
  std::size_t end = std::string::npos;
  if (gz != std::string::npos) end = gz;
  if (zip != std::string::npos && (end == std::string::npos || zip > end)) end = zip;
  if (end == std::string::npos) return {};
  const std::string inner = name.substr(0, end);
  const auto dot = inner.rfind('.');
  return (dot != std::string::npos && dot >= file_part_start(inner) ? inner.substr(0, dot) : inner) + ".TabF";
}

void warn_and_disable(std::string_view words, const std::string& name) {
  Display_Settings.Temperature_Display = 0;
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(std::string(words) + name);
  CONSOLE_LINE(" Disabling display of 'temperature'");
  CONSOLE_EMPTY(2);
}

// Time and temperature of a data line followed by one more item; false when they do not read.
bool read_row(const std::string& line, float& time, float& temperature) {
  std::size_t at = 0;
  Free_Form_Reader reader([&](char* buffer, std::size_t max) -> long {
    const std::size_t n = std::min(max, line.size() - at);
    std::copy_n(line.data() + at, n, buffer);
    at += n;
    return static_cast<long>(n);
  });
  std::string third;
  return reader.READ_REAL(time) == Free_Form_Status::Ok && reader.READ_REAL(temperature) == Free_Form_Status::Ok &&
         reader.READ_TEXT(third) == Free_Form_Status::Ok;
}

void allocate_table(std::int32_t rows) {
  auto& table = Display_Settings.Time_Temperature;
  const int status = table.ALLOCATE({Bounds{1, rows}, Bounds{1, 2}});
  CHECK_ALLOCATION_ERROR("Time_Temperature", status);
  CHECK_ALLOCATION_SIZE("Time_Temperature", table.SIZE(), std::int64_t{std::max(rows, 0)} * 2);
  table.FILL(Unset);
}

std::int32_t table_rows() {
  const auto& table = Display_Settings.Time_Temperature;
  return table.ALLOCATED() ? static_cast<std::int32_t>(table.EXTENT(0)) : 0;
}

}  // namespace

std::string TABLE_FILE_NAME(std::string_view result_file_name) {
  const std::string name = NAME_WITHOUT_BLANKS(result_file_name);
  const bool zlt = name.find(".zlt", file_part_start(name)) != std::string::npos;
  return zlt ? replace_from_last(name, '_', "_TabF.txt") : replace_from_last(name, '.', ".TabF");
}

void CTN_REALLOCATE_TIME_TEMPERATURE(std::int32_t rows) {
  auto& table = Display_Settings.Time_Temperature;
  const std::int32_t keep = std::min(table_rows(), rows);
  Bounded_Array<float, 2> buffer;
  CHECK_ALLOCATION_ERROR("Buffer_Time_Temperature", buffer.ALLOCATE({Bounds{1, keep}, Bounds{1, 2}}));
  for (std::int32_t i = 1; i <= keep; ++i)
    for (int c = 1; c <= 2; ++c) buffer(i, c) = table(i, c);
  if (table.ALLOCATED()) CHECK_DEALLOCATION("Time_Temperature", table.RELEASE());
  allocate_table(rows);
  for (std::int32_t i = 1; i <= keep; ++i)
    for (int c = 1; c <= 2; ++c) table(i, c) = buffer(i, c);
  CHECK_DEALLOCATION("Buffer_Time_Temperature", buffer.RELEASE());
}

bool READ_TIME_TEMPERATURE() {
  const std::string result_name = NAME_WITHOUT_BLANKS(Result_Set.Name_Solution(1));
  const std::string first_choice = TABLE_FILE_NAME(result_name);
  std::string name = first_choice;
  if (!FILE_EXISTS(name)) {
    const std::string compressed = compressed_table_name(result_name);
    if (!compressed.empty() && FILE_EXISTS(compressed)) name = compressed;
  }
  if (!FILE_EXISTS(name)) {
    warn_and_disable(" Warning: unable to find file: ", first_choice);
    return false;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "r"), std::fclose);
  if (!file) {
    warn_and_disable(" Warning: unable to read from file: ", name);
    return false;
  }

  auto& table = Display_Settings.Time_Temperature;
  if (!table.ALLOCATED()) allocate_table(std::max(Result_Set.Total_Time_Steps(1), 0));
  std::int32_t i = 0;
  std::string line;
  for (;;) {
    line.clear();
    int c;
    while ((c = std::fgetc(file.get())) != EOF && c != '\n')
      if (line.size() < Line_Length) line.push_back(static_cast<char>(c));
    if (c == EOF && (line.empty() || std::ferror(file.get()))) break;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('#') != std::string::npos) continue;
    float time = 0.0f, temperature = 0.0f;
    if (!read_row(line, time, temperature)) break;
    ++i;
    if (i > table_rows()) CTN_REALLOCATE_TIME_TEMPERATURE(std::max(2 * table_rows(), 1));
    table(i, 1) = time;
    table(i, 2) = temperature;
  }
  if (i != table_rows()) CTN_REALLOCATE_TIME_TEMPERATURE(i);
  if (std::fclose(file.release()) != 0) {
    Display_Settings.Temperature_Display = 0;
    CONSOLE_EMPTY(2);
    CONSOLE_LINE(" Error: unable to close file: " + name);
    CONSOLE_EMPTY(2);
    STOP_PROGRAM();
  }
  return true;
}
