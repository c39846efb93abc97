// LIST_OUTPUT_TIMES: lists the time of every output of a result file on standard output.
//
// Reads: the result file (through an uncompressed copy in slot 1 when compressed).
// Writes: one "%15.6e" line per output on standard output; the header and messages on the
// console. Global records: Transfer_Options (FORM word), Temporary_File_Names (read).
//
// The list ends quietly at the first output it cannot read, at a negative time or at a
// changed cell count: a file still being written ends that way.

#include <cstdio>   // std::fflush
#include <cstring>  // std::memcpy
#include <string>
#include <vector>

#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "records/Read_Input_F.h"
#include "result_files/Check_File.h"
#include "result_files/Module_GZip.h"
#include "result_files/Working_File.h"
#include "transfer/Transfer_Channel.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

struct Listed_Input {
  Transfer_Channel channel;
  Working_File copy;  // the uncompressed copy, deleted after the close
  std::string name;
};

// CTN_CLOSE_INPUT: closes the input; the uncompressed copy is deleted.
void close_input(Listed_Input& input) {
  const bool closed = CHANNEL_CLOSE(input.channel);
  if (!input.copy.PATH().empty()) {
    if (!closed) TRANSFER_STOP({" Unable to close temporary file"});
    return;  // the guard deletes the copy
  }
  if (!closed) TRANSFER_STOP({" Unable to close: " + input.name});
}

// Reads the time and cell count of the next output and passes over its values (ASCII:
// reads them into buffer). False when no whole output could be read.
bool read_output(Transfer_Channel& in, std::int32_t format, float& time, std::int32_t& count,
                 std::vector<float>* buffer) {
  if (format == Transfer_Ascii) {
    in.reader->BEGIN_STATEMENT();
    if (in.reader->READ_REAL(time) != Free_Form_Status::Ok) return false;
    if (in.reader->READ_INTEGER(count) != Free_Form_Status::Ok) return false;
    if (!buffer) return true;
    if (count != static_cast<std::int32_t>(buffer->size())) return true;  // the caller stops here
    for (float& v : *buffer)
      if (in.reader->READ_REAL(v) != Free_Form_Status::Ok) return false;
    return true;
  }
  std::uint32_t length = 0;
  if (READ_RECORD_LENGTH(in, length) != Read_Status::Ok) return false;
  const bool dual = format == Transfer_Binary_Double;
  const std::uint32_t head_size = dual ? 12 : 8;
  if (length < head_size) return false;
  char head[12];
  if (READ_RECORD_BYTES(in, std::span<char>(head, static_cast<std::size_t>(head_size))) != Read_Status::Ok)
    return false;
  if (dual) {
    double t;
    std::memcpy(&t, head, 8);
    time = static_cast<float>(t);
    std::memcpy(&count, head + 8, 4);
  } else {
    std::memcpy(&time, head, 4);
    std::memcpy(&count, head + 4, 4);
  }
  // A length that does not fit the count is another layout: a wrong input-format flag.
  if (count < 0 || PAYLOAD_LENGTH(format, count) != std::int64_t{length}) return false;
  return SKIP_RECORD_BYTES(in, static_cast<std::uint64_t>(length - head_size) + 4) == Read_Status::Ok;
}

}  // namespace

void LIST_OUTPUT_TIMES(std::string_view name_given) {
  const auto& options = Transfer_Options;
  Listed_Input input;
  input.name = NAME_WITHOUT_BLANKS(name_given);
  if (!FILE_EXISTS(input.name)) {
    if (!options.Whole_Set) REPORT_NOT_FOUND(input.name, false);
    return;
  }
  const std::int32_t format = options.Input_Format;
  Transfer_Options.FORM = format == Transfer_Ascii ? "FORMATTED" : "UNFORMATTED";
  const bool text = format == Transfer_Ascii;
  if (options.Input_Compressed) {
    CREATE_WORKING_COPY(input.copy, 1);
    UNCOMPRESS_FILE(input.name, input.copy);
    if (!CHANNEL_OPEN_READ(input.channel, input.copy.PATH(), input.name, text))
      TRANSFER_STOP({" Unable to open temporary file"});
  } else if (!CHANNEL_OPEN_READ(input.channel, input.name, input.name, text)) {
    TRANSFER_STOP({" Unable to open: " + input.name});
  }
  if (format < 1 || format > 3) TRANSFER_STOP({" Unrecognised input format!"});

  float time = 0.0f;
  std::int32_t first_count = 0;
  if (!read_output(input.channel, format, time, first_count, nullptr)) {
    CONSOLE_LINE(" Unable to read first output!");
    Transfer_Parse.Run_Failed = true;
    close_input(input);
    return;
  }
  if (!CHANNEL_SEEK(input.channel, 0)) {
    CONSOLE_LINE(" Unable to 'rewind' input file!");
    Transfer_Parse.Run_Failed = true;
    close_input(input);
    return;
  }
  std::vector<float> buffer;
  if (text) {
    // Every value takes at least two characters: a larger count cannot be in the file.
    const bool fits = first_count >= 0 && static_cast<std::int64_t>(first_count) * 2 <= CHANNEL_FILE_SIZE(input.channel);
    int status = 0;
    try {
      if (fits) buffer.resize(static_cast<std::size_t>(first_count));
    } catch (const std::bad_alloc&) {
      status = 1;
    }
    CHECK_ALLOCATION_ERROR("Buffer", fits ? status : 1);
    CHECK_ALLOCATION_SIZE("Buffer", static_cast<std::int64_t>(buffer.size()), first_count);
  }
  CONSOLE_LINE(" Listing output times for " + input.name);
  for (;;) {
    std::int32_t count = 0;
    if (!read_output(input.channel, format, time, count, text ? &buffer : nullptr)) break;
    if (time < 0.0f || count != first_count) break;
    WRITE_REAL_F(time);
  }
  std::fflush(stdout);
  if (text) {
    std::vector<float>().swap(buffer);
    CHECK_DEALLOCATION("Buffer", 0);
  }
  close_input(input);
}
