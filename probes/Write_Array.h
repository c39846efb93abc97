// Write_Array: a table of single-precision values as text, one "(E15.5E2)" field per value.
#pragma once

#include <cstdint>
#include <string>

// Writes the m x n array a (first index fastest, row y starting at a + (y - 1) * stride)
// to the file name: rows 1, 1 + k, 1 + 2k, ... up to n, each a line of the values in
// columns 1, 1 + k, ... up to m. k >= 1. False (reported) when the file cannot be written.
bool WRITE_ARRAY(const std::string& name, std::int32_t k, std::int32_t m, std::int32_t n, const float* a,
                 std::int64_t stride);
