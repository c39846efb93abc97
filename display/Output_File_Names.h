// Output_File_Names: the names of the files the display program writes for the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Builds Output_Settings.Default_Output_File_Name from the name of result file solution, the
// time (milliseconds, at least 8 digits) or the output number (at least 3 digits) of its
// current output, the suffix (blank for none) and the extension (without the dot). Within one
// series of batch outputs a name is never given twice: a repeat gets the first free "_NN"
// and a warning line.
void SET_DEFAULT_OUTPUT_FILE(std::int32_t solution, std::string_view suffix, std::string_view extension,
                             bool batch_output);

// Starts a new series of batch outputs (one per output of a file): names given before may
// be given again.
void START_OUTPUT_SERIES();

// Output_Settings.Output_File_Name := the default name, or with default naming off the name
// chosen in the save-file dialog titled title; "" when the user cancelled.
void INPUT_FILE_NAME(std::string_view title);

// The base of the output names of a result file: its file part without ".zlt" (not at the
// file part's first character), or with its last "." made "_"; a file part with neither
// stays as it is. Folders are kept as given.
std::string OUTPUT_BASE_NAME(std::string_view result_file_name);
