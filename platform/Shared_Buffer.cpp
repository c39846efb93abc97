// Shared_Buffer.cpp - sealed memory files handed over the request channel (see Shared_Buffer.h).
#include "platform/Shared_Buffer.h"

#include <fcntl.h>     // fcntl, F_ADD_SEALS, F_SEAL_*
#include <sys/mman.h>  // memfd_create, mmap
#include <sys/stat.h>  // fstat
#include <unistd.h>    // ftruncate, close

#include <cerrno>
#include <cstring>  // std::strerror

#include "platform/Io_Fault.h"

namespace platform {

static std::string reason(const char* call) { return std::string(call) + ": " + std::strerror(errno); }

Shared_Buffer::~Shared_Buffer() { RELEASE(); }

void Shared_Buffer::RELEASE() {
  if (view_ != nullptr) munmap(view_, size_);
  if (fd_ >= 0) close(fd_);
  view_ = nullptr;
  size_ = 0;
  fd_ = -1;
  device_ = 0;
  inode_ = 0;
}

bool Shared_Buffer::map(int fd, std::size_t size) {
  void* view = IO_FAULT_HIT(Io_Kind::Map) ? MAP_FAILED : mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (view == MAP_FAILED) {
    error_ = reason("mmap");
    return false;
  }
  view_ = view;
  size_ = size;
  return true;
}

bool Shared_Buffer::CREATE(std::size_t size) {
  RELEASE();
  error_.clear();
  if (size == 0) {
    error_ = "memfd: empty buffer";
    return false;
  }
  const int fd = IO_FAULT_HIT(Io_Kind::Open) ? -1 : memfd_create("kornd-data", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (fd < 0) {
    error_ = reason("memfd_create");
    return false;
  }
  const bool sized = ftruncate(fd, static_cast<off_t>(size)) == 0 &&
                     fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) == 0;
  if (!sized) error_ = reason("memfd size");
  if (!sized || !map(fd, size)) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool Shared_Buffer::ADOPT(int fd, std::size_t size) {
  error_.clear();
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0) {
    error_ = fd < 0 ? "no buffer" : reason("fstat");
    if (fd >= 0) close(fd);
    return false;
  }
  // The file mapped already: its seals were checked then and cannot be taken off.
  const std::size_t length = static_cast<std::size_t>(st.st_size);
  if (view_ != nullptr && st.st_dev == device_ && st.st_ino == inode_ && length == size_ && size > 0 && size <= length) {
    close(fd);
    return true;
  }
  const int seals = fcntl(fd, F_GET_SEALS);
  const bool usable = seals >= 0 && (seals & F_SEAL_SHRINK) != 0 && st.st_size >= 0 &&
                      static_cast<std::size_t>(st.st_size) >= size && size > 0;
  if (!usable) {
    error_ = "buffer not sealed or shorter than " + std::to_string(size) + " bytes";
    close(fd);
    return false;
  }
  RELEASE();
  const bool mapped = map(fd, length);
  close(fd);  // the mapping keeps the file
  if (!mapped) return false;
  device_ = st.st_dev;
  inode_ = st.st_ino;
  return true;
}

}  // namespace platform
