// Gzip_Size: the uncompressed size of an appendable gzip file in 64 bits.
//
// The trailer keeps the size modulo 2^32 only. A file too short to hold 4 GiB of data, or one
// that grew too little since its size was last known, is settled by the trailer; otherwise the
// stream is inflated once and the size kept for the next call.
#pragma once

#include <cstdint>
#include <string>

// Size of the data of the gzip file open on fd, whose tail (the last 10 bytes, trailer
// included) starts at tail_offset and whose trailer says trailer_size. Returns -1 when the
// stream cannot be read through; reason then says why.
std::int64_t gzip_uncompressed_size(int fd, const std::string& name, std::int64_t tail_offset,
                                    std::uint32_t trailer_size, std::string& reason);

// Whether the trailer alone settles the size: the data that can have been added since
// known_size (at known_file_size bytes of file) is under 4 GiB. A new file counts from 0 bytes.
bool gzip_trailer_settles(std::int64_t known_file_size, std::int64_t file_size);

// Test seam: how many times a stream was inflated to learn its size.
std::int64_t gzip_streams_counted();
