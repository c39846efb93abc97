// Module_GZip: gzip compression of whole files, record counts from a gzip file's tail, and
// the appendable gzip writer, for the rest of the display program. Names may carry
// trailing blanks; they are ignored.
#pragma once

#include <cstdint>
#include <string_view>

class File_Replacement;
class Working_File;

// Gzips source into target (level 1), replacing target in one step at the end; the source
// stays. On failure: a fatal message with the reason, then STOP_PROGRAM; no partial target.
void COMPRESS_FILE(std::string_view source, std::string_view target);

// Uncompresses the gzip file source into target, likewise. A stream that is cut short,
// corrupt or not gzip at all is a failure, never a shorter target.
void UNCOMPRESS_FILE(std::string_view source, std::string_view target);

// Uncompresses source into the empty working file copy; a failure is fatal, its message
// names source (and the copy's folder when writing the copy failed).
void UNCOMPRESS_FILE(std::string_view source, const Working_File& copy);

// Compresses the working file source into the working file of target, which the caller
// then commits; a failure is fatal, its message names the target as the user gave it.
void COMPRESS_FILE(const Working_File& source, const File_Replacement& target);

// Number of whole records of record_size bytes in the uncompressed data of a file written
// by this module, read from its tail; -666 on any failure (nothing is uncompressed).
std::int32_t GZIP_NB_OUTPUTS(std::string_view name, std::int64_t record_size);

// The status routines below return the status of gzip_stream (0: success) and never stop.
void GZIP_PROCESS_NAMED(int operation, std::string_view input, std::string_view output, int& status,
                        int& retries);
void GZIP_COMPRESS_NAMED(std::string_view input, std::string_view output, int& status, int& retries);
void GZIP_UNCOMPRESS_NAMED(std::string_view input, std::string_view output, int& status, int& retries);
int GZIP_TOOLS(int operation, std::int64_t length, const void* data, int& retries);

// Appendable writer: one file at a time, written in passes (open ... append ... close).
void GZIP_CREATE(std::string_view name, int& status, int& retries);
void GZIP_CHECK(std::string_view name, int& status);
void GZIP_OPEN(std::string_view name, int& status, int& retries);
void GZIP_OPEN_EMPTY(std::string_view name, int& status, int& retries);
void GZIP_APPEND_STRING(std::string_view text, int& status, int& retries);  // every character, blanks included
void GZIP_APPEND_INTEGER(std::int32_t value, int& status, int& retries);
void GZIP_APPEND_SINGLE(float value, int& status, int& retries);
void GZIP_APPEND_SINGLE_ARRAY(std::int64_t count, const float* values, int& status, int& retries);
void GZIP_CLOSE(int& status, int& retries);
void GZIP_COMPRESS_IN_PLACE(std::string_view name, int& status, int& retries);
void GZIP_UNCOMPRESS_IN_PLACE(std::string_view name, int& status, int& retries);
