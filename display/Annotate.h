// Annotate: the texts around one panel's image.
#pragma once

#include <cstdint>
#include <string>

// The time text of result k: its time in seconds as 1PG15.7 (1PG11.5 with the temperature
// on: small and large times in exponent form with one digit before the point),
// trailing blanks dropped, " s", and with the temperature on its temperature from the
// time-temperature table: "   12.50000 s", " 12.500 s (1000.00 K)". May switch the
// temperature display off with a warning.
std::string TIME_TEXT(std::int32_t k);

// Writes the quantity, time (and temperature), grid size, cut and labels around the viewport
// of the panel showing result i (0: the combined picture of the difference or RGB triangle).
void ANNOTATE(std::int32_t i);

// Inches the texts of ANNOTATE reach above the top edge of the image (orientation 2) at the
// character height in force: the labels of a single panel reach farthest.
float ANNOTATION_ROOM_ABOVE();
