// CKorndDataBuffer.cpp - a window's data buffer in shared or plain memory (see CKorndDataBuffer.h).
#include "kornd/CKorndDataBuffer.h"

#include <cstring>  // std::memset
#include <new>      // std::bad_alloc

#include "platform/Channel_Blocks.h"

void CKorndDataBuffer::assign(std::size_t n, std::uint8_t zero) {
  clear();
  // One data area's worth goes in one "B" 36 anyway: a new file would cost more than it saves,
  // but a file the window already has saves the client that request.
  if (n > channel::Data_Size || (n > 0 && shared_.size() >= n)) {
    if (shared_.size() >= n) {
      std::memset(shared_.view(), zero, n);
      in_shared_ = true;
    } else {
      in_shared_ = shared_.CREATE(n);  // a new file is zero-filled
    }
    if (in_shared_) {
      plain_.clear();
      plain_.shrink_to_fit();
      new_shared_ = true;
      size_ = n;
      return;
    }
  }
  plain_.assign(n, zero);  // throws std::bad_alloc
  size_ = n;
}

void CKorndDataBuffer::clear() {
  plain_.clear();
  size_ = 0;
  in_shared_ = false;
  new_shared_ = false;
}

void CKorndDataBuffer::shrink_to_fit() { plain_.shrink_to_fit(); }

std::uint8_t* CKorndDataBuffer::data() {
  if (size_ == 0) return nullptr;
  return in_shared_ ? static_cast<std::uint8_t*>(shared_.view()) : plain_.data();
}

int CKorndDataBuffer::TakeNewShared() {
  const bool fresh = new_shared_ && in_shared_;
  new_shared_ = false;
  return fresh ? shared_.fd() : -1;
}
