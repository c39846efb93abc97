// Virtual_EDX: the line scan. Its tables, the sampling of the selected results along
// Scan_Line, the line-scan plot of one output or of the scans collected over the outputs,
// and the command handler of the line-scan codes 92 to 99.
#pragma once

#include <cstdint>

#include "probes/Probe_Position.h"
#include "records/Globals.h"

// Magnitudes not above this (the nearest single-precision value to 1E-40) count as zero in
// every probe: normalisation, interpolation, flat plot ranges.
constexpr float Probe_Zero_Magnitude = 1.0E-40f;

// (result, sample): the values of the last scan, 0 for results not selected; exists from the
// first scan on and only grows.
inline Bounded_Array<float, 2> Virtual_EDX_values;
// (sample): each sample's distance from the line's start in micrometres.
inline Real_Array Virtual_EDX_distances;
// (row, sample, output): rows 1..N the scans of each result, row N + 1 (sample 1) the output's
// time, row N + 2 (sample 1) its marker (above 0.5: drawn). Kept between collections.
inline Bounded_Array<float, 3> Virtual_EDX_Scans;
// The line and plane of the last scan.
inline Probe_Position Virtual_EDX_Position;

// True, after " Sorry the 'scan line' appears to be too small!" between empty lines, when the
// line's |x1 - x2| + |y1 - y2| is less than 2.
bool SCAN_LINE_TOO_SMALL();

// Samples the selected results along Scan_Line at the output displayed (after the size test),
// sets its sample count and applies EDX_Processing_Mode. Samples stay inside the line's cells.
void VIRTUAL_EDX_SCAN();

// The line-scan plot: the current scan (current_scan) or the collected scans of the marked
// outputs, into a new window or the image file named by Output_Settings.
void VIRTUAL_EDX_DISPLAY(bool window, bool current_scan);

// Collects the scan of every output of result file 1 from the one displayed round to it again,
// marks outputs by mode (1 all, 2 picked from the list of output times, other: as marked last
// time) and plots the marked ones. The selection of results is the same afterwards.
void VIRTUAL_EDX_DISPLAY_ALL(bool window, std::int32_t mode);

// The line-scan command in Command_Code (92 to 99).
void VIRTUAL_EDX();

// Releases the three tables (a new session, or a test's clean start).
void RELEASE_VIRTUAL_EDX_TABLES();
