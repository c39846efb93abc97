// Popup_Script: the stand-in for the image display's pop-ups, used until they are built.
//
// Answers are queued by tests or harnesses and handed out in order; a pop-up with no
// queued answer returns as if OK was pressed without a change. Every call is logged
// (the title, or the routine's name) so that callers can be checked.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace popup_script {

void QUEUE_SELECTION(std::vector<bool> rows);                 // next SELECT_STRINGS
void QUEUE_TWO_STRINGS(std::string value_1, std::string value_2);  // next READ_TWO_STRINGS

// Answers as lines of a script, used when no answer of the kind above is queued: a list
// takes one line with the numbers of the chosen entries ("1 3"; empty: none), a two-field
// form two lines, a form with a switch one line per field and then the switch's text as shown.
void QUEUE_LINES(const std::vector<std::string>& lines);

// Calls made so far, one entry each: "SELECT_STRINGS <title>",
// "READ_TWO_STRINGS <title>", "READ_STRINGS_LOGICAL <title>".
const std::vector<std::string>& CALLS();

// Drops the queued answers and the log.
void RESET();

}  // namespace popup_script
