// MOVE_FILE: renames a file, replacing a file of the new name.
#pragma once

#include <string_view>

// Renames from to to (trailing blanks of both ignored) in one step. Returns false without a
// message when no file named from exists; otherwise true exactly when the renaming
// succeeded. With report: " File: <from> renamed to <to>", or a message and a stop when
// the renaming failed.
bool MOVE_FILE(std::string_view from, std::string_view to, bool report);
