// Remove_Output: the key command k, which removes the output shown from the result files.
#pragma once

#include <cstdint>
#include <string>

// For each result file in turn, after a yes to its question: removes the output shown from
// the file on disk and reads on at the output that took its place (the first output when it
// was the last). ASCII and other-byte-order results are refused with a message; a file's
// only output is never removed (the file is left as it was, with a message). Leaves Command_Code at 23 once the files were offered.
void CALL_KICK_OUT_OUTPUT();

// The removal for result file i, without the questions: the output shown leaves the file
// (and its compressed original), the file is opened again and read forward to the output
// that took its place. False, with a message and the file unchanged, when it is the file's
// only output. Needs the conversion's input format and temporary names set.
bool REMOVE_SHOWN_OUTPUT(std::int32_t i);

// A removal already made through another name of the same file: its working file and
// original (the files those names led to afterwards), and how many outputs followed.
struct Earlier_Removal {
  const std::string* working = nullptr;
  const std::string* original = nullptr;
  std::int32_t following = 0;
};

// As above, for the output the user confirmed at time `confirmed`: output k leaves the file
// only when it is still at that time (else a message, and the file stays as it is). Where a
// name leads to the file the earlier removal gave (the same name, a symbolic link), that
// step is not made again; a hard link, which the earlier rewriting parted from it, still
// holds the output and loses it as well.
bool REMOVE_SHOWN_OUTPUT(std::int32_t i, float confirmed, const Earlier_Removal& earlier);
