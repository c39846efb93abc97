// COPY_RESULTS: the conversion's reader and writer of output records.
//
// Reads: output records from an open channel. Writes: records to an open channel.
// Global records: Transfer_Buffers (record buffers, grown on need, never shrunk); reads
// Transfer_Options NX, NY, NZ when rescaling.
//
// Unlike a quiet end, a record cut short, a framing that does not fit its cell count (the
// usual sign of a wrong input-format flag), unreadable text or a cell count that changes
// inside the file stop the conversion with a message: nothing is dropped silently.

#include <algorithm>
#include <cerrno>
#include <cstdio>   // std::snprintf
#include <cstring>  // std::memcpy, std::strerror
#include <limits>
#include <new>      // std::bad_alloc
#include <string>
#include <vector>

#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "transfer/Module_Rescale.h"
#include "transfer/Transfer_Channel.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

bool valid_format(std::int32_t format) { return format >= 1 && format <= 3; }

}  // namespace

Read_Status READ_OUTPUT_HEAD(Transfer_Channel& in, std::int32_t format, Output_Head& head, std::string& detail) {
  if (format == Transfer_Ascii) {
    in.reader->BEGIN_STATEMENT();
    Read_Status s = TEXT_STATUS(in.reader->READ_REAL(head.time_single), true);
    if (s != Read_Status::Ok) {
      detail = "the time is not a number (wrong input format?)";
      return s;
    }
    s = TEXT_STATUS(in.reader->READ_INTEGER(head.count), false);
    if (s != Read_Status::Ok) {
      detail = "the cell count is not a whole number (wrong input format?)";
      return s;
    }
    // Every value takes at least two characters: a larger count cannot be in the file.
    if (head.count < 0 || static_cast<std::int64_t>(head.count) * 2 > CHANNEL_FILE_SIZE(in)) {
      detail = "cell count " + std::to_string(head.count) + " does not fit the file (wrong input format?)";
      return Read_Status::Bad;
    }
    return Read_Status::Ok;
  }
  Read_Status s = READ_RECORD_LENGTH(in, head.length);
  if (s != Read_Status::Ok) return s;
  char bytes[12];
  const std::size_t head_size = format == Transfer_Binary_Double ? 12 : 8;
  if (head.length < head_size) {
    detail = "record length " + std::to_string(head.length) + " is too small (wrong input format?)";
    return Read_Status::Bad;
  }
  s = READ_RECORD_BYTES(in, std::span<char>(bytes, head_size));
  if (s != Read_Status::Ok) return s;
  if (format == Transfer_Binary_Double) {
    std::memcpy(&head.time_double, bytes, 8);
    std::memcpy(&head.count, bytes + 8, 4);
  } else {
    std::memcpy(&head.time_single, bytes, 4);
    std::memcpy(&head.count, bytes + 4, 4);
  }
  if (head.count < 0 || PAYLOAD_LENGTH(format, head.count) != std::int64_t{head.length}) {
    detail = "record length " + std::to_string(head.length) + " does not match cell count " +
             std::to_string(head.count) + " (wrong input format?)";
    return Read_Status::Bad;
  }
  const std::int64_t left = CHANNEL_FILE_SIZE(in) - static_cast<std::int64_t>(CHANNEL_OFFSET(in));
  if (left >= 0 && left < static_cast<std::int64_t>(head.length - head_size) + 4) return Read_Status::Truncated;
  return Read_Status::Ok;
}

Read_Status READ_OUTPUT_VALUES(Transfer_Channel& in, std::int32_t format, const Output_Head& head, std::string& detail) {
  auto& buffers = Transfer_Buffers;
  if (format == Transfer_Ascii)
    return READ_TEXT_VALUES(in, std::span<float>(buffers.Buffer_Array_Single.data(), static_cast<std::size_t>(head.count)),
                            detail);
  char* target = format == Transfer_Binary_Double ? reinterpret_cast<char*>(buffers.Buffer_Array_Double.data())
                                                  : reinterpret_cast<char*>(buffers.Buffer_Array_Single.data());
  const std::size_t bytes = static_cast<std::size_t>(head.count) * (format == Transfer_Binary_Double ? 8 : 4);
  Read_Status s = READ_RECORD_BYTES(in, std::span<char>(target, bytes));
  if (s != Read_Status::Ok) return s;
  std::uint32_t closing = 0;
  s = READ_RECORD_BYTES(in, std::span<char>(reinterpret_cast<char*>(&closing), 4));
  if (s != Read_Status::Ok) return s;
  if (closing != head.length) {
    detail = "the record's closing length " + std::to_string(closing) + " differs from its opening length " +
             std::to_string(head.length);
    return Read_Status::Bad;
  }
  return Read_Status::Ok;
}

namespace {

// Makes a record buffer hold at least size elements (re-allocated with exactly size).
template <typename T>
void ensure_buffer(std::vector<T>& buffer, std::int64_t size, const char* label) {
  if (static_cast<std::int64_t>(buffer.size()) >= size) return;
  if (!buffer.empty()) {
    std::vector<T>().swap(buffer);
    CHECK_DEALLOCATION(label, 0);
  }
  int status = 0;
  try {
    buffer.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    status = 1;
  } catch (const std::length_error&) {
    status = 1;
  }
  CHECK_ALLOCATION_ERROR(label, status);
  CHECK_ALLOCATION_SIZE(label, static_cast<std::int64_t>(buffer.size()), size);
}

}  // namespace

void WRITE_OUTPUT_RECORD(Transfer_Channel& out, std::int32_t format, const Output_Head& head, std::int32_t count) {
  auto& buffers = Transfer_Buffers;
  switch (format) {
    case Transfer_Binary_Single: {  // length, time, count, values, length
      const std::uint32_t length = static_cast<std::uint32_t>(PAYLOAD_LENGTH(format, count));
      WRITE_BYTES(out, &length, 4);
      WRITE_BYTES(out, &head.time_single, 4);
      WRITE_BYTES(out, &count, 4);
      WRITE_BYTES(out, buffers.Buffer_Array_Single.data(), static_cast<std::size_t>(count) * 4);
      WRITE_BYTES(out, &length, 4);
      break;
    }
    case Transfer_Binary_Double: {
      const std::uint32_t length = static_cast<std::uint32_t>(PAYLOAD_LENGTH(format, count));
      WRITE_BYTES(out, &length, 4);
      WRITE_BYTES(out, &head.time_double, 8);
      WRITE_BYTES(out, &count, 4);
      WRITE_BYTES(out, buffers.Buffer_Array_Double.data(), static_cast<std::size_t>(count) * 8);
      WRITE_BYTES(out, &length, 4);
      break;
    }
    case Transfer_Ascii:
      WRITE_ASCII_RECORD(out, head.time_single, count,
                         std::span<const float>(buffers.Buffer_Array_Single.data(), static_cast<std::size_t>(count)));
      break;
    default:
      TRANSFER_STOP({" Unrecognised output format!"});
  }
  if (out.write_failed)
    TRANSFER_STOP({" Unable to write to file: " + out.name, " (" + std::string(std::strerror(out.error)) + ")"});
}

void ENSURE_RECORD_BUFFERS(std::int64_t size, bool single, bool dual) {
  if (single) ensure_buffer(Transfer_Buffers.Buffer_Array_Single, size, "Buffer_Array_Single");
  if (dual) ensure_buffer(Transfer_Buffers.Buffer_Array_Double, size, "Buffer_Array_Double");
}

void TRANSFER_READ_FAILURE(const Transfer_Channel& in, Read_Status status, const std::string& detail) {
  std::string reason = detail;
  if (status == Read_Status::Truncated) reason = "the file ends inside this output";
  if (status == Read_Status::Error) reason = std::strerror(in.error);
  TRANSFER_STOP({" Unable to read output " + std::to_string(in.records_read + 1) + " of file: " + in.name,
                 " (" + reason + ")"});
}

void COPY_RESULTS(Transfer_Channel& in, std::int32_t format_in, Transfer_Channel* out, std::int32_t format_out,
                  std::int32_t& record_count, bool skip_only, const Rescale_Ratio_Type& ratio) {
  auto& buffers = Transfer_Buffers;
  if (!valid_format(format_in)) TRANSFER_STOP({" Unrecognised input format!"});

  // 1-2. Peek at the first record for its cell count, then step back over it.
  const std::uint64_t start = CHANNEL_OFFSET(in);
  Output_Head first;
  std::string detail;
  Read_Status status = READ_OUTPUT_HEAD(in, format_in, first, detail);
  if (status == Read_Status::End) {
    record_count = 0;
    return;
  }
  if (status != Read_Status::Ok) TRANSFER_READ_FAILURE(in, status, detail);
  if (!CHANNEL_SEEK(in, start))
    TRANSFER_STOP({" Unable to position in file: " + in.name, " (" + std::string(std::strerror(in.error)) + ")"});

  // 3. Sizes.
  const bool rescaling = ratio.n != 1 || ratio.p != 1;
  const Cell_Counts counts{Transfer_Options.NX, Transfer_Options.NY, Transfer_Options.NZ};
  std::int32_t out_count = first.count;
  std::int64_t working_size = first.count;
  if (rescaling) {
    if (static_cast<std::int64_t>(counts[0]) * counts[1] * counts[2] != first.count)
      TRANSFER_STOP({" Inconsistant geometry!"});
    if (std::string problem = RESCALE_PROBLEM(counts, ratio); !problem.empty())
      TRANSFER_STOP({" Rescale error! (" + problem + ")"});
    out_count = RESCALED_ZELTRA_CELLS(counts, ratio);
    working_size = std::max<std::int64_t>(first.count, out_count);
  }

  // 4. Record buffers.
  ENSURE_RECORD_BUFFERS(working_size, !(format_in == Transfer_Binary_Double && format_out == Transfer_Binary_Double),
                        format_in == Transfer_Binary_Double || format_out == Transfer_Binary_Double);

  // 5. Records.
  std::int32_t handled = 0;
  for (;;) {
    if (record_count >= 0 && handled + 1 >= record_count) break;
    Output_Head head;
    status = READ_OUTPUT_HEAD(in, format_in, head, detail);
    if (status == Read_Status::End) break;
    if (status == Read_Status::Ok && head.count != first.count) {
      status = Read_Status::Bad;
      detail = "cell count " + std::to_string(head.count) + " differs from the first output's " +
               std::to_string(first.count);
    }
    if (status == Read_Status::Ok) status = READ_OUTPUT_VALUES(in, format_in, head, detail);
    if (status != Read_Status::Ok) TRANSFER_READ_FAILURE(in, status, detail);
    ++handled;
    ++in.records_read;
    buffers.Cell_Count = head.count;
    if (skip_only) continue;

    const std::size_t n = static_cast<std::size_t>(head.count);
    if (format_in == Transfer_Binary_Double && format_out != Transfer_Binary_Double) {
      head.time_single = static_cast<float>(head.time_double);
      const double* from = buffers.Buffer_Array_Double.data();
      float* to = buffers.Buffer_Array_Single.data();
      for (std::size_t i = 0; i < n; ++i) to[i] = static_cast<float>(from[i]);
    } else if (format_in != Transfer_Binary_Double && format_out == Transfer_Binary_Double) {
      head.time_double = head.time_single;
      const float* from = buffers.Buffer_Array_Single.data();
      double* to = buffers.Buffer_Array_Double.data();
      for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
    }
    buffers.Time_Single = head.time_single;
    buffers.Time_Double = head.time_double;

    if (rescaling) {
      std::int32_t rescale_status = 0;
      RESCALE_ZELTRA_DATA(rescale_status, std::span<float>(buffers.Buffer_Array_Single.data(), working_size), counts,
                          ratio, out_count);
      if (rescale_status != 0) {
        char text[8];
        std::snprintf(text, sizeof text, "%+2d", rescale_status);
        TRANSFER_STOP({" Rescale error! (" + std::string(text) + ")"});
      }
    }
    WRITE_OUTPUT_RECORD(*out, format_out, head, out_count);
  }
  record_count = handled;
}
