// CHECK_FILE: finds a free file name by filling a marker with a counter.
//
// Reads: the existence of candidate names. Writes: console warnings only.
// Global records: none.
//
// The search is a test, not a reservation; the display program is the only writer it
// expects. A name that exists is never handed out: when even the underscore marker is
// taken the program stops instead of overwriting a file.

#include "result_files/Check_File.h"

#include <sys/stat.h>  // lstat

#include <unistd.h>    // getpid

#include <climits>     // NAME_MAX
#include <cstdint>
#include <cstdio>      // std::snprintf
#include <cstring>     // std::strlen

#include "records/Console.h"
#include "text/Blanks.h"

namespace {

// Longest marker: 10^9 - 1 numbers still fit a 32-bit counter.
constexpr int Max_Marker_Length = 9;

std::string candidate(const std::string& stem, const std::string& marker, std::string_view extension) {
  std::string name = stem;
  name += '_';
  name += marker;
  name += '.';
  name += extension;
  return name;
}

// k written with exactly b digits, zero-padded on the left.
std::string numbered_marker(std::int64_t k, int b) {
  std::string m(static_cast<std::size_t>(b), '0');
  for (int i = b - 1; i >= 0; --i, k /= 10) m[static_cast<std::size_t>(i)] = static_cast<char>('0' + k % 10);
  return m;
}

// c in base 26 with b digits, digit d written as the letter 'Z' - d (0 gives ZZ...).
std::string lettered_marker(std::int64_t c, int b) {
  std::string m(static_cast<std::size_t>(b), 'Z');
  for (int i = b - 1; i >= 0; --i, c /= 26) m[static_cast<std::size_t>(i)] = static_cast<char>('Z' - c % 26);
  return m;
}

std::int64_t power(std::int64_t base, int exponent) {
  std::int64_t p = 1;
  for (int i = 0; i < exponent; ++i) p *= base;
  return p;
}

void marker_error(const char* why) {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(" Error in routine 'Check_File'!");
  CONSOLE_LINE(why);
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

}  // namespace

std::string NAME_WITHOUT_BLANKS(std::string_view name) { return WITHOUT_TRAILING_BLANKS(name); }

std::string WORKING_FILE_NAME(std::string_view target, int attempt) {
  char suffix[48];
  if (attempt == 0)
    std::snprintf(suffix, sizeof suffix, "_%13.13d_tmp", static_cast<int>(::getpid()));
  else
    std::snprintf(suffix, sizeof suffix, "_%13.13d_%d_tmp", static_cast<int>(::getpid()), attempt);
  const std::size_t slash = target.rfind('/');
  const std::size_t base = slash == std::string_view::npos ? 0 : slash + 1;
  std::string_view stem = target.substr(base);
  // The folder's limit on one name holds for the working name as well.
  const std::size_t room = NAME_MAX - std::strlen(suffix);
  if (stem.size() > room) stem = stem.substr(0, room);
  return std::string(target.substr(0, base)) + std::string(stem) + suffix;
}

bool FILE_EXISTS(std::string_view name) {
  struct stat st;
  return ::lstat(std::string(name).c_str(), &st) == 0;
}

std::string CHECK_FILE(std::string_view name, int marker_length, std::string_view extension) {
  const int b = marker_length;
  if (b < 1) marker_error(" ('marker' too short)");
  if (b > Max_Marker_Length) marker_error(" ('marker' too long)");
  const std::string stem = NAME_WITHOUT_BLANKS(name);

  for (std::int64_t k = 1, end = power(10, b); k < end; ++k) {
    std::string m = numbered_marker(k, b);
    if (!FILE_EXISTS(candidate(stem, m, extension))) return m;
  }
  const std::string lettered_pattern = candidate(stem, std::string(static_cast<std::size_t>(b), 'n'), extension);
  CONSOLE_EMPTY(2);
  CONSOLE_LINE("  Warning!: unable to find a 'free' file named:");
  CONSOLE_LINE("  " + lettered_pattern);
  CONSOLE_EMPTY(2);

  for (std::int64_t c = 0, end = power(26, b); c < end; ++c) {
    std::string m = lettered_marker(c, b);
    if (!FILE_EXISTS(candidate(stem, m, extension))) return m;
  }
  const std::string underscores(static_cast<std::size_t>(b), '_');
  const std::string last_resort = candidate(stem, underscores, extension);
  CONSOLE_EMPTY(2);
  CONSOLE_LINE("  Warning!: unable to find a 'free' file named:");
  CONSOLE_LINE("  " + candidate(stem, std::string(static_cast<std::size_t>(b), 'Z'), extension));
  if (FILE_EXISTS(last_resort)) {
    // Reusing it would overwrite a file that is not ours.
    CONSOLE_LINE("  Not reverting to (it exists as well):");
    CONSOLE_LINE("     " + last_resort);
    CONSOLE_EMPTY(2);
    STOP_PROGRAM();
  }
  CONSOLE_LINE("  Reverting to:");
  CONSOLE_LINE("     " + last_resort);
  CONSOLE_EMPTY(2);
  return underscores;
}
