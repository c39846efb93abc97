// Vectors_Check: CHECK_DISPLAY_VECTORS_SETTINGS, the vector settings made usable for drawing.
//
// Reads Result_Set limits and changes Vector_Settings.

#include <algorithm>
#include <cmath>

#include "display/Display_Image.h"
#include "main/Globals.h"

void CHECK_DISPLAY_VECTORS_SETTINGS() {
  auto& v = Vector_Settings;
  const auto& r = Result_Set;
  if (v.Vector_Max_Intensity < 0.0f) {
    float largest = 0.0f;
    for (int i : {v.Vector_X_Component, v.Vector_Y_Component}) {
      if (i < 1 || i > r.Number_Of_Solutions || !r.Current_Max.ALLOCATED()) continue;
      largest = std::max({largest, std::fabs(r.Current_Min(i)), std::fabs(r.Current_Max(i))});
    }
    v.Vector_Max_Intensity = 1.4142135f * largest;
  }
  if (!(v.Vector_Min_Intensity < v.Vector_Max_Intensity)) v.Vector_Min_Intensity = v.Vector_Max_Intensity / 100.0f;
}
