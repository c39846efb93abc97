// Scan_Point: the value at one cell of the displayed field at every output of the results,
// with the time of each output, and its curve against time.
#pragma once

#include "probes/Probe_Series.h"
#include "records/Globals.h"

// (output, result): value of result i at the scan point at its output t; created by the first
// probe, enlarged when a file grew, cut after every probe.
inline Bounded_Array<float, 2> Scan_Point_Values;
inline Real_Array Scan_Point_Times;  // (output): seconds
inline Probe_Position Scan_Point_Position;

// The two tables with the names their allocation messages use.
Probe_Series SCAN_POINT_SERIES();

// Records the current output of every selected result at cell (x1, y1) of Scan_Line.
void SCAN_POINT_VALUE();
// EDX_Processing_Mode 1 divides each selected result's series by the sum of |value| x time,
// mode 2 by its largest |value|; a norm not above 1.0E-40 leaves the series as it is.
void PROCESS_SCAN_POINT_SERIES();
// Cuts the tables to the largest output count now.
void DOWNSIZE_SCAN_POINT_ARRAYS();

// Code 101: the results, the point, the run over all outputs, the curve window.
void SCAN_POINT();
// The curve of value against time: in the curve window (window) or into the image file named
// by Output_Settings.Output_File_Name.
void SCAN_POINT_DISPLAY(bool window);
