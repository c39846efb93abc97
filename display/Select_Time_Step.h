// Select_Time_Step: choosing outputs of a result file by their times.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Shows the outputs of result file solution with their times (gathered from the file
// when output_times is absent, leaving it on its current output) and returns one flag
// per listed output: picked in the pop-up "Select outputs", or printed only (list_only).
std::vector<bool> SELECT_TIME_STEP(std::int32_t number_of_outputs,
                                   const std::optional<std::vector<float>>& output_times = std::nullopt,
                                   std::int32_t solution = 1, bool single_choice = false,
                                   bool list_only = false);
