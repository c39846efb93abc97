// Information_Texts: see Information_Texts.h.
//
// Reads: Result_Set.Name_To_Be_Displayed.

#include "probes/Information_Texts.h"

#include <algorithm>

#include "records/Globals.h"
#include "text/Fortran_Format.h"

std::string FITTED(std::string_view text, std::size_t width) {
  std::string fitted(text.substr(0, std::min(width, text.size())));
  fitted.resize(width, ' ');
  return fitted;
}

std::size_t LONGEST_NAME(std::int32_t first, std::int32_t last) {
  std::size_t longest = 0;
  for (std::int32_t i = first; i <= last; ++i)
    longest = std::max(longest, WITHOUT_TRAILING_BLANKS(Result_Set.Name_To_Be_Displayed(i)).size());
  return longest;
}

std::string FREE_FORMAT_TEXT(float value) { return TRIMMED(FORMAT_LINE("(1P,G15.7)", {value})); }
