// COMPUTE_MATRIX_COMPOSITION: the matrix composition of a case from two of its
// concentration files: per output and cell, the total (100, or 1 for fractions) minus the
// sum of the two concentrations.
//
// Reads: the two result files side by side (through uncompressed working copies, slots 1 and
// 2, when compressed). Writes: the output in the inputs' format and compression, as the
// working file of its replacement (File_Replacement), through an uncompressed working copy
// (slot 3) when compressed; it takes the output's name once complete, so the output may
// name one of the inputs. Global records: Transfer_Options (FORM word),
// Transfer_Buffers (record buffers), Temporary_File_Names (read).

#include <cmath>    // std::fabs
#include <cstring>  // std::strerror
#include <new>
#include <string>
#include <vector>

#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "result_files/Check_File.h"
#include "result_files/File_Replacement.h"
#include "result_files/Module_GZip.h"
#include "result_files/Working_File.h"
#include "transfer/Transfer_Channel.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

// A message between single empty lines, then the stop.
[[noreturn]] void stop_with(const std::string& line) {
  CONSOLE_EMPTY();
  CONSOLE_LINE(line);
  CONSOLE_EMPTY();
  STOP_PROGRAM();
}

struct Matrix_Input {
  std::string name;
  Working_File copy;
  Transfer_Channel channel;
};

// Opens an input (its uncompressed copy when compressed) and reads its first cell count.
std::int32_t open_input(Matrix_Input& input, std::size_t slot) {
  const auto& options = Transfer_Options;
  if (!FILE_EXISTS(input.name)) stop_with(" File: " + input.name + " not found");
  std::string path = input.name;
  if (options.Input_Compressed) {
    CREATE_WORKING_COPY(input.copy, slot);
    UNCOMPRESS_FILE(input.name, input.copy);
    path = input.copy.PATH();
  }
  if (!CHANNEL_OPEN_READ(input.channel, path, input.name, options.Input_Format == Transfer_Ascii))
    stop_with(" Unable to open: " + input.name);
  Output_Head head;
  std::string detail;
  if (READ_OUTPUT_HEAD(input.channel, options.Input_Format, head, detail) != Read_Status::Ok)
    stop_with(" Unable to read domain size from: " + input.name);
  if (!CHANNEL_SEEK(input.channel, 0)) stop_with(" Unable to 'rewind'!");
  return head.count;
}

// Reads the next whole record of an input into the record buffers; false at its clean end.
bool read_record(Matrix_Input& input, std::int32_t cells, Output_Head& head) {
  const std::int32_t format = Transfer_Options.Input_Format;
  std::string detail;
  Read_Status status = READ_OUTPUT_HEAD(input.channel, format, head, detail);
  if (status == Read_Status::End) return false;
  if (status == Read_Status::Ok && head.count != cells) {
    status = Read_Status::Bad;
    detail = "cell count " + std::to_string(head.count) + " differs from the first output's " + std::to_string(cells);
  }
  if (status == Read_Status::Ok) status = READ_OUTPUT_VALUES(input.channel, format, head, detail);
  if (status != Read_Status::Ok) TRANSFER_READ_FAILURE(input.channel, status, detail);
  ++input.channel.records_read;
  return true;
}

template <typename T>
void allocate_output(std::vector<T>& array, std::int32_t cells, const char* label) {
  int status = 0;
  try {
    array.assign(static_cast<std::size_t>(cells), T(0));
  } catch (const std::bad_alloc&) {
    status = 1;
  }
  CHECK_ALLOCATION_ERROR(label, status);
  CHECK_ALLOCATION_SIZE(label, static_cast<std::int64_t>(array.size()), cells);
}

std::string cut(std::string line) {
  if (line.size() > 200) line.resize(200);
  return line;
}

}  // namespace

void COMPUTE_MATRIX_COMPOSITION(const std::array<std::string, 2>& inputs, const std::string& output_given) {
  const auto& options = Transfer_Options;
  const std::int32_t format = options.Input_Format;
  const bool dual = format == Transfer_Binary_Double;

  // 1. Announce.
  std::string line = " 'Calculate matrix composition'";
  if (options.Fraction) line += ", fraction!";
  SMART_CONCATENATION(line, "(");
  if (FORMAT_WORD(format).empty()) TRANSFER_STOP({" Unrecognised input format!"});
  SMART_CONCATENATION(line, FORMAT_WORD(format));
  if (options.Input_Compressed) SMART_CONCATENATION(line, "compressed");
  line += ")";
  Matrix_Input first, second;
  first.name = NAME_WITHOUT_BLANKS(inputs[0]);
  second.name = NAME_WITHOUT_BLANKS(inputs[1]);
  const std::string output = NAME_WITHOUT_BLANKS(output_given);
  CONSOLE_EMPTY();
  CONSOLE_LINE(cut(line));
  CONSOLE_LINE(cut("  Input file: " + first.name));
  CONSOLE_LINE(cut("  Input file: " + second.name));
  CONSOLE_LINE(cut("  Output file: " + output));
  CONSOLE_EMPTY();

  // 2-4. Both inputs open with the same cell count; the arrays.
  Transfer_Options.FORM = format == Transfer_Ascii ? "FORMATTED" : "UNFORMATTED";
  const float total = options.Fraction ? 1.0f : 100.0f;
  const std::int32_t cells = open_input(first, 1);
  if (open_input(second, 2) != cells) stop_with(" Incompatible domain size");
  ENSURE_RECORD_BUFFERS(cells, true, true);
  std::vector<float> output_single;
  std::vector<double> output_double;
  allocate_output(output_single, cells, "Output_Single");
  allocate_output(output_double, cells, "Output_Double");

  // 5. The output, as the working file of its replacement (through a copy to compress).
  File_Replacement target;
  BEGIN_REPLACEMENT(target, output);
  Working_File uncompressed;
  if (options.Input_Compressed) CREATE_WORKING_COPY(uncompressed, 3);
  Transfer_Channel out;
  if (!CHANNEL_OPEN_WRITE(out, options.Input_Compressed ? uncompressed.PATH() : target.PATH(), output,
                          format == Transfer_Ascii))
    UNABLE_TO_OPEN(output, std::strerror(out.error));

  // 6. One record per round while both inputs deliver one at compatible times.
  auto& buffers = Transfer_Buffers;
  const std::size_t n = static_cast<std::size_t>(cells);
  bool times_differ = false;
  for (;;) {
    Output_Head head;
    if (!read_record(first, cells, head)) break;
    const float t0_single = head.time_single;
    const double t0_double = head.time_double;
    if (dual)
      for (std::size_t i = 0; i < n; ++i) output_double[i] = buffers.Buffer_Array_Double[i];
    else
      for (std::size_t i = 0; i < n; ++i) output_single[i] = buffers.Buffer_Array_Single[i];
    if (!read_record(second, cells, head)) break;
    constexpr float Tolerance = 1e-12f;
    if (dual) {
      const double t = head.time_double;
      times_differ = t0_double > Tolerance && std::fabs(t0_double - t) / t0_double > Tolerance;
    } else {
      const float t = head.time_single;
      times_differ = t0_single > Tolerance && std::fabs(t0_single - t) / t0_single > Tolerance;
    }
    if (times_differ) break;
    if (dual) {
      double* values = buffers.Buffer_Array_Double.data();
      for (std::size_t i = 0; i < n; ++i) values[i] = static_cast<double>(total) - (output_double[i] + values[i]);
    } else {
      float* values = buffers.Buffer_Array_Single.data();
      for (std::size_t i = 0; i < n; ++i) {
        const float sum = output_single[i] + values[i];
        values[i] = total - sum;
      }
    }
    WRITE_OUTPUT_RECORD(out, format, head, cells);
  }

  // 7. The output takes its name; the working copies go with their guards.
  CHANNEL_CLOSE(first.channel);
  CHANNEL_CLOSE(second.channel);
  if (!CHANNEL_CLOSE(out))
    TRANSFER_STOP({" Unable to close output file!", " (" + output + ": " + std::strerror(out.error) + ")"});
  if (options.Input_Compressed) COMPRESS_FILE(uncompressed, target);
  COMMIT_REPLACEMENT(target);
  // The outputs before the first mismatch are kept; the run still counts as failed.
  if (times_differ) stop_with(" Incompatible output times");
}
