// Extrema: the extrema of a result file over its outputs, and the colour-scale limits.
#pragma once

#include <cstdint>

// Smallest and largest value of file i (on unit) over the outputs that Extrema_Mode
// asks for at start-up (start_up true), or over every output, leaving the file on the
// output it was on. Leaves Time_Step_Command at 1.
void FIND_EXTREMA(bool start_up, std::int32_t i, int unit, float& minimum, float& maximum);
