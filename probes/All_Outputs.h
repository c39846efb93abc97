// All_Outputs: the loop of the exports that write one file per output of the loaded results.
#pragma once

#include <functional>
#include <string_view>

// An empty line and please_wait; then, from the output shown now, one_output for every output
// of result file 1 in turn (every file moves on with it, from the last output to the first),
// the main display following when several files are loaded or the page has one panel (and
// `display_follows`); then done and an empty line. Ends on the output it started from, with
// Time_Step_Command 1 and Command_Code 23 so that the command loop redraws.
void FOR_EVERY_OUTPUT(std::string_view please_wait, std::string_view done, const std::function<void()>& one_output,
                      bool display_follows = true);
