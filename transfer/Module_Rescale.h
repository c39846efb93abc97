// Module_Rescale: changes the resolution of a result field by a ratio n/p (split every
// cell into n sub-cells per scaled direction, merge every p into one by their mean).
// A direction of exactly one cell is flat and never scaled.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "records/Globals.h"

using Cell_Counts = std::array<std::int32_t, 3>;

// Brings the ratio to lowest terms (absolute values; common primes up to 97 divided out).
void REDUCE_SCALE_RATIO(Rescale_Ratio_Type& ratio);

// Number of cells after rescaling: product of n * count / p per scaled direction (1 for flat).
std::int32_t RESCALED_ZELTRA_CELLS(const Cell_Counts& counts, const Rescale_Ratio_Type& ratio);

// New counts and spacing (p * spacing / n, rounded once to single precision).
void RESCALE_ZELTRA_GEOMETRY(float& spacing, const Cell_Counts& counts, Cell_Counts& new_counts,
                             const Rescale_Ratio_Type& ratio);

// Rescales the field in place (old values from its start, new values written over them).
// status: 1 ratio 1/1, 0 done, -1 bad ratio, -2 no work array, -3 field too small for the
// new cells, -4 releasing the work array failed. new_cells is -666 unless 0 or 1.
void RESCALE_ZELTRA_DATA(std::int32_t& status, std::span<float> field, const Cell_Counts& counts,
                         const Rescale_Ratio_Type& ratio, std::int32_t& new_cells);

// Why the ratio cannot be applied to a field of these counts ("" when it can): a term below
// 1, no whole block along a scaled direction, or counts beyond 32 bits.
std::string RESCALE_PROBLEM(const Cell_Counts& counts, const Rescale_Ratio_Type& ratio);
