// Time_Temperature: the time-temperature table of a case, beside its first result file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The table file's name for a result file name: in a file part holding ".zlt" everything from
// its last "_" on becomes "_TabF.txt", otherwise everything from its last "." on ".TabF".
// Folders are kept as given.
std::string TABLE_FILE_NAME(std::string_view result_file_name);

// Reads the table beside result file 1 into Display_Settings.Time_Temperature (rows of time
// and temperature): the data lines up to the first that does not read, "#" lines skipped.
// A table that cannot be found or opened turns the temperature display off with a warning, and
// the result is false.
bool READ_TIME_TEMPERATURE();

// Resizes the table to rows rows, keeping the rows it has (new rows hold -666).
void CTN_REALLOCATE_TIME_TEMPERATURE(std::int32_t rows);
