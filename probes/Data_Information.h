// Data_Information: the console information commands (codes 115 to 125) about the displayed
// field: measures of picked lines and angles, values and position of a cell, extrema and
// averages, the comparison of the results, the version and the geometry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "records/Globals.h"

// Runs the command in Command_Code (115 to 125); any other code does nothing.
void DATA_INFORMATION();

// The length of the Scan_Line in micrometres.
void DATA_INFORMATION_DISTANCE();
// Codes 116 (between two sides), 117 (against the horizontal), 118 (against the vertical).
void DATA_INFORMATION_ANGLE();
// Values of every result and position of the cell Scan_Line (x1, y1).
void DATA_INFORMATION_COORDINATES();
// Asks a cell pointer and shows its cell; a blank answer ends the command quietly.
void DATA_INFORMATION_CELL_POINTER();

// Extrema and average of every shown slot over the zoom window.
void DATA_INFORMATION_AVERAGE();
// Asks the criterion and compares results 2 to N with result 1: at the current output (121)
// or at every output (122). A blank answer ends the command quietly.
void DATA_INFORMATION_COMPARE();
// One comparison at the outputs shown: fills Identical(2..N) and prints a line for each, with
// the pair's output numbers when they differ (always, when numbered) and result j's time
// when it differs from result 1's.
void CTN_COMPARE(Logical_Array& Identical, float criterion, bool numbered = false);
void DATA_INFORMATION_VERSION();
void DATA_INFORMATION_GEOMETRY();

// ---- rules the commands are built of

// A cell of the simulation with its ghost layers (indices 0 to Anz + 1).
struct Cell_Index {
  std::int64_t X = 0, Y = 0, Z = 0;
};

// The 1-based position of the cell in the field with its ghost layers, x fastest; no y term
// for a two-dimensional result (AnzY 1 or less). In 64 bits: large fields pass 2^31.
std::int64_t CELL_POINTER(const Cell_Index& cell);
// The cell of a pointer; Y is Cut_Index for a two-dimensional result.
Cell_Index DECODE_CELL_POINTER(std::int64_t pointer);
// The three-dimensional cell of the displayed cell (x, y) by Cut_Direction.
Cell_Index CELL_OF_DISPLAYED(std::int32_t x, std::int32_t y);

// The displayed cell a typed pointer names, and whether it lies off the shown plane; no
// value when it names a ghost-layer cell, a cell outside the displayed field, or no cell.
struct Pointed_Cell {
  std::int32_t x = 0, y = 0;
  bool off_plane = false;
};
std::optional<Pointed_Cell> POINTED_CELL(std::int64_t pointer);

// Reads the first item of a typed answer as a 64-bit integer in free form.
std::optional<std::int64_t> READ_POINTER_TEXT(const std::string& typed);

// What follows "name" in the Miller display mode: ": interface!", ": liquid!", the three
// two-digit groups, or ": unable to process! " and the value.
std::string MILLER_TEXT(float value);

// The signed angle in radians of the turn from the side P1 -> P2 to the side P1 -> P3;
// no value when a side has zero length.
std::optional<float> TURN_ANGLE(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                                std::int32_t x3, std::int32_t y3);

// The default comparison criterion for result 1's minimum and maximum over the window.
float COMPARISON_CRITERION(float minimum, float maximum);

// Minimum, maximum and average of one slot over the zoom window; sums in double precision.
struct Window_Statistics {
  float minimum = 0.0f, maximum = 0.0f, average = 0.0f;
};
Window_Statistics WINDOW_STATISTICS(std::int32_t slot);
