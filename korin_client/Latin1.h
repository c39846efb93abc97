// Latin1.h - texts between the display's Latin-1 and the server's UTF-8, and the numbers the
// server writes as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// UTF-8 of a Latin-1 text, cut to at most `limit` bytes at a character boundary.
std::string LATIN1_TO_UTF8(std::string_view latin1, std::size_t limit);

// Latin-1 of a UTF-8 text for drawing: a character outside Latin-1 becomes "?"; a byte that
// starts no valid sequence is kept as it is (taken as Latin-1 already).
std::string UTF8_TO_LATIN1(std::string_view utf8);

// A decimal integer as C's "%d" reads it (blanks, sign, digits), held to 32 bits: nothing when
// no digit comes or the value does not fit.
std::optional<std::int32_t> READ_DECIMAL(std::string_view text);
