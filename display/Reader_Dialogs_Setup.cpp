// Reader_Dialogs_Setup: the display's pop-ups answer the readers' questions, and a change of
// limits rebuilds the stepwise colour scale. Set while the program loads, before main, so that
// every program linking the display (Display_ZELTRA, its tests and benchmarks) reads alike;
// the build links this file into each of them whole (it is referenced by nothing).
//
// Writes:  the readers' dialogs (SET_READER_DIALOGS).

#include "display/Colour_Scale.h"
#include "display/Select_Time_Step.h"
#include "display/Tools_Graphical.h"
#include "result_files/Reader_Dialogs.h"

namespace {

[[maybe_unused]] const bool dialogs_set = [] {
  SET_READER_DIALOGS({.select_strings = SELECT_STRINGS,
                      .select_time_step = SELECT_TIME_STEP,
                      .input_string = INPUT_STRING,
                      .read_two_strings = READ_TWO_STRINGS,
                      .set_colour_scale = SET_COLOUR_SCALE});
  return true;
}();

}  // namespace
