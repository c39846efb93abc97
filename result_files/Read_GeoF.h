// Read_GeoF: opening a result set (encoding, geometry, result streams, per-file arrays)
// and the uncompressed working copies of compressed cases.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr int Geometry_Unit = 113;  // result file i is on unit 113 + i
constexpr std::int64_t No_Record_Length = -666;

// Opens the case: settles Result_Format and Compressed_Results, reads the geometry,
// opens every result file on its unit, allocates the per-file and display arrays and
// finds the extrema. Returns only with the case open; otherwise stops the program.
void READ_GEOF();

// True when format code fits the geometry file and the first output header of every
// result file; the result units are then open at their start, else closed.
bool CHECK_GEOMETRY(std::int32_t code);

// The format code that the first four bytes of the geometry file suggest (1, 2, 3, 6, 7,
// or -1 for a gzip file inside a gzip file); on gzip, switches Compressed_Results on and
// makes the working copies.
std::int32_t GUESS_FORMAT();

// The first four bytes of the geometry file (its working copy when compressed) as a
// little-endian integer; 666 with failed set when they cannot be read.
std::int32_t READ_RECORD_LENGTH(bool& failed);

// Opens name on unit read-only, shared: "FORMATTED" or "UNFORMATTED"; big-endian
// conversion and a record length (> 0: by record number) are optional and exclusive.
// Returns true when the open failed (nothing printed).
bool OPEN_FILE(int unit, std::string_view name, std::string_view form, bool byte_order = false,
               std::int64_t record_length = No_Record_Length);

// Working copies: 1 make, 2 delete the geometry copy, 3 delete all, 4 refresh grown files.
void ZIPPED_FILES(std::int32_t mode);

// Record size of one output for n cells in the current Result_Format (framing included;
// the estimate 13 + 4n for ASCII).
std::int64_t RECORD_SIZE(std::int64_t cells);

// End of the run, normal or fatal: closes the result units and deletes the working
// copies behind them.
void CLOSE_RESULT_FILES();

// Deletes the working copies by name only, touching no stream: safe while another thread
// reads the case (the display's end on an interrupt).
void DELETE_WORKING_COPIES();

// Marks working copy i as this run's again after something replaced the file of its name
// (the removal of an output rewrites it): a later run leaves marked copies alone.
void MARK_WORKING_COPY(std::int32_t i);
