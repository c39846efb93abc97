// Free file names: name + "_" + marker + "." + extension with the first free marker.
#pragma once

#include <string>
#include <string_view>

// Returns the name without its trailing blanks.
std::string NAME_WITHOUT_BLANKS(std::string_view name);

// True when something of that name is present (a dangling link counts: the name is taken).
bool FILE_EXISTS(std::string_view name);

// Name of a working file beside target (before it takes target's name in one rename):
// target + "_" + the process id as 13 digits + "_tmp", with "_" + attempt before "_tmp" for
// attempts after the first. target's last part is cut so that the name stays within the
// system's limit on one name (NAME_MAX).
std::string WORKING_FILE_NAME(std::string_view target, int attempt = 0);

// Returns the first marker of marker_length characters (01..99, then ZZ..AA, for length 2)
// for which name (trailing blanks ignored) + "_" + marker + "." + extension names no
// existing file. Stops the program when the length is below 1 or above 9, or when not even
// the last resort (a marker of underscores) is free.
std::string CHECK_FILE(std::string_view name, int marker_length, std::string_view extension);
