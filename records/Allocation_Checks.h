// Allocation_Checks: the checks after every allocation and release of the display program's
// arrays; a failed one prints its message and stops the program.
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
