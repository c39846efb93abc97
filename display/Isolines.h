// Isolines: the isoline lists of the result files, their commands (codes 59 to 67) and the
// contour lines drawn over a picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Most automatic isolines one command adds to a file.
constexpr std::int32_t Max_Automatic_Isolines = 1000;

// The isoline commands in Command_Code (59 to 67); may leave Command_Code at 23.
void ISOLINES();
// Sorts the values of file k, largest first, and drops repeated values.
void REORDER_ISOLINES(std::int32_t k);
// Shrinks Isoline_values to the largest count of any file.
void DOWNSIZE_ISOLINE_VALUES();
// Asks for one finite value until one is typed.
float INPUT_ISOLINE_VALUE(std::string_view title);
// Selected_Isolines(1..m) from a pick list of the first m values of file k.
void SELECT_ISOLINE(std::int32_t k, std::int32_t m);

// A value in 13 characters with seven significant digits, as the lists show it.
std::string ISOLINE_VALUE_TEXT(float value);
// The label of a contour line: seven significant digits, trailing zeros dropped.
std::string ISOLINE_LABEL(float value);

// One drawing pass of the contour lines: colour index and line width in entry widths.
struct Isoline_Pass {
  std::int32_t colour;
  std::int32_t width;
};
// The passes for the pictures of file k, the first drawn first.
std::vector<Isoline_Pass> ISOLINE_PASSES(std::int32_t k);

// Contour lines of picture p (p < 0: the logarithmic picture of file -p) in the current panel.
void PLOT_ISOLINES(std::int32_t picture_index);
