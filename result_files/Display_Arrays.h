// Display_Arrays: the sizes and (re)allocation of the arrays an output is read into.
#pragma once

// Derives the cut-plane and displayed sizes from the geometry, cut, sub-sampling and
// symmetry, widens a one-cell field, resets the zoom windows and (re)allocates
// Buffer_Array_Cut and Array_to_be_displayed, both zeroed.
void ALLOCATE_ARRAYS();
