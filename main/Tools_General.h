// Tools_General: the general tools of the display program that other subsystems call:
// the allocation checks, the (re)allocation of the display arrays, the time-step selection,
// the logical toggles and the image driver.
#pragma once

#include <algorithm>
#include <cstdint>
#include <new>        // std::bad_alloc
#include <stdexcept>  // std::length_error
#include <string_view>
#include <vector>

#include "records/Bounded_Array.h"

// Status check right after an allocation: a status above 0 prints "Unable to allocate "
// + name + " !" set off by two empty lines and stops the program.
void CHECK_ALLOCATION_ERROR(std::string_view array_name, std::int32_t allocation_status);

// Size check right after an allocation: sizes that differ give the same message and stop.
void CHECK_ALLOCATION_SIZE(std::string_view array_name, std::int64_t allocated_size,
                           std::int64_t requested_size);

// Runs allocation (growing a standard container) under the checks: memory the system will
// not give stops with "Unable to allocate " + name + " !".
template <typename Allocation>
void CHECKED_ALLOCATION(std::string_view array_name, Allocation&& allocation) {
  std::int32_t status = 0;
  try {
    allocation();
  } catch (const std::bad_alloc&) {
    status = 1;
  } catch (const std::length_error&) {
    status = 2;
  }
  CHECK_ALLOCATION_ERROR(array_name, status);
}

// Sizes array to count elements (new ones set to value) under the checks; a count beyond
// the memory the bounded arrays leave is refused before anything is allocated.
template <typename T>
void CHECKED_RESIZE(std::string_view array_name, std::vector<T>& array, std::int64_t count, const T& value = T{}) {
  const std::uint64_t memory = PHYSICAL_MEMORY_BYTES();
  const std::uint64_t left = memory - std::min(memory, Bounded_Bytes_Held.load());
  if (count < 0 || static_cast<std::uint64_t>(count) > left / sizeof(T)) CHECK_ALLOCATION_ERROR(array_name, 2);
  CHECKED_ALLOCATION(array_name, [&] { array.resize(static_cast<std::size_t>(count), value); });
  CHECK_ALLOCATION_SIZE(array_name, static_cast<std::int64_t>(array.size()), count);
}

// Status check right after a release: above 0 prints "Unable to deallocate " + name + " !".
void CHECK_DEALLOCATION(std::string_view array_name, std::int32_t allocation_status);

// Derives the cut-plane and displayed sizes from the geometry, cut, sub-sampling and
// symmetry, widens a one-cell field, resets the zoom windows and (re)allocates
// Buffer_Array_Cut and Array_to_be_displayed, both zeroed.
void ALLOCATE_ARRAYS();

// The symmetry commands in Command_Code (41 to 45): changes Symmetry_Mode or Symmetry_Type,
// reports it, rebuilds the arrays when the size changes, has the current outputs processed
// again and leaves Command_Code at 23.
void TOGGLE_SYMMETRY();

#include <optional>
#include <vector>

// Shows the outputs of result file solution with their times (gathered from the file
// when output_times is absent, leaving it on its current output) and returns one flag
// per listed output: picked in the pop-up "Select outputs", or printed only (list_only).
std::vector<bool> SELECT_TIME_STEP(std::int32_t number_of_outputs,
                                   const std::optional<std::vector<float>>& output_times = std::nullopt,
                                   std::int32_t solution = 1, bool single_choice = false,
                                   bool list_only = false);

// Turns Flag over and reports its new state: an empty line, one blank and On_Text or
// Off_Text (trailing blanks dropped), an empty line.
void TOGGLE_BOOLEAN(bool& Flag, std::string_view On_Text, std::string_view Off_Text);

// The image-driver commands o+t, o+o (report only), o+g (GIF) and o+p (PostScript), by
// Command_Code; every code reports " Image_Driver: " and the driver's name.
void CHANGE_IMAGE_DRIVER();
