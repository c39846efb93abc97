// DELETE_FILE: deletes a file if it exists.
#pragma once

#include <string_view>

// Deletes the file (trailing blanks of the name ignored). Returns true when the file existed
// and is gone afterwards; false when it did not exist (nothing printed, whatever report says)
// or could not be deleted. With report: " File: <name> deleted", or a message and a stop
// when the file is still there.
bool DELETE_FILE(std::string_view name, bool report);
