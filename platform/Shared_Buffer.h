// Shared_Buffer.h - an anonymous memory file (memfd) of a fixed size that one side of the
// request channel creates and hands to the other with a reply, so bulk data crosses in place.
//
// The creator seals the file against shrinking and growing before it leaves the process: the
// receiver can never cut it under the creator's mapping (a read past a cut would kill the
// process). The receiver maps it only when it is sealed and holds the size it was told.
// Changes no global state.
#pragma once

#include <sys/types.h>  // dev_t, ino_t

#include <cstddef>
#include <string>

namespace platform {

class Shared_Buffer {
 public:
  Shared_Buffer() = default;
  Shared_Buffer(const Shared_Buffer&) = delete;
  Shared_Buffer& operator=(const Shared_Buffer&) = delete;
  ~Shared_Buffer();

  // A new zero-filled, sealed file of `size` (> 0) bytes, mapped read-write; false with error().
  bool CREATE(std::size_t size);
  // Maps a file received from the other side when it is sealed against shrinking and holds at
  // least `size` bytes; false otherwise. Takes the descriptor: it is closed either way. The file
  // already mapped is kept when `fd` names it again.
  bool ADOPT(int fd, std::size_t size);
  // Unmaps and closes.
  void RELEASE();

  // The creator's descriptor, to hand over; -1 on the receiving side.
  int fd() const { return fd_; }
  void* view() const { return view_; }
  std::size_t size() const { return size_; }
  const std::string& error() const { return error_; }

 private:
  bool map(int fd, std::size_t size);
  void* view_ = nullptr;
  std::size_t size_ = 0;
  int fd_ = -1;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  std::string error_;
};

}  // namespace platform
