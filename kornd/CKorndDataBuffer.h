// CKorndDataBuffer.h - a window's data buffer: the bytes of a bitmap or point list that arrive
// after "B" 20 or a point-list "N", used like a byte vector.
//
// A buffer larger than the data area lives in a sealed memory file (platform::Shared_Buffer)
// whose descriptor goes back with the reply that made it, so our client writes the whole array
// in place and sends no "B" 36 pieces; "B" 36 keeps filling it for clients that use pieces.
// The file is kept for the window's next transfer and reused while it is large enough, for
// small buffers too. A small buffer of a window without a file, or one whose file could not be
// made, is plain memory and goes with nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Shared_Buffer.h"

class CKorndDataBuffer {
 public:
  // A zero-filled buffer of n bytes; std::bad_alloc when there is no memory for it.
  void assign(std::size_t n, std::uint8_t zero);
  // No buffer (the shared file stays for reuse).
  void clear();
  // Gives back plain memory; the shared file stays for reuse.
  void shrink_to_fit();
  std::uint8_t* data();
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // The descriptor of a shared buffer made since the last call, to go with the reply; else -1.
  int TakeNewShared();

 private:
  platform::Shared_Buffer shared_;
  std::vector<std::uint8_t> plain_;
  std::size_t size_ = 0;
  bool in_shared_ = false;
  bool new_shared_ = false;
};
