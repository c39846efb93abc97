// Reader_Dialogs: the one set of dialogs the readers use, and what they do without it.
//
// Writes:  the dialogs in force (SET_READER_DIALOGS).

#include "result_files/Reader_Dialogs.h"

namespace {

// Constant-initialised, so that a setter run while the program loads finds it ready.
constinit Reader_Dialogs dialogs_in_force{};

}  // namespace

void SET_READER_DIALOGS(const Reader_Dialogs& dialogs) { dialogs_in_force = dialogs; }

const Reader_Dialogs& READER_DIALOGS() { return dialogs_in_force; }

namespace reader_dialogs {

std::vector<bool> SELECT_STRINGS(std::string_view title, const std::vector<std::string>& entries) {
  if (!dialogs_in_force.select_strings) return std::vector<bool>(entries.size(), true);
  return dialogs_in_force.select_strings(title, entries, false, false);
}

std::vector<bool> SELECT_TIME_STEP(std::int32_t number_of_outputs, std::int32_t solution, bool single_choice,
                                   bool list_only) {
  if (!dialogs_in_force.select_time_step) return {};
  return dialogs_in_force.select_time_step(number_of_outputs, std::nullopt, solution, single_choice, list_only);
}

void INPUT_STRING(std::string_view title, std::string_view prompt, std::string& answer) {
  if (dialogs_in_force.input_string) dialogs_in_force.input_string(title, prompt, answer);
}

void READ_TWO_STRINGS(std::string_view title, const std::array<std::string, 2>& labels,
                      std::array<Text_Field, 2>& values) {
  if (dialogs_in_force.read_two_strings) dialogs_in_force.read_two_strings(title, labels, values);
}

void SET_COLOUR_SCALE() {
  if (dialogs_in_force.set_colour_scale) dialogs_in_force.set_colour_scale();
}

}  // namespace reader_dialogs
