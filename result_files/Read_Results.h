// Read_Results: moving the result files by a time-step command and reading outputs
// into the read buffer and the display slots.
#pragma once

#include <cstdint>

// Carries out the pending Command_State.Time_Step_Command for every taking part file.
void READ_RESULTS();

// Moves file i by the pending move, reads the output it arrives at, sets Time(i) and
// cuts and copies the output into slot i of Array_to_be_displayed.
void READ_RESULT(std::int32_t i);

// Reads one output of file i, whole or its header only; end is set at the end of the
// file, on a record cut short (after the first output) or on another cell count.
void READ_OUTPUT(std::int32_t i, float& time, bool& end, bool header_only);

// True when file i = unit - 113 has no further output after its current one; the
// stream keeps its position.
bool CHECK_END(int unit);

// The seek and list moves 10 to 15: leaves the output number to seek in Seek_Step.
void TIME_STEP_SEEK_OPERATIONS();

// RGB-triangle colour indices into slot 0, or Miller-index colours into slots -1..-N.
// Returns false when the combined picture was left out (outputs of different times).
bool MERGE_READ_RESULTS();

// Difference into slot 0, logarithms or absolute values into slots -1..-N.
void PROCESS_DISPLAYED_RESULTS();

// True when the logarithmic display is on and 0 < Current_Min(i) < Current_Max(i).
bool CHECK_LOGARITHMIC(std::int32_t i);
