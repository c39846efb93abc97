// Input_Layer: the record-oriented reading that the result readers share.
//
// A stream (one per unit number, 113 for the geometry file, 113 + i for result file i)
// is opened read-only without locking anyone out, in one of three modes:
//   - framed records in sequence (4-byte length, payload, length), optionally with every
//     length, integer and real converted from big-endian;
//   - fixed-length records by record number (the framing is not interpreted);
//   - free-form text read statement by statement.
// A sequential read that fails or meets the end leaves the stream where that record
// began, so a growing file delivers the record once it is complete. Big reads go
// straight into the caller's buffer with one system call; nothing is cached beyond a
// small read-ahead for headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class Free_Form_Reader;

enum class Read_Status { Ok, End_Of_File, Failed };

struct Open_Mode {
  bool formatted = false;           // free-form text (code 3)
  bool big_endian = false;          // sequential records converted from big-endian
  std::int64_t record_length = 0;   // > 0: fixed-length records by record number
};

class Input_Stream {
 public:
  Input_Stream();
  ~Input_Stream();
  Input_Stream(const Input_Stream&) = delete;
  Input_Stream& operator=(const Input_Stream&) = delete;

  // Opens an existing regular file read-only; returns false when it cannot be opened
  // (OPEN_FAILURE then says why).
  bool OPEN(const std::string& name, const Open_Mode& mode);
  // The system's reason why the last OPEN failed ("" after one that succeeded).
  const std::string& OPEN_FAILURE() const { return open_failure_; }
  void CLOSE();
  // Opens name again in the same mode to see what was appended; on failure the stream
  // keeps its old file (a file that vanished goes on delivering what it held).
  bool REOPEN(const std::string& name);
  bool IS_OPEN() const { return fd_ >= 0; }
  const std::string& NAME() const { return name_; }
  const Open_Mode& MODE() const { return mode_; }
  // Bytes the file holds now; -1 when that cannot be had.
  std::int64_t FILE_SIZE() const { return file_size(); }

  // Positions a sequential stream at its start; false when that fails.
  bool REWIND();
  // Steps a sequential stream back over one record (a text stream back to the start
  // of the statement before); at the start it stays there. false when that fails.
  bool BACKSPACE();
  // Byte position between records, to come back to it with SET_POSITION (text streams:
  // only line starts, as STATEMENT_START gives them).
  std::uint64_t POSITION() const;
  void SET_POSITION(std::uint64_t position);

  // ---- framed records in sequence: one read statement is BEGIN, TAKE..., END.
  // End_Of_File: no byte of a further record; Failed: a record cut short or holding
  // fewer bytes than the statement takes. Either leaves the stream at the record start.
  Read_Status BEGIN_RECORD();
  Read_Status TAKE(void* destination, std::size_t bytes);
  Read_Status TAKE_INTEGER(std::int32_t& value);
  Read_Status TAKE_REAL(float& value);
  Read_Status TAKE_DOUBLE(double& value);
  Read_Status TAKE_REALS(float* values, std::size_t count);
  Read_Status TAKE_DOUBLES(double* values, std::size_t count);
  // Skips what is left of the payload and checks the trailing length.
  Read_Status END_RECORD();
  // Payload bytes of the current record not taken yet.
  std::uint64_t PAYLOAD_LEFT() const { return payload_left_; }
  // Gives up the record being read: the stream goes back to where it began.
  void ABANDON_RECORD();

  // ---- fixed-length records: bytes [offset, offset + bytes) of record k (from 1).
  // Failed when record k does not lie wholly in the file.
  Read_Status READ_DIRECT(std::int64_t record, std::size_t offset, void* destination,
                          std::size_t bytes);

  // As much of bytes [0, bytes) of record k as the file holds; returns the count read.
  std::size_t READ_PARTIAL(std::int64_t record, void* destination, std::size_t bytes);

  // ---- free-form text: the reader of a formatted stream (nullptr otherwise).
  // STATEMENT() starts a read statement on the next line and notes where it began.
  Free_Form_Reader* STATEMENT();
  // Line start where the last statement began: SET_POSITION to it reads that statement again.
  std::uint64_t STATEMENT_START() const { return statement_start_; }
  Free_Form_Reader* TEXT() { return text_.get(); }

 private:
  Read_Status fail_record(Read_Status status);
  bool read_at(std::uint64_t offset, void* destination, std::size_t bytes);
  std::int64_t file_size() const;
  long text_source(char* buffer, std::size_t max);

  int fd_ = -1;
  std::string name_;
  std::string open_failure_;
  Open_Mode mode_;
  std::uint64_t offset_ = 0;          // next byte of a sequential binary stream
  std::uint64_t record_start_ = 0;
  std::uint64_t payload_left_ = 0;
  std::uint32_t record_length_ = 0;
  // Read-ahead for headers: bytes [ahead_offset_, ahead_offset_ + ahead_size_).
  std::unique_ptr<unsigned char[]> ahead_;
  std::uint64_t ahead_offset_ = 0;
  std::size_t ahead_size_ = 0;
  // Text streams.
  std::unique_ptr<Free_Form_Reader> text_;
  std::uint64_t text_offset_ = 0;     // next byte handed to the reader
  std::uint64_t statement_start_ = 0;
  std::uint64_t previous_statement_start_ = 0;
};

// The stream of a unit number (created closed on first use).
Input_Stream& UNIT(int unit);
// Closes every unit (end of the run).
void CLOSE_ALL_UNITS();
