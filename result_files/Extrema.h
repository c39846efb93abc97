// Extrema: the extrema of a result file over its outputs, and the colour-scale limits.
#pragma once

#include <cstdint>

// Smallest and largest value of file i (on unit) over the outputs that Extrema_Mode
// asks for at start-up (start_up true), or over every output, leaving the file on the
// output it was on. Leaves Time_Step_Command at 1.
void FIND_EXTREMA(bool start_up, std::int32_t i, int unit, float& minimum, float& maximum);

// The colour-scale commands s+m, s+r, s+d, s+g, s+f (Command_Code 1 to 5); ends with
// Command_Code 23 so that the command loop redraws.
void EXTREMA();

// The form in which the limits of file i are typed: mode 1 minimum and maximum, mode 2
// median and range. Changes Current_Min(i) and Current_Max(i).
void READ_EXTREMA(std::int32_t mode, std::int32_t i);
