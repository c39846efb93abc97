// Texts held blank-padded in fixed-length fields (names, labels, formatted numbers).
#pragma once

#include <string>
#include <string_view>

// The text up to its last non-blank character.
std::string WITHOUT_TRAILING_BLANKS(std::string_view text);
// The text without blanks at either end.
std::string TRIMMED(std::string_view text);
