// TRANSFER_FILE: converts one result or geometry file between formats and compressions,
// optionally rescaled against its geometry.
//
// Reads: the input file (through an uncompressed working copy, slot 1, when compressed),
// the geometry file of a rescaled result (through slot 0 when compressed).
// Writes: the output, as the working file of its replacement (File_Replacement: beside the
// output, links followed, permissions and owner kept), through an uncompressed working
// copy (slot 2) when it is to be compressed; console lines.
// Global records: Transfer_Options (FORM word; NX, NY, NZ through COPY_GEOF),
// Temporary_File_Names (read).
//
// The input is never moved or changed: an in-place conversion (input and output the same
// file, whatever the names look like) reads the input while the new file is written beside
// it, and the rename at the end replaces it in one step. A failure leaves the input as it
// was and no working file behind.

#include <cstring>  // std::strerror
#include <string>

#include "records/Console.h"
#include "result_files/Check_File.h"
#include "result_files/File_Replacement.h"
#include "result_files/Module_GZip.h"
#include "result_files/Working_File.h"
#include "transfer/Transfer_Channel.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

constexpr std::size_t Line_Length = 200;

void set_form(std::int32_t format) { Transfer_Options.FORM = format == Transfer_Ascii ? "FORMATTED" : "UNFORMATTED"; }

std::string cut(std::string line) {
  if (line.size() > Line_Length) line.resize(Line_Length);
  return line;
}

// Opens path for reading under the user's name; stops when it cannot.
void open_input(Transfer_Channel& channel, const std::string& path, const std::string& name) {
  if (!CHANNEL_OPEN_READ(channel, path, name, Transfer_Options.FORM == "FORMATTED"))
    UNABLE_TO_OPEN(name, std::strerror(channel.error));
}

}  // namespace

void TRANSFER_FILE(std::string_view input_name, std::string_view output_name, const Rescale_Ratio_Type& ratio,
                   std::string_view geometry_name) {
  const auto& options = Transfer_Options;
  const std::string input = NAME_WITHOUT_BLANKS(input_name);
  const std::string output = NAME_WITHOUT_BLANKS(output_name);
  const std::string geometry = NAME_WITHOUT_BLANKS(geometry_name);

  // 1-2. The files needed must be there.
  if (!FILE_EXISTS(input)) {
    if (!options.Whole_Set) REPORT_NOT_FOUND(input, true);
    return;
  }
  const bool rescaling = ratio.n != 1 || ratio.p != 1;
  const bool needs_geometry = rescaling && !options.Geometry_Input;
  if (needs_geometry && !FILE_EXISTS(geometry)) {
    if (!options.Whole_Set) REPORT_NOT_FOUND(geometry, true);
    return;
  }

  // 3-4. Report; both formats are checked before any file is touched.
  std::string words;
  if (options.Geometry_Input) words = "geoF file ";
  words += FORMAT_WORD(options.Input_Format);
  if (options.Input_Compressed) words += " compressed";
  if (needs_geometry) words += ", 'geoF': " + geometry;
  CONSOLE_EMPTY();
  CONSOLE_LINE(cut(" Input : " + input + " (" + words + ")"));
  if (FORMAT_WORD(options.Input_Format).empty()) TRANSFER_STOP({" Unrecognised input format!"});
  words = FORMAT_WORD(options.Output_Format);
  if (options.Output_Compressed) words += " compressed";
  CONSOLE_LINE(cut(" Output : " + output + " (" + words + ")"));
  if (FORMAT_WORD(options.Output_Format).empty()) TRANSFER_STOP({" Unrecognised output format!"});
  CONSOLE_EMPTY();

  // 5-7. The geometry of a rescaled result file: its counts only.
  set_form(options.Input_Format);
  if (needs_geometry) {
    Working_File copy;
    std::string path = geometry;
    if (options.Input_Compressed) {
      CREATE_WORKING_COPY(copy, 0);
      UNCOMPRESS_FILE(geometry, copy);
      path = copy.PATH();
    }
    Transfer_Channel channel;
    open_input(channel, path, geometry);
    COPY_GEOF(channel, nullptr, Rescale_Ratio_Type{}, true);
    if (!CHANNEL_CLOSE(channel)) {
      CONSOLE_EMPTY();
      CONSOLE_LINE(" Warning: unable to close input file!");
      CONSOLE_EMPTY();
    }
  }

  // 8. Input, through its uncompressed copy when compressed.
  Working_File input_copy;
  std::string read_path = input;
  if (options.Input_Compressed) {
    CREATE_WORKING_COPY(input_copy, 1);
    UNCOMPRESS_FILE(input, input_copy);
    read_path = input_copy.PATH();
  }
  Transfer_Channel in;
  open_input(in, read_path, input);

  // 9-10. Output: the working file that will replace it, or the uncompressed copy that is
  // compressed into that working file at the end.
  set_form(options.Output_Format);
  File_Replacement target;
  BEGIN_REPLACEMENT(target, output);
  Working_File uncompressed;
  if (options.Output_Compressed) CREATE_WORKING_COPY(uncompressed, 2);
  Transfer_Channel out;
  if (!CHANNEL_OPEN_WRITE(out, options.Output_Compressed ? uncompressed.PATH() : target.PATH(), output,
                          options.Output_Format == Transfer_Ascii))
    UNABLE_TO_OPEN(output, std::strerror(out.error));

  // 11. Copy.
  if (options.Geometry_Input) {
    COPY_GEOF(in, &out, ratio, false);
  } else {
    std::int32_t records = -1;
    COPY_RESULTS(in, options.Input_Format, &out, options.Output_Format, records, false, ratio);
    if (records == 0) TRANSFER_STOP({" Unable to read first output!", " (" + input + " holds no output)"});
  }

  // 12-13. Input done.
  if (!CHANNEL_CLOSE(in)) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(" Warning: unable to close input file!");
    CONSOLE_EMPTY();
  }

  // 14-15. The complete output takes its name in one step.
  if (!CHANNEL_CLOSE(out)) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(" Unable to close output file!");
    CONSOLE_LINE(" (" + output + ": " + std::strerror(out.error) + ")");
    CONSOLE_EMPTY();
    STOP_PROGRAM();
  }
  if (options.Output_Compressed) COMPRESS_FILE(uncompressed, target);
  COMMIT_REPLACEMENT(target);
}
