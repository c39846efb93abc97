// Shared_Block.cpp - POSIX shm stand-in for named shared memory (see Shared_Block.h).
// Reads and writes: shm objects "/<name>.<uid>" in /dev/shm. Changes no global state.
#include "platform/Shared_Block.h"

#include <fcntl.h>     // O_CREAT, O_EXCL, O_RDWR
#include <sys/mman.h>  // shm_open, mmap
#include <sys/stat.h>  // fstat
#include <unistd.h>    // ftruncate, close

#include <cerrno>   // errno
#include <cstring>  // std::strerror
#include <utility>  // std::exchange

#include "platform/Io_Fault.h"
#include "platform/Name_Scope.h"

namespace platform {

std::string SHM_NAME(const std::string& block_name) {
  return "/" + block_name + NAME_SCOPE();
}

static std::string reason(const char* call) { return std::string(call) + ": " + std::strerror(errno); }

Shared_Block::Shared_Block(Shared_Block&& other) noexcept
    : view_(std::exchange(other.view_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      name_(std::move(other.name_)),
      error_(std::move(other.error_)) {}

Shared_Block& Shared_Block::operator=(Shared_Block&& other) noexcept {
  if (this != &other) {
    UNMAP();
    view_ = std::exchange(other.view_, nullptr);
    size_ = std::exchange(other.size_, 0);
    name_ = std::move(other.name_);
    error_ = std::move(other.error_);
  }
  return *this;
}

Shared_Block::~Shared_Block() { UNMAP(); }

Block_Status Shared_Block::CREATE(const std::string& block_name, std::size_t size) {
  return map_new(block_name, size, true);
}

Block_Status Shared_Block::CREATE_OR_TAKE(const std::string& block_name, std::size_t size) {
  return map_new(block_name, size, false);
}

// Creates (exclusively or not) and maps; a new object is zero-filled by ftruncate.
Block_Status Shared_Block::map_new(const std::string& block_name, std::size_t size, bool exclusive) {
  UNMAP();
  name_ = block_name;
  error_.clear();
  const std::string shm = SHM_NAME(block_name);
  int flags = O_RDWR | O_CREAT | (exclusive ? O_EXCL : 0);
  int fd = IO_FAULT_HIT(Io_Kind::Open) ? -1 : shm_open(shm.c_str(), flags, 0600);
  if (fd < 0) {
    if (errno == EEXIST) return Block_Status::Exists;
    error_ = reason("shm_open");
    return Block_Status::Create_Failed;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || (static_cast<std::size_t>(st.st_size) < size &&
                              (IO_FAULT_HIT(Io_Kind::Other) || ftruncate(fd, static_cast<off_t>(size)) != 0))) {
    error_ = reason("ftruncate");
    close(fd);
    shm_unlink(shm.c_str());
    return Block_Status::Create_Failed;
  }
  void* v = IO_FAULT_HIT(Io_Kind::Map) ? MAP_FAILED : mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  int map_errno = errno;
  close(fd);
  if (v == MAP_FAILED) {
    errno = map_errno;
    error_ = reason("mmap");
    shm_unlink(shm.c_str());
    return Block_Status::Map_Failed;
  }
  view_ = v;
  size_ = size;
  return Block_Status::Ok;
}

Block_Status Shared_Block::OPEN(const std::string& block_name, std::size_t size) {
  UNMAP();
  name_ = block_name;
  error_.clear();
  const std::string shm = SHM_NAME(block_name);
  int fd = IO_FAULT_HIT(Io_Kind::Open) ? -1 : shm_open(shm.c_str(), O_RDWR, 0);
  if (fd < 0) {
    error_ = reason("shm_open");
    return Block_Status::Create_Failed;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || static_cast<std::size_t>(st.st_size) < size) {
    if (errno == 0) errno = EINVAL;
    error_ = "fstat: block " + block_name + " is smaller than " + std::to_string(size) + " bytes";
    close(fd);
    return Block_Status::Map_Failed;
  }
  void* v = IO_FAULT_HIT(Io_Kind::Map) ? MAP_FAILED : mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  int map_errno = errno;
  close(fd);
  if (v == MAP_FAILED) {
    errno = map_errno;
    error_ = reason("mmap");
    return Block_Status::Map_Failed;
  }
  view_ = v;
  size_ = size;
  return Block_Status::Ok;
}

bool Shared_Block::UNMAP() {
  if (view_ == nullptr) return true;
  void* v = std::exchange(view_, nullptr);
  std::size_t n = std::exchange(size_, 0);
  if (munmap(v, n) != 0) {
    error_ = reason("munmap");
    return false;
  }
  return true;
}

bool Shared_Block::REMOVE() {
  bool ok = UNMAP();
  if (name_.empty()) return ok;
  if (shm_unlink(SHM_NAME(name_).c_str()) != 0) {
    error_ = reason("shm_unlink");
    ok = false;
  }
  name_.clear();
  return ok;
}

bool UNLINK_BLOCK(const std::string& block_name) {
  return shm_unlink(SHM_NAME(block_name).c_str()) == 0;
}

}  // namespace platform
