// Exponent_Field: the "(Ew.dEe)" field of one single-precision value, fast enough for
// tables of millions of values; the same characters as the layout engine of
// text/Fortran_Format.h writes for that descriptor.
#pragma once

#include <cstdint>
#include <string>

struct Exponent_Field {
  int width = 15;     // w
  int digits = 5;     // d: digits after "0."
  int exponent = 2;   // e: exponent digits
};

// Appends x in the field (asterisks when it does not fit).
void APPEND_EXPONENT_FIELD(std::string& out, float x, const Exponent_Field& field);
// Appends the fields of values[0], values[step], ... values[(count - 1) * step].
void APPEND_EXPONENT_FIELDS(std::string& out, const float* values, std::int64_t count, std::int64_t step,
                            const Exponent_Field& field);
