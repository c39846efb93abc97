// Kick_Out_Output: the conversion's temporary file names, and the removal of outputs from
// result files.
//
// Reads: the existence of candidate names. Writes: nothing yet.
// Global records: Temporary_File_Names (from Temporary_Directory).

#include <string>

#include "main/Console.h"
#include "result_files/Check_File.h"
#include "transfer/Transfer_ZELTRA.h"

void SET_TEMPORARY_FILE_NAMES() {
  const std::string folder = NAME_WITHOUT_BLANKS(Temporary_Directory);
  for (std::size_t slot = 0; slot < Temporary_File_Names.size(); ++slot) {
    const std::string stem = folder + "Transfer_ZELTRA_0" + std::to_string(slot);
    Temporary_File_Names[slot] = stem + "_" + CHECK_FILE(stem, 3, "tmp") + ".tmp";
  }
}

namespace {
[[noreturn]] void not_built(const char* mode) {
  TRANSFER_STOP({std::string(" The ") + mode + " is not available in this version."});
}
}  // namespace

void KICK_OUT_OUTPUT(std::string_view, std::int32_t&, bool) { not_built("removal of an output (-k)"); }
void SEQUENTIAL_KICK_OUT(std::string_view) { not_built("removal of outputs (-l)"); }
void TRANSFER_WHOLE_SET() { not_built("whole-set mode (-w, -r)"); }
void COMPUTE_MATRIX_COMPOSITION(const std::array<std::string, 2>&, const std::string&) {
  not_built("matrix composition (-m)");
}
