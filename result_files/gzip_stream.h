// Low-level gzip on file descriptors and zlib: whole-file copies, the record count from a
// file's tail, and the appendable writer (one stream at a time, kept in this module).
//
// Every entry returns a status, 0 for success (codes listed in gzip_stream.cpp). The text of
// the last failure (file name and reason) is kept for the messages of Module_GZip.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Operations of gzip_dispatch.
enum Gzip_Operation : int {
  Gzip_Create_Empty = 1,   // write an empty appendable file named data
  Gzip_Check = 2,          // check the header and tail of the file named data
  Gzip_Open_Append = 3,    // open the file named data for appending
  Gzip_Open_New = 4,       // create the file named data for appending
  Gzip_Append = 5,         // append length bytes of data to the open stream
  Gzip_Close = 6,          // finish the open stream
  Gzip_Compress_In_Place = 7,
  Gzip_Uncompress_In_Place = 8,
};

// Runs one operation. For every operation but 5, data is a name ended by a NUL within
// length + 1 bytes. retries is set to 0, then to the number of each pause a write took.
int gzip_dispatch(int operation, std::int64_t length, const void* data, int& retries);

// Operation 5 with the 4 bytes of one word, and with count words.
int gzip_append_word(int& retries, const void* data);
int gzip_append_words(int& retries, std::int64_t count, const void* data);

// Compresses (operation 7) or uncompresses (any other value) the input file into the output
// file. The output is written to a working file beside it that replaces it in one step at
// the end (File_Replacement); a failure leaves no partial output and the old output
// untouched.
int gzip_named(int operation, std::int64_t input_length, const char* input, std::int64_t output_length,
               const char* output, int& retries);

// The two ends of a copy into an open file: the file read, and the names that messages use
// for the file read and the file written.
struct Gzip_Copy_Ends {
  std::string input;
  std::string input_label;
  std::string output_label;
};

// Compresses (operation 7) or uncompresses the input into out_fd, an open, empty working
// file (neither synced nor closed here).
int gzip_copy_into(int operation, const Gzip_Copy_Ends& ends, int out_fd, int& retries);

// Number of whole records of record_size bytes in the uncompressed data (sizes of 4 GiB and
// more included: see Gzip_Size).
int gzip_count_records(std::int64_t length, const char* name, std::int64_t record_size, std::int64_t& count);

// Text of the last failure: "<file>: <reason>"; empty after a success.
const std::string& gzip_last_error();

// Test seam: replaces the pause of the retrying write (milliseconds); nullptr restores sleeping.
void gzip_set_pause(std::function<void(int milliseconds)> pause);
