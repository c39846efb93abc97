// Vector_Settings: the components of the vector display and the settings form.
//
// Reads:   Result_Set (N, names), Display_Field.Cut_Direction.
// Writes:  Vector_Settings.

#include "display/Vector_Settings.h"

#include <cmath>
#include <string>
#include <vector>

#include "display/Tools_Graphical.h"
#include "display/Vectors.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "text/Blanks.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

std::string intensity_text(float v) {
  const float a = std::fabs(v);
  const std::string field = a >= 0.1f && a < 100000.0f ? FORMAT_LINE("(G13.5)", {v}) : FORMAT_LINE("(1P,E13.5)", {v});
  return field + "  ";
}

// A typed value is taken only when it reads and is finite.
void read_real(const std::string& text, float& setting) {
  float value = 0.0f;
  if (READ_REAL_FROM_TEXT(text, value) == Free_Form_Status::Ok && std::isfinite(value)) setting = value;
}

}  // namespace

void SET_VECTOR_COMPONENTS() {
  auto& v = Vector_Settings;
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  if (v.Vector_Mode == 0) return;
  if (v.Vector_Mode == 1) {
    v.Vector_X_Component = n - 1, v.Vector_Y_Component = n;
  } else if (v.Vector_Mode == 2) {
    switch (Display_Field.Cut_Direction) {
      case 1: v.Vector_X_Component = n - 2, v.Vector_Y_Component = n - 1; break;
      case 2: v.Vector_X_Component = n - 2, v.Vector_Y_Component = n; break;
      case 3: v.Vector_X_Component = n - 1, v.Vector_Y_Component = n; break;
      default: break;
    }
  }
  auto name = [](std::int32_t k) {
    const auto& names = Result_Set.Name_To_Be_Displayed;
    return names.ALLOCATED() && k >= 1 && k <= names.UPPER(0) ? WITHOUT_TRAILING_BLANKS(names(k)) : std::string();
  };
  CONSOLE_LINE(" Using " + name(v.Vector_X_Component) + " for vectors' 'X' component");
  CONSOLE_LINE("   and " + name(v.Vector_Y_Component) + " for vectors' 'Y' component");
  CONSOLE_EMPTY();
}

void DISPLAY_VECTORS_SETTINGS() {
  auto& v = Vector_Settings;
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  for (std::int32_t k : {v.Vector_X_Component, v.Vector_Y_Component})
    if (k < 1 || k > n) return;
  CHECK_DISPLAY_VECTORS_SETTINGS(v.Vector_X_Component, v.Vector_Y_Component);
  // Each field is as long as the value it shows.
  std::vector<Text_Field> values;
  for (std::string text : {intensity_text(v.Vector_Min_Intensity), intensity_text(v.Vector_Max_Intensity),
                           "     " + FORMAT_LINE("(I5)", {std::int64_t{v.Vector_Thinning}}) + "     "})
    values.push_back(Text_Field{text, text.size()});
  READ_STRINGS_LOGICAL("\\fi'Vector field' settings", 3,
                       {"\\fiMinimum intensity (field value):", "\\fiMaximum intensity (field value):",
                        "\\fi'Thinning' distance (in cells): "},
                       values, "\\fi'Arrow' position:", v.Centred_Vectors, {"\\fr    Centered", "\\fr'Base point'"});
  read_real(values[0].text, v.Vector_Min_Intensity);
  read_real(values[1].text, v.Vector_Max_Intensity);
  std::int32_t thinning = 0;
  if (READ_INTEGER_FROM_TEXT(values[2].text, thinning) == Free_Form_Status::Ok) v.Vector_Thinning = thinning;
  CHECK_DISPLAY_VECTORS_SETTINGS(v.Vector_X_Component, v.Vector_Y_Component);
}
