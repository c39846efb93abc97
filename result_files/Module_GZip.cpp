// Module_GZip: the program's gzip routines with blank-padded names, over gzip_stream.
//
// Reads and writes: the files named by the callers. Console: the fatal messages of
// COMPRESS_FILE and UNCOMPRESS_FILE. Global records: none.

#include "result_files/Module_GZip.h"

#include <limits>
#include <string>

#include "records/Console.h"
#include "result_files/Check_File.h"
#include "result_files/File_Replacement.h"
#include "result_files/gzip_stream.h"
#include "result_files/Working_File.h"

namespace {

// The fatal message of a failed whole-file copy, naming the user's file (and a hint line
// when given).
[[noreturn]] void copy_failed(const char* action, const std::string& name, const std::string& hint = "") {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(std::string(" Error while attempting to ") + action + " " + name);
  if (!gzip_last_error().empty()) CONSOLE_LINE(" " + gzip_last_error());
  if (!hint.empty()) CONSOLE_LINE(hint);
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

// Runs a whole-file copy; a failure is fatal.
void copy_or_stop(int operation, std::string_view source, std::string_view target, const char* action) {
  int status = 0;
  int retries = 0;
  GZIP_PROCESS_NAMED(operation, source, target, status, retries);
  if (status != 0) copy_failed(action, NAME_WITHOUT_BLANKS(source));
}

// Operation on a name: the name without trailing blanks, NUL-terminated.
int name_operation(int operation, std::string_view name, int& retries) {
  const std::string file = NAME_WITHOUT_BLANKS(name);
  return gzip_dispatch(operation, static_cast<std::int64_t>(file.size()), file.c_str(), retries);
}

}  // namespace

void COMPRESS_FILE(std::string_view source, std::string_view target) {
  copy_or_stop(Gzip_Compress_In_Place, source, target, "compress");
}

void UNCOMPRESS_FILE(std::string_view source, std::string_view target) {
  copy_or_stop(Gzip_Uncompress_In_Place, source, target, "uncompress");
}

void UNCOMPRESS_FILE(std::string_view source, const Working_File& copy) {
  const std::string name = NAME_WITHOUT_BLANKS(source);
  const std::string staging = "working copy in " + copy.FOLDER();
  int retries = 0;
  if (gzip_copy_into(Gzip_Uncompress_In_Place, {name, name, staging}, copy.FD(), retries) == 0) return;
  // The folder that had no room (or no permission) for the copy is the user's to choose.
  const bool writing_failed = gzip_last_error().starts_with(staging + ":");
  copy_failed("uncompress", name, writing_failed ? " Another folder for working copies can be given with --Temp:<folder>" : "");
}

void COMPRESS_FILE(const Working_File& source, const File_Replacement& target) {
  int retries = 0;
  if (gzip_copy_into(Gzip_Compress_In_Place, {source.PATH(), target.NAME(), target.NAME()}, target.FD(), retries) != 0)
    copy_failed("compress", target.NAME());
}

std::int32_t GZIP_NB_OUTPUTS(std::string_view name, std::int64_t record_size) {
  constexpr std::int32_t Failed = -666;
  const std::string file = NAME_WITHOUT_BLANKS(name);
  std::int64_t count = 0;
  if (gzip_count_records(static_cast<std::int64_t>(file.size()), file.c_str(), record_size, count) != 0)
    return Failed;
  if (count > std::numeric_limits<std::int32_t>::max()) return Failed;
  return static_cast<std::int32_t>(count);
}

void GZIP_PROCESS_NAMED(int operation, std::string_view input, std::string_view output, int& status,
                        int& retries) {
  const std::string in = NAME_WITHOUT_BLANKS(input);
  const std::string out = NAME_WITHOUT_BLANKS(output);
  status = gzip_named(operation, static_cast<std::int64_t>(in.size()), in.c_str(),
                      static_cast<std::int64_t>(out.size()), out.c_str(), retries);
}

void GZIP_COMPRESS_NAMED(std::string_view input, std::string_view output, int& status, int& retries) {
  GZIP_PROCESS_NAMED(Gzip_Compress_In_Place, input, output, status, retries);
}

void GZIP_UNCOMPRESS_NAMED(std::string_view input, std::string_view output, int& status, int& retries) {
  GZIP_PROCESS_NAMED(Gzip_Uncompress_In_Place, input, output, status, retries);
}

int GZIP_TOOLS(int operation, std::int64_t length, const void* data, int& retries) {
  return gzip_dispatch(operation, length, data, retries);
}

void GZIP_CREATE(std::string_view name, int& status, int& retries) {
  status = name_operation(Gzip_Create_Empty, name, retries);
}

void GZIP_CHECK(std::string_view name, int& status) {
  int retries = 0;
  status = name_operation(Gzip_Check, name, retries);
}

void GZIP_OPEN(std::string_view name, int& status, int& retries) {
  status = name_operation(Gzip_Open_Append, name, retries);
}

void GZIP_OPEN_EMPTY(std::string_view name, int& status, int& retries) {
  status = name_operation(Gzip_Open_New, name, retries);
}

void GZIP_APPEND_STRING(std::string_view text, int& status, int& retries) {
  status = gzip_dispatch(Gzip_Append, static_cast<std::int64_t>(text.size()), text.data(), retries);
}

void GZIP_APPEND_INTEGER(std::int32_t value, int& status, int& retries) {
  status = gzip_append_word(retries, &value);
}

void GZIP_APPEND_SINGLE(float value, int& status, int& retries) { status = gzip_append_word(retries, &value); }

void GZIP_APPEND_SINGLE_ARRAY(std::int64_t count, const float* values, int& status, int& retries) {
  status = gzip_append_words(retries, count, values);
}

void GZIP_CLOSE(int& status, int& retries) {
  static const char no_name[] = " ";
  status = gzip_dispatch(Gzip_Close, 1, no_name, retries);
}

void GZIP_COMPRESS_IN_PLACE(std::string_view name, int& status, int& retries) {
  status = name_operation(Gzip_Compress_In_Place, name, retries);
}

void GZIP_UNCOMPRESS_IN_PLACE(std::string_view name, int& status, int& retries) {
  status = name_operation(Gzip_Uncompress_In_Place, name, retries);
}
