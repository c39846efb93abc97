// Display_Modes: the RGB-triangle and Miller-index modes, the processed displays and the
// vector-field displays.
//
// Reads:  Command_State.Command_Code, Result_Set.Number_Of_Solutions.
// Writes: Display_Settings (Processed_Display_Modes, Panel_Grid, Colour_Scale_Number and the
//         saved grid and scale), Vector_Settings.Vector_Mode, Command_Code (23 after the
//         Miller mode went on); the console; through the re-reading and the redraw.
//
// A grid or scale is saved when the first mode that needs it goes on and given back when
// the last one goes off, so that switching modes on and off in any order ends where it
// began. The colour modes and the processed modes keep their grids apart: both can be on
// together (vectors under the RGB triangle).

#include "main/Display_Modes.h"

#include <cpgplot.h>

#include <cmath>
#include <cstdint>
#include <string_view>

#include "display/Colour_Scale.h"
#include "display/Manage_Display.h"
#include "display/Vector_Settings.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "records/Toggle_Boolean.h"
#include "result_files/Display_Arrays.h"
#include "result_files/Read_Results.h"

namespace {

using Command::Rgb_Triangle, Command::Vectors_2D, Command::Vectors_3D;

void refuse(std::string_view text) {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(text);
  CONSOLE_EMPTY();
}

bool colour_mode_on() {
  const auto& modes = Display_Settings.Processed_Display_Modes;
  return modes.RGB_Triangle || modes.Miller_Indices;
}

bool processed_mode_on() {
  const auto& modes = Display_Settings.Processed_Display_Modes;
  return modes.Difference_Display || modes.Logarithmic_Display || modes.Absolute_Values ||
         Vector_Settings.Vector_Mode != 0;
}

struct Grid_Slot {
  std::int32_t Panel_Grid_Type::*across;
  std::int32_t Panel_Grid_Type::*down;
};
constexpr Grid_Slot Triangle_Grid{&Panel_Grid_Type::Saved_Panels_Across, &Panel_Grid_Type::Saved_Panels_Down};
constexpr Grid_Slot Processed_Grid{&Panel_Grid_Type::Processed_Saved_Panels_Across,
                                   &Panel_Grid_Type::Processed_Saved_Panels_Down};

void save_grid(Grid_Slot slot) {
  auto& grid = Display_Settings.Panel_Grid;
  grid.*slot.across = grid.Panels_Across;
  grid.*slot.down = grid.Panels_Down;
}

void give_back_grid(Grid_Slot slot) {
  auto& grid = Display_Settings.Panel_Grid;
  grid.Panels_Across = grid.*slot.across;
  grid.Panels_Down = grid.*slot.down;
}

// The pictures of the vector display are the files that are no component: c of them are.
void vector_grid(std::int32_t components) {
  auto& grid = Display_Settings.Panel_Grid;
  const std::int32_t pictures = Result_Set.Number_Of_Solutions - components;
  const auto s = static_cast<std::int32_t>(std::lround(std::sqrt(static_cast<double>(pictures))));
  grid.Panels_Across = s * s < pictures ? s + 1 : s;
  grid.Panels_Down = grid.Panels_Across * s < pictures ? s + 1 : s;
}

// Why a processed mode cannot be served now, or empty when it can.
std::string_view refusal(std::int32_t code) {
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  // A mode the file count rules out says so first, whatever colour mode is on.
  if (code == Command::Difference_Display && n != 2) return " Available only with two results!";
  if (code == Vectors_2D && n < 3) return " Available only with at least three results!";
  if (code == Vectors_3D && n < 4) return " Available only with at least four results!";
  if (colour_mode_on()) return " Currently not available";
  return {};
}

void toggle_vectors(std::int32_t requested) {
  auto& mode = Vector_Settings.Vector_Mode;
  if (mode == 0) {
    mode = requested;
    SET_VECTOR_COMPONENTS();
  } else {
    mode = 0;
  }
  static constexpr std::string_view texts[] = {" Display of 'vectors' off", " Display of 'vectors' on",
                                               " Display of 'vectors' on (3D mode!)"};
  CONSOLE_EMPTY();
  CONSOLE_LINE(texts[mode]);
  CONSOLE_EMPTY();
}

}  // namespace

void TOGGLE_FLAG_RGB_TRIANGLE() {
  auto& modes = Display_Settings.Processed_Display_Modes;
  auto& settings = Display_Settings;
  const std::int32_t code = Command_State.Command_Code;
  const bool triangle = code == Rgb_Triangle;
  if (triangle && Result_Set.Number_Of_Solutions != 3) {
    refuse(" 'RGB triangle' display mode only available with 3 result files");
    return;
  }
  const bool colours_before = colour_mode_on();
  const bool processed_before = processed_mode_on();
  modes.Difference_Display = false;
  modes.Logarithmic_Display = false;
  // The grid that the processed modes changed goes back before the colour modes take theirs.
  if (processed_before && !processed_mode_on()) give_back_grid(Processed_Grid);

  if (triangle) {
    TOGGLE_BOOLEAN(modes.RGB_Triangle, "'RGB triangle' display mode toggled on",
                   "'RGB triangle' display mode toggled off");
    if (modes.RGB_Triangle) {
      save_grid(Triangle_Grid);
      settings.Panel_Grid.Panels_Across = settings.Panel_Grid.Panels_Down = 1;
    } else {
      give_back_grid(Triangle_Grid);
    }
  } else {
    TOGGLE_BOOLEAN(modes.Miller_Indices, "'Miller Indices' display mode toggled on",
                   "'Miller Indices' display mode toggled off");
  }
  if (!colours_before && colour_mode_on()) {
    settings.Saved_Colour_Scale_Number = settings.Colour_Scale_Number;
    settings.Colour_Scale_Number = -1;
  } else if (colours_before && !colour_mode_on()) {
    settings.Colour_Scale_Number = settings.Saved_Colour_Scale_Number;
  }

  cpgbbuf();
  SET_COLOUR_SCALE();
  ALLOCATE_ARRAYS();
  READ_RESULTS();
  if (triangle) DIVIDE_DISPLAY(true);
  if (modes.Miller_Indices) Command_State.Command_Code = Command::Replot;
  MANAGE_DISPLAY();
  cpgebuf();
}

void TOGGLE_PROCESSED_RESULTS() {
  auto& modes = Display_Settings.Processed_Display_Modes;
  auto& grid = Display_Settings.Panel_Grid;
  auto& vector_mode = Vector_Settings.Vector_Mode;
  const std::int32_t code = Command_State.Command_Code;
  if (const std::string_view why = refusal(code); !why.empty()) {
    refuse(why);
    return;
  }
  const bool before = processed_mode_on();
  switch (code) {
    case Command::Difference_Display:
      TOGGLE_BOOLEAN(modes.Difference_Display, "Display of 'difference' on", "Display of 'difference' off");
      modes.Logarithmic_Display = false;
      vector_mode = 0;
      break;
    case Command::Logarithmic_Display:
      TOGGLE_BOOLEAN(modes.Logarithmic_Display, "Display of 'rescaled result' on",
                     "Display of 'rescaled result' off");
      modes.Difference_Display = false;
      vector_mode = 0;
      break;
    case Command::Absolute_Values:
      TOGGLE_BOOLEAN(modes.Absolute_Values, "Display of absolute value of results on",
                     "Display of absolute value of results off");
      modes.Difference_Display = false;
      vector_mode = 0;
      break;
    case Vectors_2D:
    case Vectors_3D:
      toggle_vectors(code == Vectors_2D ? 1 : 2);
      modes.Difference_Display = false;
      modes.Logarithmic_Display = false;
      break;
    default:
      return;
  }
  if (!before && processed_mode_on()) save_grid(Processed_Grid);
  if (modes.Difference_Display) {
    // The difference and the two files: three pictures.
    if (grid.Panels_Across == 1) grid.Panels_Down = 3;
    else if (grid.Panels_Down == 1) grid.Panels_Across = 3;
  } else if (modes.Logarithmic_Display || modes.Absolute_Values) {
    // One picture per file, as before.
  } else if (vector_mode != 0) {
    vector_grid(vector_mode == 1 ? 2 : 3);
  } else if (before) {
    give_back_grid(Processed_Grid);
  }

  cpgbbuf();
  if (code != Vectors_2D && code != Vectors_3D) {
    ALLOCATE_ARRAYS();
    READ_RESULTS();
  }
  DIVIDE_DISPLAY(true);
  MANAGE_DISPLAY();
  cpgebuf();
}
