// Transfer_ZELTRA: the conversion mode (-t) of the display program. The routines work on
// the conversion records of records/Globals.h ("Conversion mode").
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "records/Globals.h"

class File_Replacement;
class Working_File;
struct Transfer_Channel;

// Runs the whole conversion mode for the command words (the trigger word among them).
void TRANSFER_ZELTRA(const std::vector<std::string>& words);

// The first run of decimal digits in text as a 32-bit integer (signs are not read); stops
// with "Unable to interpret input <text>" when there is none or it does not fit.
std::int32_t READ_NUMBER(std::string_view text);

// Appends addition to text: directly after a final "(", else after one blank; the result
// is cut to field_length characters. An empty text becomes " " + addition.
void SMART_CONCATENATION(std::string& text, std::string_view addition, std::size_t field_length = 200);

// Fills Temporary_File_Names (slots 0..3) from Temporary_Directory with free names.
void SET_TEMPORARY_FILE_NAMES();

// Copies (or, with skip_only, reads and discards) output records from in to out, converting
// between the Transfer_Format layouts and rescaling by ratio. record_count: in, one more than
// the most records to handle (negative: to the end); out, the records read whole. A record
// cut short, unreadable or inconsistent with the first one, and a failed write, stop the
// program with a message naming the file and the output.
void COPY_RESULTS(Transfer_Channel& in, std::int32_t format_in, Transfer_Channel* out, std::int32_t format_out,
                  std::int32_t& record_count, bool skip_only, const Rescale_Ratio_Type& ratio);

// Copies the geometry record from in to out (out unused when read_only), converting the
// format and rescaling by ratio; publishes the input's counts in Transfer_Options.
void COPY_GEOF(Transfer_Channel& in, Transfer_Channel* out, const Rescale_Ratio_Type& ratio, bool read_only);

// Converts one result or geometry file; the output replaces its name only when complete.
void TRANSFER_FILE(std::string_view input, std::string_view output, const Rescale_Ratio_Type& ratio,
                   std::string_view geometry);

// Lists the output times of a result file on standard output ("%15.6e" lines).
void LIST_OUTPUT_TIMES(std::string_view name);

// Whole-set mode (-w, -r): every file of the set named by Transfer_Files.Working_Input.
void TRANSFER_WHOLE_SET();

// Fills Extensions with the 1029 known extensions, "geoF" last.
void BUILD_EXTENSIONS();

// Appends one output number to Results_To_Kick_Out.
void EXTRA_RESULT_TO_KICK_OUT(std::int32_t number);

// Removes output k from the named result file (k comes back as the number of outputs that
// followed it); with report, the " Result  : " line first.
void KICK_OUT_OUTPUT(std::string_view name, std::int32_t& k, bool report);

// Removes every output listed in Results_To_Kick_Out from the named result file.
void SEQUENTIAL_KICK_OUT(std::string_view name);

// Matrix composition of two concentration files into the output file.
void COMPUTE_MATRIX_COMPOSITION(const std::array<std::string, 2>& inputs, const std::string& output);

// --- shared by the conversion routines ---------------------------------------------------

// Fatal message of the conversion: two empty lines, the lines, two empty lines, stop.
[[noreturn]] void TRANSFER_STOP(std::initializer_list<std::string> lines);

// " File: <name> not found" (framed by single empty lines when asked); the run will end
// with exit code 1.
void REPORT_NOT_FOUND(const std::string& name, bool framed);

// Word of a Transfer_Format code: "binary", "ASCII", "double precision" ("" for others).
std::string FORMAT_WORD(std::int32_t format);

// Creates the working file of temporary slot 0..3 (Temporary_File_Names; unnamed where the
// file system allows); stops naming the slot's folder and the reason when it cannot.
void CREATE_WORKING_COPY(Working_File& copy, std::size_t slot);

// " Unable to open: <name>" and " (<reason>)" between single empty lines, then the stop.
[[noreturn]] void UNABLE_TO_OPEN(const std::string& name, const std::string& reason);

// Prepares the replacement of the user's file name (File_Replacement::BEGIN); stops with
// UNABLE_TO_OPEN when it is refused.
void BEGIN_REPLACEMENT(File_Replacement& target, const std::string& name);

// Puts the complete new file in place; stops with " Unable to write to file: <name>" and
// the reason when it cannot (the old file is then unchanged).
void COMMIT_REPLACEMENT(File_Replacement& target);
