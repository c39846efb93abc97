// Information_Texts: the text pieces the information commands share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/Blanks.h"

// The text blank-padded or cut to width characters.
std::string FITTED(std::string_view text, std::size_t width);
// The longest name of results first to last, trailing blanks removed.
std::size_t LONGEST_NAME(std::int32_t first, std::int32_t last);
// A real as free-format text, blanks removed.
std::string FREE_FORMAT_TEXT(float value);
