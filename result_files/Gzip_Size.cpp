// Gzip_Size: sizes beyond the trailer's 32 bits.
//
// Module state: the last size learnt of each file, by name and file identity.

#include "result_files/Gzip_Size.h"

#include <sys/stat.h>  // fstat
#include <unistd.h>    // pread
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

namespace {

// Deflate never packs more than 1032 bytes of data into one byte (258-byte matches in at
// least 2 bits): a stream of n bytes holds at most 1032 n.
constexpr std::int64_t Deflate_Most_Per_Byte = 1032;
constexpr std::int64_t Trailer_Span = std::int64_t{1} << 32;
constexpr std::size_t Count_Buffer_Size = 256 * 1024;
constexpr int Tail_Size = 10;

struct Known_Size {
  dev_t device = 0;
  ino_t inode = 0;
  std::int64_t tail_offset = 0;
  std::int64_t size = 0;
};

std::map<std::string, Known_Size> known;
std::int64_t streams_counted = 0;

bool read_at(int fd, std::int64_t offset, void* buffer, std::size_t n, ssize_t& got) {
  do got = ::pread(fd, buffer, n, offset);
  while (got < 0 && errno == EINTR);
  return got >= 0;
}

// Offset of the deflate data after the gzip header, or -1.
std::int64_t deflate_start(int fd, std::string& reason) {
  enum : unsigned char { Header_Crc = 2, Extra = 4, Name = 8, Comment = 16 };
  unsigned char head[10];
  ssize_t got;
  if (!read_at(fd, 0, head, sizeof head, got) || got != static_cast<ssize_t>(sizeof head)) {
    reason = got < 0 ? std::strerror(errno) : "header cut short";
    return -1;
  }
  std::int64_t offset = sizeof head;
  const unsigned char flags = head[3];
  if (flags & Extra) {
    unsigned char length[2];
    if (!read_at(fd, offset, length, 2, got) || got != 2) {
      reason = "header cut short";
      return -1;
    }
    offset += 2 + (length[0] | length[1] << 8);
  }
  for (unsigned char text : {Name, Comment}) {
    if (!(flags & text)) continue;
    char c = 1;
    while (c != 0) {
      if (!read_at(fd, offset++, &c, 1, got) || got != 1) {
        reason = "header cut short";
        return -1;
      }
    }
  }
  if (flags & Header_Crc) offset += 2;
  return offset;
}

// Inflates the whole stream, counting what comes out. Raw inflate: the size is all that is
// wanted, and the CRC would cost more than the inflating; the trailer's size still has to agree.
std::int64_t count_through(int fd, std::uint32_t trailer_size, std::string& reason) {
  ++streams_counted;
  std::int64_t offset = deflate_start(fd, reason);
  if (offset < 0) return -1;
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
    reason = "cannot set up inflate";
    return -1;
  }
  auto in = std::make_unique<unsigned char[]>(Count_Buffer_Size);
  auto out = std::make_unique<unsigned char[]>(Count_Buffer_Size);
  std::int64_t total = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    if (z.avail_in == 0) {
      ssize_t got;
      if (!read_at(fd, offset, in.get(), Count_Buffer_Size, got) || got == 0) {
        reason = got < 0 ? std::strerror(errno) : "compressed data cut short";
        inflateEnd(&z);
        return -1;
      }
      offset += got;
      z.next_in = in.get();
      z.avail_in = static_cast<uInt>(got);
    }
    z.next_out = out.get();
    z.avail_out = static_cast<uInt>(Count_Buffer_Size);
    status = inflate(&z, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) {
      reason = z.msg ? z.msg : "compressed data corrupt";
      inflateEnd(&z);
      return -1;
    }
    total += static_cast<std::int64_t>(Count_Buffer_Size - z.avail_out);
  }
  inflateEnd(&z);
  if (static_cast<std::uint32_t>(total) != trailer_size) {
    reason = "compressed data and trailer disagree";
    return -1;
  }
  return total;
}

}  // namespace

bool gzip_trailer_settles(std::int64_t known_file_size, std::int64_t file_size) {
  // An append overwrites the old tail, so the new data lies in the bytes from there on.
  const std::int64_t new_bytes = file_size - known_file_size + Tail_Size;
  return new_bytes <= (Trailer_Span - 1) / Deflate_Most_Per_Byte;
}

std::int64_t gzip_uncompressed_size(int fd, const std::string& name, std::int64_t tail_offset,
                                    std::uint32_t trailer_size, std::string& reason) {
  struct stat st{};
  if (::fstat(fd, &st) != 0) {
    reason = std::strerror(errno);
    return -1;
  }
  const std::int64_t file_size = tail_offset + Tail_Size;
  Known_Size base;  // a new file: nothing known, 0 bytes
  base.tail_offset = -Tail_Size;
  auto it = known.find(name);
  if (it != known.end() && it->second.device == st.st_dev && it->second.inode == st.st_ino &&
      it->second.tail_offset <= tail_offset)
    base = it->second;
  std::int64_t size;
  if (gzip_trailer_settles(0, file_size)) {
    size = trailer_size;
  } else if (gzip_trailer_settles(base.tail_offset + Tail_Size, file_size)) {
    // The smallest size at or above the known one that the trailer allows.
    const std::uint32_t grown = trailer_size - static_cast<std::uint32_t>(base.size);
    size = base.size + grown;
  } else {
    size = count_through(fd, trailer_size, reason);
    if (size < 0) return -1;
  }
  known[name] = {st.st_dev, st.st_ino, tail_offset, size};
  return size;
}

std::int64_t gzip_streams_counted() { return streams_counted; }
