// Reader_Dialogs: what the readers ask the user and whom they tell of new limits, supplied from
// above: result_files/ calls nothing of the display. The display's pop-ups are set once, when a
// program linking the display is loaded (display/Reader_Dialogs_Setup.cpp). Without them the
// readers ask nothing: every file is chosen, a typed answer or a form keeps its preset text, no
// output is picked or listed, and no colour scale is rebuilt.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/Text_Field.h"

struct Reader_Dialogs {
  // A pop-up list with one flag per entry (SELECT_STRINGS).
  std::vector<bool> (*select_strings)(std::string_view title, const std::vector<std::string>& entries,
                                      bool initial_state, bool single_choice) = nullptr;
  // The outputs of result file solution with their times, to pick from or listed (SELECT_TIME_STEP).
  std::vector<bool> (*select_time_step)(std::int32_t number_of_outputs,
                                        const std::optional<std::vector<float>>& output_times,
                                        std::int32_t solution, bool single_choice, bool list_only) = nullptr;
  // One typed line in place of answer (INPUT_STRING).
  void (*input_string)(std::string_view title, std::string_view prompt, std::string& answer) = nullptr;
  // A form of two labelled text fields, edited in place (READ_TWO_STRINGS).
  void (*read_two_strings)(std::string_view title, const std::array<std::string, 2>& labels,
                           std::array<Text_Field, 2>& values) = nullptr;
  // The stepwise colour scale is built again for new limits (SET_COLOUR_SCALE).
  void (*set_colour_scale)() = nullptr;
};

// Sets the dialogs the readers use from now on; a default Reader_Dialogs takes them away.
void SET_READER_DIALOGS(const Reader_Dialogs& dialogs);

// The dialogs in force.
const Reader_Dialogs& READER_DIALOGS();

// The readers' calls: each goes to the dialog set, or does what a run without dialogs does.
namespace reader_dialogs {

std::vector<bool> SELECT_STRINGS(std::string_view title, const std::vector<std::string>& entries);
std::vector<bool> SELECT_TIME_STEP(std::int32_t number_of_outputs, std::int32_t solution, bool single_choice,
                                   bool list_only = false);
void INPUT_STRING(std::string_view title, std::string_view prompt, std::string& answer);
void READ_TWO_STRINGS(std::string_view title, const std::array<std::string, 2>& labels,
                      std::array<Text_Field, 2>& values);
void SET_COLOUR_SCALE();

}  // namespace reader_dialogs
