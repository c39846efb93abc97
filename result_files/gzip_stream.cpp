// gzip_stream: gzip on file descriptors and zlib.
//
// Reads and writes: the files named by the callers; the working file that replaces an output
// (File_Replacement).
// Module state: the one appendable stream (descriptor, deflate state, CRC-32, size, output
// buffer, saved tail) and the text of the last failure.
//
// Every gzip file written here ends with a full flush, then the empty final block 03 00, the
// CRC-32 and the size: its last 10 bytes (the tail) give the size without inflating, and a
// later pass can overwrite them with more data.
//
// Status codes:
//   1 record size <= 0              13 deflate failed (append)       25 no copy buffer
//   2 bad operation or length       14 write failed (append)         26 plain file won't open
//   3 file won't open               15 close without stream          27 gzip file won't open
//   4 first 3 bytes unreadable      16 deflate failed (full flush)   28 read/write failed
//   5 no 1F 8B 08 magic             17 deflate failed (finish)       30 closing the plain file
//   6 shorter than 20 bytes         18 write failed (close)          31 final full flush
//   7 tail unreadable               19 last data/trailer write       32 closing the gzip file
//   8 tail not 03 00                20 closing the file failed       33 putting the output in place
//   9 no output buffer              21/22/23 empty file create/write/close
//  10 deflate set-up failed         24 (unused)                      34/35/36 no name copy
//  11 cannot seek to the tail                                     37 stream unreadable (count)
// A failure of operations 1..6 other than 3 adds the tail restore's code: 50 restored,
// 100 nothing to restore, 200 writing the tail back failed, 300 cutting the file failed.

#include "result_files/gzip_stream.h"

#include <fcntl.h>     // open
#include <unistd.h>    // read, write, lseek, ftruncate, fsync, close, dup
#include <zlib.h>

#include <algorithm>
#include <cerrno>      // errno
#include <chrono>
#include <cstring>     // std::strerror, std::memcpy
#include <memory>
#include <new>         // std::bad_alloc
#include <thread>      // std::this_thread::sleep_for

#include "result_files/File_Replacement.h"
#include "result_files/Gzip_Size.h"
#include "platform/Io_Fault.h"

namespace {

constexpr int No_File = -666;
constexpr std::size_t Stream_Buffer_Size = 8192;
// Whole-file copies move large result files: big buffers keep them near zlib's own speed.
constexpr std::size_t Copy_Buffer_Size = 256 * 1024;
constexpr int Tail_Size = 10;
constexpr int Last_Pause = 25;
constexpr unsigned char Appendable_Header[10] = {0x1F, 0x8B, 0x08, 0, 0, 0, 0, 0, 0x02, 0x03};

struct Appendable_Stream {
  int fd = No_File;
  z_stream z{};
  bool z_ready = false;
  std::uint32_t crc = 0;
  std::uint32_t size = 0;
  std::unique_ptr<unsigned char[]> buffer;
  std::int64_t tail_offset = -1;
  unsigned char tail[Tail_Size] = {};
  std::string name = "gzip stream";  // for messages
};

Appendable_Stream stream;
std::string last_error;
std::function<void(int)> pause_hook;

int fail(int code, const std::string& name, const std::string& reason) {
  last_error = name + ": " + reason;
  return code;
}
int fail_errno(int code, const std::string& name) { return fail(code, name, std::strerror(errno)); }

// --- boundary calls, each behind the fault seam -------------------------------------------

int io_open(const std::string& name, int flags) {
  if (IO_FAULT_HIT(Io_Kind::Open)) return -1;
  int fd;
  do fd = ::open(name.c_str(), flags | O_CLOEXEC, 0666);
  while (fd < 0 && errno == EINTR);
  return fd;
}

bool io_close(int fd) {
  if (IO_FAULT_HIT(Io_Kind::Close)) {
    ::close(fd);
    errno = EIO;
    return false;
  }
  return ::close(fd) == 0;
}

// Reads up to n bytes; fewer only at the end of the file. -1 on error.
std::int64_t io_read(int fd, void* buffer, std::size_t n) {
  if (IO_FAULT_HIT(Io_Kind::Read)) return -1;
  std::size_t done = 0;
  while (done < n) {
    ssize_t r = ::read(fd, static_cast<char*>(buffer) + done, n - done);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -1;
    if (r == 0) break;
    done += static_cast<std::size_t>(r);
  }
  return static_cast<std::int64_t>(done);
}

// One write call; bytes written, 0 on error (errno kept).
std::int64_t io_write_once(int fd, const void* data, std::size_t n) {
  if (IO_FAULT_HIT(Io_Kind::Write)) return 0;
  ssize_t w = ::write(fd, data, n);
  return w < 0 ? 0 : w;
}

// Flushes the file to disk and closes it; false (errno kept) when either fails.
bool sync_and_close(int fd) {
  bool synced = ::fsync(fd) == 0;
  int saved = errno;
  bool closed = io_close(fd);
  if (!synced) errno = saved;
  return synced && closed;
}

void pause_ms(int ms) {
  if (pause_hook)
    pause_hook(ms);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Writes n bytes; while some are missing, pauses i*i*30 ms (i = 0, 1, ...; the retry counter
// gets i) and writes the rest again, giving up after the pause with i = 25. Returns the bytes
// written.
std::int64_t write_retrying(int fd, const void* data, std::int64_t n, int& retries) {
  const char* bytes = static_cast<const char*>(data);
  std::int64_t done = io_write_once(fd, bytes, static_cast<std::size_t>(n));
  for (int i = 0; done < n; ++i) {
    int saved = errno;
    if (saved == EFBIG) break;  // the file's size limit: no wait makes room
    pause_ms(i * i * 30);
    retries = i;
    errno = saved;
    if (i == Last_Pause) break;
    done += io_write_once(fd, bytes + done, static_cast<std::size_t>(n - done));
  }
  return done;
}

// --- whole-file copies ---------------------------------------------------------------------

// Closes whatever of the input side is still open.
struct Copy_Files {
  int plain = -1;
  gzFile gz = nullptr;
  ~Copy_Files() {
    if (gz) gzclose(gz);
    if (plain >= 0) ::close(plain);
  }
};

std::string gz_reason(gzFile gz) {
  int errnum = Z_OK;
  const char* text = gzerror(gz, &errnum);
  if (errnum == Z_ERRNO) return std::strerror(errno);
  std::string reason = text && *text ? text : "zlib error";
  // zlib names a stream opened on a descriptor "<fd:N>"; the caller adds the file's name.
  if (reason.rfind("<fd:", 0) == 0)
    if (auto colon = reason.find(": "); colon != std::string::npos) reason.erase(0, colon + 2);
  return reason;
}

int compress_copy(const Gzip_Copy_Ends& ends, int out_fd, Copy_Files& f, unsigned char* buffer) {
  f.plain = io_open(ends.input, O_RDONLY);
  if (f.plain < 0) return fail_errno(26, ends.input_label);
  // zlib closes the descriptor it writes through; the working file's own stays open.
  int gz_fd = ::dup(out_fd);
  if (gz_fd < 0 || (f.gz = gzdopen(gz_fd, "wb1")) == nullptr) {
    if (gz_fd >= 0) ::close(gz_fd);
    return fail(27, ends.output_label, "cannot set up compression");
  }
  gzbuffer(f.gz, Copy_Buffer_Size);
  for (;;) {
    std::int64_t n = io_read(f.plain, buffer, Copy_Buffer_Size);
    if (n < 0) return fail_errno(28, ends.input_label);
    if (n == 0) break;
    if (IO_FAULT_HIT(Io_Kind::Write)) return fail_errno(28, ends.output_label);
    if (gzwrite(f.gz, buffer, static_cast<unsigned>(n)) != n) return fail(28, ends.output_label, gz_reason(f.gz));
  }
  int plain = f.plain;
  f.plain = -1;
  if (!io_close(plain)) return fail_errno(30, ends.input_label);
  if (IO_FAULT_HIT(Io_Kind::Write)) return fail_errno(31, ends.output_label);
  if (gzflush(f.gz, Z_FULL_FLUSH) != Z_OK) return fail(31, ends.output_label, gz_reason(f.gz));
  gzFile gz = f.gz;
  f.gz = nullptr;
  int closed = gzclose(gz);
  if (IO_FAULT_HIT(Io_Kind::Close)) closed = Z_ERRNO;
  if (closed != Z_OK) return fail(32, ends.output_label, closed == Z_ERRNO ? std::strerror(errno) : zError(closed));
  return 0;
}

int uncompress_copy(const Gzip_Copy_Ends& ends, int out_fd, Copy_Files& f, unsigned char* buffer, int& retries) {
  // The input is opened and checked before anything is written.
  int in_fd = io_open(ends.input, O_RDONLY);
  if (in_fd < 0) return fail_errno(27, ends.input_label);
  unsigned char magic[2];
  std::int64_t got = ::pread(in_fd, magic, 2, 0);
  if (got != 2 || magic[0] != 0x1F || magic[1] != 0x8B) {
    ::close(in_fd);
    return got < 0 ? fail_errno(28, ends.input_label) : fail(28, ends.input_label, "not in gzip format");
  }
  if ((f.gz = gzdopen(in_fd, "rb")) == nullptr) {
    ::close(in_fd);
    return fail(27, ends.input_label, "cannot set up decompression");
  }
  gzbuffer(f.gz, Copy_Buffer_Size);
  for (;;) {
    if (IO_FAULT_HIT(Io_Kind::Read)) return fail_errno(28, ends.input_label);
    int n = gzread(f.gz, buffer, Copy_Buffer_Size);
    if (n < 0) return fail(28, ends.input_label, gz_reason(f.gz));
    if (n == 0) {
      int errnum = Z_OK;
      gzerror(f.gz, &errnum);
      if (errnum != Z_OK) return fail(28, ends.input_label, gz_reason(f.gz));  // cut short: never a shorter output
      break;
    }
    if (write_retrying(out_fd, buffer, n, retries) != n) return fail_errno(28, ends.output_label);
  }
  gzFile gz = f.gz;
  f.gz = nullptr;
  int closed = gzclose_r(gz);
  if (IO_FAULT_HIT(Io_Kind::Close)) closed = Z_ERRNO;
  if (closed != Z_OK)
    return fail(32, ends.input_label, closed == Z_ERRNO ? std::strerror(errno) : "unexpected end of file");
  return 0;
}

// Copies the input into the open file out_fd.
int copy_into(bool compress, const Gzip_Copy_Ends& ends, int out_fd, int& retries) {
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[Copy_Buffer_Size]);
  if (!buffer) return fail(25, ends.input_label, "out of memory");
  Copy_Files f;
  return compress ? compress_copy(ends, out_fd, f, buffer.get()) : uncompress_copy(ends, out_fd, f, buffer.get(), retries);
}

// Copies input into a working file beside output, which then replaces output in one step.
int copy_file(bool compress, const std::string& input, const std::string& output, int& retries) {
  File_Replacement target;
  if (!target.BEGIN(output)) return fail(compress ? 27 : 26, output, target.REASON());
  if (int code = copy_into(compress, Gzip_Copy_Ends{input, input, output}, target.FD(), retries)) return code;
  if (!target.COMMIT()) return fail(33, output, target.REASON());
  return 0;
}

// --- appendable stream ---------------------------------------------------------------------

std::string name_from(const void* data, std::int64_t length) {
  const char* text = static_cast<const char*>(data);
  std::size_t n = 0;
  const std::size_t limit = length > 0 ? static_cast<std::size_t>(length) : 0;
  while (n < limit && text[n] != '\0') ++n;
  return std::string(text, n);
}

std::uint32_t little_endian_word(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void put_little_endian_word(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Opens name, checks the magic and the tail form; on success fd is open and the tail read.
int open_checked(const std::string& name, int flags, int& fd, std::int64_t& tail_offset, unsigned char* tail) {
  fd = io_open(name, flags);
  if (fd < 0) return fail_errno(3, name);
  auto give_up = [&](int code, const std::string& reason) {
    ::close(fd);
    fd = -1;
    return fail(code, name, reason);
  };
  unsigned char magic[3];
  std::int64_t got = io_read(fd, magic, 3);
  if (got != 3) return give_up(4, got < 0 ? std::strerror(errno) : "too short");
  if (magic[0] != 0x1F || magic[1] != 0x8B || magic[2] != 0x08) return give_up(5, "not in gzip format");
  off_t end = IO_FAULT_HIT(Io_Kind::Other) ? -1 : ::lseek(fd, -Tail_Size, SEEK_END);
  if (end < Tail_Size) return give_up(6, "shorter than 20 bytes");
  got = io_read(fd, tail, Tail_Size);
  if (got != Tail_Size) return give_up(7, got < 0 ? std::strerror(errno) : "tail cut short");
  if (tail[0] != 0x03 || tail[1] != 0x00) return give_up(8, "does not end with an empty final block");
  tail_offset = end;
  return 0;
}

void close_stream() {
  if (stream.z_ready) deflateEnd(&stream.z);
  stream.z_ready = false;
  stream.buffer.reset();
  if (stream.fd != No_File) ::close(stream.fd);
  stream.fd = No_File;
  stream.tail_offset = -1;
}

// Writes the filled part of the buffer and starts it again; false when not all was written.
bool write_buffer(int& retries) {
  std::int64_t used = static_cast<std::int64_t>(Stream_Buffer_Size - stream.z.avail_out);
  if (write_retrying(stream.fd, stream.buffer.get(), used, retries) != used) return false;
  stream.z.next_out = stream.buffer.get();
  stream.z.avail_out = Stream_Buffer_Size;
  return true;
}

int start_deflate(const std::string& name) {
  stream.buffer.reset(new (std::nothrow) unsigned char[Stream_Buffer_Size]);
  if (!stream.buffer) return fail(9, name, "out of memory");
  stream.z = z_stream{};
  if (deflateInit2(&stream.z, 1, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    return fail(10, name, "cannot set up compression");
  stream.z_ready = true;
  stream.z.next_out = stream.buffer.get();
  stream.z.avail_out = Stream_Buffer_Size;
  return 0;
}

int open_for_append(const std::string& name) {
  if (stream.fd != No_File) return fail(3, name, "another appendable file is open");
  int fd;
  std::int64_t offset;
  unsigned char tail[Tail_Size];
  if (int code = open_checked(name, O_RDWR, fd, offset, tail)) return code;
  stream.fd = fd;
  stream.name = name;
  stream.tail_offset = offset;
  std::memcpy(stream.tail, tail, Tail_Size);
  stream.crc = little_endian_word(tail + 2);
  stream.size = little_endian_word(tail + 6);
  if (IO_FAULT_HIT(Io_Kind::Other) || ::lseek(fd, offset, SEEK_SET) != offset) return fail_errno(11, name);
  return start_deflate(name);
}

int open_new(const std::string& name) {
  if (stream.fd != No_File) return fail(3, name, "another appendable file is open");
  int fd = io_open(name, O_WRONLY | O_CREAT | O_TRUNC);
  if (fd < 0) return fail_errno(3, name);
  stream.fd = fd;
  stream.name = name;
  stream.tail_offset = -1;
  stream.crc = 0;
  stream.size = 0;
  if (int code = start_deflate(name)) return code;
  std::memcpy(stream.buffer.get(), Appendable_Header, sizeof Appendable_Header);
  stream.z.next_out += sizeof Appendable_Header;
  stream.z.avail_out -= sizeof Appendable_Header;
  return 0;
}

int append(const void* data, std::int64_t length, int& retries) {
  if (stream.fd == No_File) return fail(12, "gzip stream", "append without an open file");
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  while (length > 0) {
    uInt chunk = static_cast<uInt>(std::min<std::int64_t>(length, 1 << 30));
    stream.crc = static_cast<std::uint32_t>(crc32(stream.crc, bytes, chunk));
    stream.size += static_cast<std::uint32_t>(chunk);
    stream.z.next_in = const_cast<Bytef*>(bytes);
    stream.z.avail_in = chunk;
    while (stream.z.avail_in > 0) {
      if (stream.z.avail_out < 2 && !write_buffer(retries)) return fail_errno(14, stream.name);
      if (deflate(&stream.z, Z_NO_FLUSH) == Z_STREAM_ERROR) return fail(13, stream.name, "compression failed");
    }
    bytes += chunk;
    length -= chunk;
  }
  return 0;
}

int close_appendable(int& retries) {
  if (stream.fd == No_File) return fail(15, "gzip stream", "close without an open file");
  for (;;) {
    if (stream.z.avail_out < Tail_Size && !write_buffer(retries)) return fail_errno(18, stream.name);
    int r = deflate(&stream.z, Z_FULL_FLUSH);
    if (r != Z_OK && r != Z_BUF_ERROR) return fail(16, stream.name, "compression failed");
    if (stream.z.avail_out >= Tail_Size) break;
  }
  for (;;) {
    if (stream.z.avail_out < Tail_Size && !write_buffer(retries)) return fail_errno(18, stream.name);
    int r = deflate(&stream.z, Z_FINISH);
    if (r == Z_STREAM_END) break;
    if (r != Z_OK && r != Z_BUF_ERROR) return fail(17, stream.name, "compression failed");
  }
  deflateEnd(&stream.z);
  stream.z_ready = false;
  if (stream.z.avail_out < 8 && !write_buffer(retries)) return fail_errno(18, stream.name);
  put_little_endian_word(stream.z.next_out, stream.crc);
  put_little_endian_word(stream.z.next_out + 4, stream.size);
  stream.z.next_out += 8;
  stream.z.avail_out -= 8;
  if (!write_buffer(retries)) return fail_errno(19, stream.name);
  stream.buffer.reset();
  stream.tail_offset = -1;
  int fd = stream.fd;
  stream.fd = No_File;
  if (!sync_and_close(fd)) return fail_errno(20, stream.name);
  return 0;
}

// Puts the saved tail back so that a failed writing pass leaves the file as it was.
int restore_tail(int& retries) {
  if (stream.fd == No_File || stream.tail_offset < 0) {
    close_stream();  // a stream without a saved tail cannot go on after a failure
    return 100;
  }
  int code = 50;
  if (::lseek(stream.fd, stream.tail_offset, SEEK_SET) != stream.tail_offset ||
      write_retrying(stream.fd, stream.tail, Tail_Size, retries) != Tail_Size)
    code = 200;
  else if (IO_FAULT_HIT(Io_Kind::Other) || ::ftruncate(stream.fd, stream.tail_offset + Tail_Size) != 0)
    code = 300;
  close_stream();
  return code;
}

int create_empty(const std::string& name, int& retries) {
  int fd = io_open(name, O_WRONLY | O_CREAT | O_TRUNC);
  if (fd < 0) return fail_errno(21, name);
  unsigned char empty[20] = {};
  std::memcpy(empty, Appendable_Header, sizeof Appendable_Header);
  empty[10] = 0x03;
  if (write_retrying(fd, empty, sizeof empty, retries) != static_cast<std::int64_t>(sizeof empty)) {
    int code = fail_errno(22, name);
    ::close(fd);
    return code;
  }
  if (!io_close(fd)) return fail_errno(23, name);
  return 0;
}

int check_file(const std::string& name) {
  int fd;
  std::int64_t offset;
  unsigned char tail[Tail_Size];
  if (int code = open_checked(name, O_RDONLY, fd, offset, tail)) return code;
  if (!io_close(fd)) return fail_errno(20, name);
  return 0;
}

}  // namespace

int gzip_dispatch(int operation, std::int64_t length, const void* data, int& retries) {
  retries = 0;
  last_error.clear();
  if (operation < Gzip_Create_Empty || operation > Gzip_Uncompress_In_Place) return 2;
  if (operation <= Gzip_Close && length <= 0) return 2;
  int code = 0;
  try {
    if (operation == Gzip_Append) {
      code = append(data, length, retries);
    } else {
      const std::string name = name_from(data, length);
      switch (operation) {
        case Gzip_Create_Empty:  // write an empty appendable file
          code = create_empty(name, retries);
          break;
        case Gzip_Check:  // header and tail only
          code = check_file(name);
          break;
        case Gzip_Open_Append:  // continue after the saved tail
          code = open_for_append(name);
          break;
        case Gzip_Open_New:  // start a new file
          code = open_new(name);
          break;
        case Gzip_Close:  // full flush, finish, trailer
          code = close_appendable(retries);
          break;
        case Gzip_Compress_In_Place:
        case Gzip_Uncompress_In_Place:
          // The working file takes the name in one rename: the original is never missing.
          code = copy_file(operation == Gzip_Compress_In_Place, name, name, retries);
          break;
        default:
          return 2;
      }
    }
  } catch (const std::bad_alloc&) {
    return 34;
  }
  if (code != 0 && code != 3 && operation <= Gzip_Close) code += restore_tail(retries);
  return code;
}

int gzip_append_word(int& retries, const void* data) { return gzip_dispatch(Gzip_Append, 4, data, retries); }

int gzip_append_words(int& retries, std::int64_t count, const void* data) {
  return gzip_dispatch(Gzip_Append, count * 4, data, retries);
}

int gzip_named(int operation, std::int64_t input_length, const char* input, std::int64_t output_length,
               const char* output, int& retries) {
  retries = 0;
  last_error.clear();
  std::string in, out;
  try {
    in = name_from(input, input_length);
  } catch (const std::bad_alloc&) {
    return 35;
  }
  try {
    out = name_from(output, output_length);
  } catch (const std::bad_alloc&) {
    return 36;
  }
  return copy_file(operation == Gzip_Compress_In_Place, in, out, retries);
}

int gzip_copy_into(int operation, const Gzip_Copy_Ends& ends, int out_fd, int& retries) {
  retries = 0;
  last_error.clear();
  try {
    return copy_into(operation == Gzip_Compress_In_Place, ends, out_fd, retries);
  } catch (const std::bad_alloc&) {
    return 34;
  }
}

int gzip_count_records(std::int64_t length, const char* name, std::int64_t record_size, std::int64_t& count) {
  last_error.clear();
  if (record_size <= 0) return 1;
  const std::string file = name_from(name, length);
  int fd;
  std::int64_t offset;
  unsigned char tail[Tail_Size];
  if (int code = open_checked(file, O_RDONLY, fd, offset, tail)) return code;
  std::string reason;
  const std::int64_t size = gzip_uncompressed_size(fd, file, offset, little_endian_word(tail + 6), reason);
  if (size < 0) {
    ::close(fd);
    return fail(37, file, reason);
  }
  if (!io_close(fd)) return fail_errno(20, file);
  count = size / record_size;
  return 0;
}

const std::string& gzip_last_error() { return last_error; }

void gzip_set_pause(std::function<void(int)> pause) { pause_hook = std::move(pause); }
