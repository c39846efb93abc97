// Probe_Output_Names: the names of the probe outputs' files.
#pragma once

#include <string>
#include <string_view>

// The stem of result file 1's name: cut before its last ".zlt" (not at the file part's first
// character), or its last "." made "_"; a name without "." stays as it is.
std::string PROBE_OUTPUT_STEM();

// The trimmed image extension of Output_Settings.
std::string IMAGE_EXTENSION();

// A time in whole milliseconds (fraction dropped) as at least 8 digits with leading zeros;
// times of 100000 s or more take as many digits as they need.
std::string MILLISECONDS_FIELD(float seconds);

// Stores default as the default output name, then takes the chosen name: the default when
// batched, otherwise through INPUT_FILE_NAME with the title. The trimmed chosen name, empty
// when the user cancelled.
std::string CHOOSE_PROBE_OUTPUT_NAME(const std::string& default_name, std::string_view title, bool batched = false);
