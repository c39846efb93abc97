// Display_Version: the display program's version, as its texts show it.
#pragma once

#include <string_view>

inline constexpr std::string_view Display_Version = "6.1";
