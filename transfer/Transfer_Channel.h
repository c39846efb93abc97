// Transfer_Channel: the conversion's sequential files (its "channels"): length-framed
// binary records and text lines, read and written through large buffers, positioned by
// byte offset. Opening for writing makes the file; nothing here renames or deletes.
//
// Every read reports how it ended, so that callers tell a clean end of file (at a record
// boundary) from a record cut short or unreadable.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "text/Free_Form.h"

enum class Read_Status {
  Ok,
  End,        // end of file before the first byte of the record
  Truncated,  // end of file inside the record
  Bad,        // framing or text that does not fit the layout
  Error,      // the system reported a read error (errno kept in Transfer_Channel::error)
};

struct Transfer_Channel {
  int fd = -1;
  std::string name;        // name for messages (the user's name, not a working copy's)
  bool text = false;       // FORMATTED
  bool writing = false;
  int error = 0;           // errno of the first failure
  std::int64_t records_read = 0;  // whole output records read (for messages)
  // Binary reading: buffered bytes [begin, end) of buffer; file_offset is the offset of end.
  std::unique_ptr<char[]> buffer;
  std::size_t begin = 0, end = 0;
  std::uint64_t file_offset = 0;
  // Text reading.
  std::unique_ptr<Free_Form_Reader> reader;
  // Writing: bytes not yet written.
  std::string pending;
  bool write_failed = false;
  Transfer_Channel() = default;
  Transfer_Channel(const Transfer_Channel&) = delete;
  Transfer_Channel& operator=(const Transfer_Channel&) = delete;
  ~Transfer_Channel();
};

// Opens an existing file for reading; false (errno in error) when it cannot be opened.
bool CHANNEL_OPEN_READ(Transfer_Channel& channel, const std::string& path, const std::string& name, bool text);

// Creates or empties a file for writing; false when it cannot be opened.
bool CHANNEL_OPEN_WRITE(Transfer_Channel& channel, const std::string& path, const std::string& name, bool text);

// Writes what is pending, flushes to disk when writing, and closes; false on any failure.
bool CHANNEL_CLOSE(Transfer_Channel& channel);

// Byte offset of the next unread byte (reading) and repositioning there (drops buffers).
std::uint64_t CHANNEL_OFFSET(const Transfer_Channel& channel);
bool CHANNEL_SEEK(Transfer_Channel& channel, std::uint64_t offset);

// Size of the file behind the channel (-1 when unknown).
std::int64_t CHANNEL_FILE_SIZE(const Transfer_Channel& channel);

// --- binary records ---------------------------------------------------------------------

// Payload length of a binary record of count values (format 1: 8 + 4n, format 3: 12 + 8n).
inline std::int64_t PAYLOAD_LENGTH(std::int32_t format, std::int64_t count) {
  return format == 3 ? 12 + 8 * count : 8 + 4 * count;
}

// Reads the 4-byte length that opens a record (unsigned: payloads reach 4 GiB - 1).
Read_Status READ_RECORD_LENGTH(Transfer_Channel& channel, std::uint32_t& length);
// Reads exactly bytes.size() bytes of a record (Truncated when the file ends first).
Read_Status READ_RECORD_BYTES(Transfer_Channel& channel, std::span<char> bytes);
// Passes over n bytes.
Read_Status SKIP_RECORD_BYTES(Transfer_Channel& channel, std::uint64_t n);

// Appends bytes to the output (written in large blocks).
void WRITE_BYTES(Transfer_Channel& channel, const void* data, std::size_t n);

// --- text ----------------------------------------------------------------------------------

// Writes one ASCII record: " " + time (G15.7) + count (I12) + values (G15.7 each), a field
// that would end beyond column 80 starting a new line (again with one blank); CR LF line ends.
void WRITE_ASCII_RECORD(Transfer_Channel& channel, float time, std::int32_t count, std::span<const float> values);

// Writes a geometry record in the same layout: three integers, then three reals.
void WRITE_ASCII_GEOMETRY(Transfer_Channel& channel, const std::int32_t counts[3], const float reals[3]);

// Appends one G15.7 field (with one digit before the point in exponent form) / one I12 field.
void EDIT_G15_7(std::string& out, float value);
void EDIT_I12(std::string& out, std::int32_t value);

// Reads values.size() free-form reals that follow the record head just read; large records
// are parsed by several threads, each over its own part of the text, and the channel is
// left at the start of the line after the last value (the rest of that line is passed
// over). detail names the value that failed.
Read_Status READ_TEXT_VALUES(Transfer_Channel& channel, std::span<float> values, std::string& detail);

// --- output records (the layouts of the conversion's formats) -------------------------------

struct Output_Head {
  float time_single = 0.0f;
  double time_double = 0.0;
  std::int32_t count = 0;
  std::uint32_t length = 0;  // binary payload length
};

// Reads the time and cell count of a record and checks them against the framing and the
// bytes left: Ok, End (a clean end before the record) or a failure with detail.
Read_Status READ_OUTPUT_HEAD(Transfer_Channel& in, std::int32_t format, Output_Head& head, std::string& detail);

// Reads the values (and a binary record's closing length) into the record buffers of
// Transfer_Buffers (double precision for format 3), which must hold head.count values.
Read_Status READ_OUTPUT_VALUES(Transfer_Channel& in, std::int32_t format, const Output_Head& head, std::string& detail);

// Writes a record of count values from the record buffers; a failed write stops.
void WRITE_OUTPUT_RECORD(Transfer_Channel& out, std::int32_t format, const Output_Head& head, std::int32_t count);

// Makes the chosen record buffers hold at least size values (allocation checks included).
void ENSURE_RECORD_BUFFERS(std::int64_t size, bool single, bool dual);

// Fatal message for an output that cannot be read: names the file and the output.
[[noreturn]] void TRANSFER_READ_FAILURE(const Transfer_Channel& in, Read_Status status, const std::string& detail);

// Maps a free-form status to a read status; at_start: nothing of the record was read yet.
Read_Status TEXT_STATUS(Free_Form_Status status, bool at_start);
