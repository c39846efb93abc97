// Probe_Results: the choice of the results a probe looks at, and the walk of every chosen
// result once through all its outputs.
#pragma once

#include <cstdint>
#include <functional>

// Marks every result selected when ask is false or only one result is loaded; otherwise
// the list "Select solution(s)" (all entries selected at first) replaces Selected_Solutions.
void SELECT_PROBE_RESULTS(bool ask);

// True when result i is loaded and selected.
bool SELECTED_RESULT(std::int32_t i);

// The lowest-numbered selected result, or 1 when none is selected.
std::int32_t REFERENCE_RESULT();

// From the outputs shown now: record(), then the next output of every selected result in
// increasing order, until the reference result is back at the output it started from; at
// most one pass more than the reference has outputs (a file that shrank never returns).
void STEP_PROBE_OUTPUTS(const std::function<void()>& record);
