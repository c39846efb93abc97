// Display_Arrays: the arrays an output is read into, sized for the cut and the symmetry.
//
// Reads:   Result_Geometry (AnzX, AnzY, AnzZ), Result_Set.Number_Of_Solutions,
//          Display_Field (Cut_Direction, Skip_Factor, Symmetry_Mode, Enhanced_1D),
//          Display_Settings.Processed_Display_Modes.
// Writes:  Display_Field (cut and display sizes, One_D_Display, zoom windows, the two
//          arrays), Display_Settings (Annotation_Orientation, Flip_Length_Scale).
// Stops the program (STOP_PROGRAM) when the arrays cannot be had.

#include "result_files/Display_Arrays.h"

#include <algorithm>  // std::min, std::max
#include <cmath>      // std::floor
#include <cstdint>

#include "records/Allocation_Checks.h"
#include "records/Globals.h"

namespace {

// Nearest whole number of a / b, halves away from zero (a >= 0, b >= 1).
std::int64_t anint_ratio(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(std::floor(static_cast<double>(a) / static_cast<double>(b) + 0.5));
}

}  // namespace

void ALLOCATE_ARRAYS() {
  auto& field = Display_Field;
  const auto& geometry = Result_Geometry;
  const auto& modes = Display_Settings.Processed_Display_Modes;

  switch (field.Cut_Direction) {
    case 1: field.Cut_Size_X = geometry.AnzX; field.Cut_Size_Y = geometry.AnzY; break;
    case 2: field.Cut_Size_X = geometry.AnzX; field.Cut_Size_Y = geometry.AnzZ; break;
    case 3: field.Cut_Size_X = geometry.AnzY; field.Cut_Size_Y = geometry.AnzZ; break;
    default: break;  // sizes computed before stay in force
  }

  // Sizes in 64 bits: a display size beyond 32 bits is refused as an allocation failure.
  const std::int64_t skip = field.Skip_Factor >= 1 ? field.Skip_Factor : 1;
  const std::int64_t a = anint_ratio(field.Cut_Size_X, skip);
  const std::int64_t b = anint_ratio(field.Cut_Size_Y, skip);
  std::int64_t nx = field.Display_Size_X, ny = field.Display_Size_Y;
  switch (field.Symmetry_Mode) {
    case 1: nx = a; ny = b; break;
    case 2: nx = 2 * a; ny = 2 * b; break;
    case 3: nx = 3 * a; ny = b; break;
    case 4: nx = 3 * a; ny = 3 * b; break;
    default: break;
  }

  field.One_D_Display = false;
  if (std::min(nx, ny) == 1) {
    field.One_D_Display = true;
    if (nx == 1) {
      const std::int64_t k = std::max<std::int64_t>(ny / 25, 5);
      Display_Settings.Annotation_Orientation = 1;
      Display_Settings.Flip_Length_Scale = true;
      nx = field.Enhanced_1D ? 2 * k : k;
    } else {
      const std::int64_t k = std::max<std::int64_t>(nx / 25, 5);
      Display_Settings.Annotation_Orientation = 2;
      ny = field.Enhanced_1D ? 2 * k : k;
    }
  }
  if (nx > INT32_MAX || ny > INT32_MAX) CHECK_ALLOCATION_ERROR("Array_to_be_displayed", 2);
  field.Display_Size_X = static_cast<std::int32_t>(nx);
  field.Display_Size_Y = static_cast<std::int32_t>(ny);

  field.Zoom_X_From = 1;
  field.Zoom_X_To = field.Display_Size_X;
  field.Zoom_Y_From = 1;
  field.Zoom_Y_To = field.Display_Size_Y;
  field.Previous_Zoom_X_From = field.Zoom_X_From;
  field.Previous_Zoom_X_To = field.Zoom_X_To;
  field.Previous_Zoom_Y_From = field.Zoom_Y_From;
  field.Previous_Zoom_Y_To = field.Zoom_Y_To;

  if (field.Buffer_Array_Cut.ALLOCATED())
    CHECK_DEALLOCATION("Buffer_Array_Cut", field.Buffer_Array_Cut.RELEASE());
  if (field.Array_to_be_displayed.ALLOCATED())
    CHECK_DEALLOCATION("Array_to_be_displayed", field.Array_to_be_displayed.RELEASE());

  const std::int32_t n = Result_Set.Number_Of_Solutions;
  std::int32_t first = 1;
  if (modes.RGB_Triangle) first = 0;
  else if (modes.Miller_Indices) first = -n;
  else if (modes.Difference_Display) first = 0;
  else if (modes.Logarithmic_Display || modes.Absolute_Values) first = -n;

  int status = field.Buffer_Array_Cut.ALLOCATE({Bounds{1, field.Cut_Size_X}, Bounds{1, field.Cut_Size_Y}});
  CHECK_ALLOCATION_ERROR("Buffer_Array_Cut", status);
  CHECK_ALLOCATION_SIZE("Buffer_Array_Cut", field.Buffer_Array_Cut.SIZE(),
                        std::int64_t{field.Cut_Size_X} * field.Cut_Size_Y);

  status = field.Array_to_be_displayed.ALLOCATE(
      {Bounds{first, n}, Bounds{1, field.Display_Size_X}, Bounds{1, field.Display_Size_Y}}, {1, 2, 0});
  CHECK_ALLOCATION_ERROR("Array_to_be_displayed", status);
  CHECK_ALLOCATION_SIZE("Array_to_be_displayed", field.Array_to_be_displayed.SIZE(),
                        (std::int64_t{n} - first + 1) * field.Display_Size_X * field.Display_Size_Y);
  // Both arrays come zeroed from the allocation.
}
