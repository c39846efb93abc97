// Probe_Series: the tables of a probe that records one value per output and result (rows
// indexed by output number) with the time of each output, and the rules they share.
#pragma once

#include <cmath>  // std::isnan
#include <cstdint>
#include <limits>
#include <string_view>

#include "probes/Probe_Position.h"
#include "records/Globals.h"

// An entry no probe has measured: rows past the outputs a result's walk reached, columns of
// results never selected, times of outputs no selected result stood on. Tables write it as
// "NaN", plots leave it out, so that it cannot pass for a measured 0.
inline constexpr float Not_Measured = std::numeric_limits<float>::quiet_NaN();
inline bool MEASURED(float value) { return !std::isnan(value); }

struct Probe_Series {
  Bounded_Array<float, 2>& values;  // (output, result)
  Real_Array& times;                // (output)
  Probe_Position& position;         // where the last run measured
  std::string_view values_name, times_name;  // as the allocation messages name them
  std::string_view buffer_values_name, buffer_times_name;

  bool EXISTS() const { return values.ALLOCATED(); }
  // Rows the tables hold (0 before the first run).
  std::int64_t LENGTH() const { return EXISTS() ? values.EXTENT(0) : 0; }
};

// The largest Total_Time_Steps over the loaded results, at least 0.
std::int32_t LARGEST_OUTPUT_COUNT();

// Creates the tables with the largest output count, every entry Not_Measured, or enlarges
// them to it keeping their rows; shorter counts leave them as they are.
void GROW_PROBE_SERIES(const Probe_Series& series);
// Cuts tables longer than the largest output count now to that count, keeping rows 1 to it.
void CUT_PROBE_SERIES(const Probe_Series& series);

// The time of every selected result's current output into its row, the lowest-numbered
// selected result's time winning where several stand on one output.
void RECORD_PROBE_TIMES(const Probe_Series& series);

// Rows of result i that a reader may use: its output count, never past the table's end.
std::int64_t ROWS_OF_RESULT(const Probe_Series& series, std::int32_t i);

// The row of result i's current output, or 0 when the table does not reach it.
std::int64_t ROW_OF_CURRENT_OUTPUT(const Probe_Series& series, std::int32_t i);
