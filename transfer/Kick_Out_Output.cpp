// Kick_Out_Output: the conversion's temporary file names, and the removal of outputs
// (time steps) from a result file, keeping its name, format and compression.
//
// Reads: the result file (through an uncompressed working copy, slot 1, when compressed).
// Writes: the file without the removed outputs, as the working file of its replacement
// (File_Replacement: links followed, permissions and owner kept), through an uncompressed
// working copy (slot 2) when it is compressed; console lines.
// Global records: Temporary_File_Names (filled by SET_TEMPORARY_FILE_NAMES, read otherwise),
// Transfer_Options (input format, compression, whole set), Results_To_Kick_Out (read).
//
// The file is read once and never changed in place: a failure at any point leaves it as it
// was. Binary files are walked record by record (each record's framing and cell count
// checked) and the kept byte ranges are copied by the kernel; ASCII files are read record by
// record (each one checked) and their kept byte ranges copied the same way. A removal list is
// taken as a set (sorted, repeats dropped); a removal that names an output the file does not
// hold, or every output of the file, changes nothing and fails the run.

#include <unistd.h>  // copy_file_range, pread, pwrite

#include <algorithm>
#include <cerrno>
#include <cstring>   // std::memcpy, std::strerror
#include <memory>
#include <string>
#include <vector>

#include "platform/Io_Fault.h"
#include "records/Console.h"
#include "result_files/Abandoned_Files.h"
#include "result_files/Check_File.h"
#include "result_files/File_Replacement.h"
#include "result_files/Module_GZip.h"
#include "result_files/Working_File.h"
#include "transfer/Transfer_Channel.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

struct Removal {
  std::int64_t total = 0;    // outputs the file held
  std::int64_t removed = 0;  // outputs actually removed
};

[[noreturn]] void write_failure(const std::string& name, int error) {
  TRANSFER_STOP({" Unable to write to file: " + name, " (" + std::string(std::strerror(error)) + ")"});
}

// Copies bytes [from, to) of in to out at out_offset, in the kernel when it can.
void copy_range(Transfer_Channel& in, Transfer_Channel& out, std::uint64_t from, std::uint64_t to,
                std::uint64_t& out_offset) {
  bool kernel = true;
  std::unique_ptr<char[]> buffer;
  while (from < to) {
    if (IO_FAULT_HIT(Io_Kind::Write)) write_failure(out.name, EIO);
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(to - from, 1u << 30));
    ssize_t n = -1;
    if (kernel) {
      loff_t source = static_cast<loff_t>(from), target = static_cast<loff_t>(out_offset);
      n = ::copy_file_range(in.fd, &source, out.fd, &target, want, 0);
      if (n < 0 && (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP)) {
        kernel = false;
        continue;
      }
    } else {
      if (!buffer) buffer.reset(new char[1 << 20]);
      ssize_t r = ::pread(in.fd, buffer.get(), std::min<std::size_t>(want, 1 << 20), static_cast<off_t>(from));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) TRANSFER_READ_FAILURE(in, r < 0 ? Read_Status::Error : Read_Status::Truncated, "");
      n = 0;
      while (n < r) {
        ssize_t w = ::pwrite(out.fd, buffer.get() + n, static_cast<std::size_t>(r - n),
                             static_cast<off_t>(out_offset + static_cast<std::uint64_t>(n)));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) write_failure(out.name, w < 0 ? errno : EIO);
        n += w;
      }
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) write_failure(out.name, errno);
    if (n == 0) TRANSFER_READ_FAILURE(in, Read_Status::Truncated, "");
    from += static_cast<std::uint64_t>(n);
    out_offset += static_cast<std::uint64_t>(n);
  }
}

// Passes over the binary record at offset, checking its framing and cell count; false at a
// clean end of the file. offset moves to the next record.
bool next_binary_record(Transfer_Channel& in, std::int32_t format, std::uint64_t file_size, std::uint64_t& offset,
                        std::int32_t& first_count) {
  if (offset == file_size) return false;
  const std::uint64_t head_size = format == Transfer_Binary_Double ? 12 : 8;
  char head[16];
  auto read_at = [&](std::uint64_t at, std::size_t n, char* to) {
    if (at + n > file_size) TRANSFER_READ_FAILURE(in, Read_Status::Truncated, "");
    if (IO_FAULT_HIT(Io_Kind::Read) || ::pread(in.fd, to, n, static_cast<off_t>(at)) != static_cast<ssize_t>(n)) {
      in.error = errno ? errno : EIO;
      TRANSFER_READ_FAILURE(in, Read_Status::Error, "");
    }
  };
  read_at(offset, 4 + head_size, head);
  std::uint32_t length = 0;
  std::int32_t count = 0;
  std::memcpy(&length, head, 4);
  std::memcpy(&count, head + 4 + head_size - 4, 4);
  if (count < 0 || PAYLOAD_LENGTH(format, count) != std::int64_t{length})
    TRANSFER_READ_FAILURE(in, Read_Status::Bad,
                          "record length " + std::to_string(length) + " does not match cell count " +
                              std::to_string(count) + " (wrong input format?)");
  if (first_count >= 0 && count != first_count)
    TRANSFER_READ_FAILURE(in, Read_Status::Bad,
                          "cell count " + std::to_string(count) + " differs from the first output's " +
                              std::to_string(first_count));
  std::uint32_t closing = 0;
  read_at(offset + 4 + static_cast<std::uint64_t>(length), 4, reinterpret_cast<char*>(&closing));
  if (closing != length)
    TRANSFER_READ_FAILURE(in, Read_Status::Bad,
                          "the record's closing length " + std::to_string(closing) +
                              " differs from its opening length " + std::to_string(length));
  first_count = count;
  offset += 8 + static_cast<std::uint64_t>(length);
  ++in.records_read;
  return true;
}

// Writes the binary file without the outputs listed; returns the counts.
Removal remove_binary(Transfer_Channel& in, Transfer_Channel& out, std::int32_t format,
                      const std::vector<std::int32_t>& outputs) {
  Removal result;
  const std::int64_t size = CHANNEL_FILE_SIZE(in);
  if (size < 0) TRANSFER_READ_FAILURE(in, Read_Status::Error, "");
  const std::uint64_t file_size = static_cast<std::uint64_t>(size);
  std::uint64_t offset = 0, kept_from = 0, out_offset = 0;
  std::int32_t first_count = -1;
  auto next_removed = outputs.begin();
  for (;;) {
    const std::uint64_t start = offset;
    if (!next_binary_record(in, format, file_size, offset, first_count)) break;
    ++result.total;
    if (next_removed != outputs.end() && *next_removed == result.total) {
      ++next_removed;
      ++result.removed;
      copy_range(in, out, kept_from, start, out_offset);
      kept_from = offset;
    }
  }
  if (result.removed > 0) copy_range(in, out, kept_from, file_size, out_offset);
  return result;
}

// Where the text record that ended at offset gives way to the next: the start of the next line
// (the rest of a record's last line belongs to it), or offset itself at the start of a line.
std::uint64_t text_record_end(Transfer_Channel& in, std::uint64_t offset, std::uint64_t file_size) {
  if (offset == 0) return 0;
  char chunk[4096];
  // From the character before offset on: a line end there means offset starts a line.
  for (std::uint64_t at = offset - 1; at < file_size;) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(file_size - at, sizeof chunk));
    const ssize_t n = ::pread(in.fd, chunk, want, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      in.error = n < 0 ? errno : EIO;
      TRANSFER_READ_FAILURE(in, Read_Status::Error, "");
    }
    const char* end = static_cast<const char*>(std::memchr(chunk, '\n', static_cast<std::size_t>(n)));
    if (end != nullptr) return at + static_cast<std::uint64_t>(end - chunk) + 1;
    at += static_cast<std::uint64_t>(n);
  }
  return file_size;
}

// Writes the ASCII file without the outputs listed. Every record is read and checked, but the
// records that stay are copied byte for byte: rewriting them through the layout would round
// values written with more digits than it holds.
Removal remove_text(Transfer_Channel& in, Transfer_Channel& out, const std::vector<std::int32_t>& outputs) {
  Removal result;
  const std::int64_t size = CHANNEL_FILE_SIZE(in);
  if (size < 0) TRANSFER_READ_FAILURE(in, Read_Status::Error, "");
  const std::uint64_t file_size = static_cast<std::uint64_t>(size);
  std::int32_t previous = 0;
  std::uint64_t kept_from = 0, out_offset = 0;
  const Rescale_Ratio_Type same{};
  for (std::int32_t r : outputs) {
    std::int32_t count = r - previous;  // pass over the count - 1 outputs before r
    COPY_RESULTS(in, Transfer_Ascii, nullptr, Transfer_Ascii, count, true, same);
    result.total += count;
    const std::uint64_t start = text_record_end(in, CHANNEL_OFFSET(in), file_size);
    count = 2;
    COPY_RESULTS(in, Transfer_Ascii, nullptr, Transfer_Ascii, count, true, same);
    result.total += count;
    result.removed += count;
    if (count > 0) {
      copy_range(in, out, kept_from, start, out_offset);
      kept_from = text_record_end(in, CHANNEL_OFFSET(in), file_size);
    }
    previous = r;
  }
  std::int32_t rest = -1;
  COPY_RESULTS(in, Transfer_Ascii, nullptr, Transfer_Ascii, rest, true, same);
  result.total += rest;
  if (result.removed > 0) copy_range(in, out, kept_from, file_size, out_offset);
  return result;
}

// Removes the outputs (ascending, each at least 1) from the file. The file is replaced only
// when every output asked for was there and at least one output stays: a removal that cannot
// be done in full changes nothing. With an empty list the outputs are only counted.
Removal remove_outputs(const std::string& name, const std::vector<std::int32_t>& outputs) {
  const auto& options = Transfer_Options;
  const std::int32_t format = options.Input_Format;
  if (FORMAT_WORD(format).empty()) TRANSFER_STOP({" Unrecognised input format!"});
  Transfer_Options.FORM = format == Transfer_Ascii ? "FORMATTED" : "UNFORMATTED";
  // A file that is only counted needs no write permission.
  File_Replacement target;
  if (!outputs.empty()) BEGIN_REPLACEMENT(target, name);
  Working_File copy;
  std::string path = name;
  if (options.Input_Compressed) {
    CREATE_WORKING_COPY(copy, 1);
    UNCOMPRESS_FILE(name, copy);
    path = copy.PATH();
  }
  Transfer_Channel in;
  if (!CHANNEL_OPEN_READ(in, path, name, format == Transfer_Ascii)) UNABLE_TO_OPEN(name, std::strerror(in.error));
  Working_File uncompressed;
  std::string write_path = target.PATH();
  if (options.Input_Compressed || outputs.empty()) {
    CREATE_WORKING_COPY(uncompressed, 2);
    write_path = uncompressed.PATH();
  }
  Transfer_Channel out;
  if (!CHANNEL_OPEN_WRITE(out, write_path, name, format == Transfer_Ascii)) UNABLE_TO_OPEN(name, std::strerror(out.error));
  Removal result = format == Transfer_Ascii ? remove_text(in, out, outputs) : remove_binary(in, out, format, outputs);
  CHANNEL_CLOSE(in);
  if (!CHANNEL_CLOSE(out)) write_failure(name, out.error);
  // Nothing to replace: the guards delete the working files.
  if (result.removed == 0 || result.removed != static_cast<std::int64_t>(outputs.size()) ||
      result.removed == result.total)
    return result;
  if (options.Input_Compressed) COMPRESS_FILE(uncompressed, target);
  COMMIT_REPLACEMENT(target);
  return result;
}

// Reports what made a removal impossible (numbers asked for that name no output of the file,
// or every output of the file); true when the removal was refused. The run then ends with exit code 1.
bool refused(const std::string& name, const std::vector<std::int32_t>& asked, const Removal& result) {
  const std::string held = " (" + std::to_string(result.total) + " output" + (result.total == 1 ? ")" : "s)");
  bool refuse = false;
  for (std::int32_t r : asked)
    if (r < 1 || r > result.total) {
      CONSOLE_LINE(" Output " + std::to_string(r) + " does not exist in file: " + name + held);
      refuse = true;
    }
  if (!refuse && result.removed == result.total) {
    CONSOLE_LINE(" Unable to remove every output of file: " + name + held);
    refuse = true;
  }
  if (refuse) Transfer_Parse.Run_Failed = true;
  return refuse;
}

bool missing(const std::string& name) {
  if (FILE_EXISTS(name)) return false;
  if (!Transfer_Options.Whole_Set) REPORT_NOT_FOUND(name, false);
  return true;
}

}  // namespace

void SET_TEMPORARY_FILE_NAMES() {
  const std::string folder = NAME_WITHOUT_BLANKS(Temporary_Directory);
  // Named working files that a killed run left behind (a live run marks its own).
  REMOVE_ABANDONED_FILES(folder.substr(0, folder.rfind('/') + 1), [](std::string_view name) {
    return name.starts_with("Transfer_ZELTRA_0") && name.ends_with(".tmp");
  });
  for (std::size_t slot = 0; slot < Temporary_File_Names.size(); ++slot) {
    const std::string stem = folder + "Transfer_ZELTRA_0" + std::to_string(slot);
    Temporary_File_Names[slot] = stem + "_" + CHECK_FILE(stem, 3, "tmp") + ".tmp";
  }
}

void KICK_OUT_OUTPUT(std::string_view name_given, std::int32_t& k, bool report) {
  const std::string name = NAME_WITHOUT_BLANKS(name_given);
  if (missing(name)) return;
  if (report) {
    std::string line = " Result  : " + name;
    SMART_CONCATENATION(line, "(");
    if (FORMAT_WORD(Transfer_Options.Input_Format).empty()) TRANSFER_STOP({" Unrecognised input format!"});
    SMART_CONCATENATION(line, FORMAT_WORD(Transfer_Options.Input_Format));
    if (Transfer_Options.Input_Compressed) SMART_CONCATENATION(line, "compressed");
    line += ")";
    CONSOLE_LINE(line.substr(0, 200));
  }
  std::vector<std::int32_t> outputs;
  if (k >= 1) outputs.push_back(k);
  const Removal result = remove_outputs(name, outputs);
  if (refused(name, {k}, result)) {
    k = 0;
    return;
  }
  // The number of outputs that followed the removed one.
  k = static_cast<std::int32_t>(std::max<std::int64_t>(0, result.total - k));
}

void SEQUENTIAL_KICK_OUT(std::string_view name_given) {
  const std::string name = NAME_WITHOUT_BLANKS(name_given);
  if (missing(name)) return;
  std::vector<std::int32_t> outputs = Results_To_Kick_Out;
  std::sort(outputs.begin(), outputs.end());
  outputs.erase(std::unique(outputs.begin(), outputs.end()), outputs.end());
  // A number below 1 names no output: the file is only counted, for the report.
  if (!outputs.empty() && outputs.front() < 1) outputs.clear();
  const Removal result = remove_outputs(name, outputs);
  if (refused(name, Results_To_Kick_Out, result)) return;
  CONSOLE_LINE(" Output(s) removed from file: " + name);
}
