// Allocation_Checks: the messages of failed allocations and releases, and the stop.
//
// Writes:  the console (the message); stops the program (STOP_PROGRAM) on a failed check.

#include "records/Allocation_Checks.h"

#include <string>

#include "records/Console.h"
#include "text/Blanks.h"

namespace {

[[noreturn]] void stop_with(std::string_view words, std::string_view array_name) {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(std::string(words) + std::string(WITHOUT_TRAILING_BLANKS(array_name)) + " !");
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

}  // namespace

void CHECK_ALLOCATION_ERROR(std::string_view array_name, std::int32_t allocation_status) {
  if (allocation_status > 0) stop_with("Unable to allocate ", array_name);
}

void CHECK_ALLOCATION_SIZE(std::string_view array_name, std::int64_t allocated_size,
                           std::int64_t requested_size) {
  if (allocated_size != requested_size) stop_with("Unable to allocate ", array_name);
}

void CHECK_DEALLOCATION(std::string_view array_name, std::int32_t allocation_status) {
  if (allocation_status > 0) stop_with("Unable to deallocate ", array_name);
}
