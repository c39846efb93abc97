// Test support: a binary result file whose output records are 2^31 bytes or more, written
// sparse (only the framing, the time and the count take disk space).
#pragma once

#include <fcntl.h>   // open
#include <unistd.h>  // pwrite, ftruncate, close

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Payload length of a record of cells values: 8 + 4n single, 12 + 8n double precision.
inline std::uint64_t SPARSE_PAYLOAD(std::int64_t cells, bool dual) {
  return dual ? 12 + 8 * static_cast<std::uint64_t>(cells) : 8 + 4 * static_cast<std::uint64_t>(cells);
}

// Writes one record per time, values all zero; false when the file cannot be written.
inline bool WRITE_SPARSE_RESULTS(const std::string& name, std::int32_t cells, bool dual,
                                 const std::vector<double>& times) {
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const std::uint64_t payload = SPARSE_PAYLOAD(cells, dual);
  const auto length = static_cast<std::uint32_t>(payload);
  bool ok = payload == length;
  std::uint64_t at = 0;
  for (double time : times) {
    unsigned char head[16];
    std::memcpy(head, &length, 4);
    std::size_t size = 4;
    if (dual) {
      std::memcpy(head + size, &time, 8);
      size += 8;
    } else {
      const auto single = static_cast<float>(time);
      std::memcpy(head + size, &single, 4);
      size += 4;
    }
    std::memcpy(head + size, &cells, 4);
    size += 4;
    ok = ok && ::pwrite(fd, head, size, static_cast<off_t>(at)) == static_cast<ssize_t>(size) &&
         ::pwrite(fd, &length, 4, static_cast<off_t>(at + 4 + payload)) == 4;
    at += payload + 8;
  }
  ok = ok && ::ftruncate(fd, static_cast<off_t>(at)) == 0;
  return ::close(fd) == 0 && ok;
}
