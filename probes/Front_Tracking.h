// Front_Tracking: where the values along the scan line first cross a tracked value, at every
// output of the results, as a distance from the line's start; and its curve against time.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "probes/Probe_Series.h"
#include "records/Globals.h"

// (output, result): front position in micrometres from the line's start, -1.0 where the
// values do not cross; created by the first run, enlarged when a file grew, cut after a run.
inline Bounded_Array<float, 2> Front_Tracking_Values;
inline Real_Array Front_Tracking_Times;          // (output): seconds
inline Probe_Position Front_Tracking_Position;
inline Real_Array Front_Tracking_Value_Tracked;  // (result): the value whose crossing is the front

// The two tables with the names their allocation messages use.
Probe_Series FRONT_TRACKING_SERIES();

// The first crossing of target along the samples (values at distances): a sample above the
// target lies on the upper side, any other on the lower; the front lies between the first
// two neighbours on different sides, interpolated when interpolate and their difference is
// above 1.0E-40, else in their middle. -1.0 when there is no crossing.
float FRONT_POSITION(std::span<const float> values, std::span<const float> distances, float target,
                     bool interpolate);

// Interpolation holds for lines nearly parallel to a display axis: the smaller extent of the
// scan line below 5 cells.
bool FRONT_INTERPOLATED();

// Creates the tracked values on the first call (the middle of each result's samples of the
// last line scan), then lets the user edit them in a pop-up form. An entry that cannot be read
// keeps the stored value, and the console says so.
void FRONT_TRACKING_SET_VALUES();
// The tracked values of a first run: the middle (min + max) / 2 of each result's samples.
void DEFAULT_TRACKED_VALUES();
// The form's reading of one entry: the stored value when the text is no number.
bool READ_TRACKED_VALUE(std::string_view text, float& value);

// Records the fronts of the current line scan for every result at its current output; results
// not selected get -1.0.
void FRONT_TRACKING_VALUE();
// Cuts the tables to the largest output count now.
void DOWNSIZE_FRONT_TRACKING_ARRAYS();

// Code 100: the line (a line scan first when none exists), the tracked values, the run over
// all outputs, the curve window.
void FRONT_TRACKING();
// The curve of front position against time: in the curve window (window) or into the image
// file named by Output_Settings.Output_File_Name.
void FRONT_TRACKING_DISPLAY(bool window);
