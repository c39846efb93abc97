// CKorndStateSave.h - one entry of a window's state stack: a byte copy of the drawing-state head
// of the window block (offsets 0-223) and the document it was saved from (null: empty entry).
#pragma once

#include <array>
#include <cstdint>

#include "platform/Channel_Blocks.h"

class CKorndDoc;

class CKorndStateSave {
 public:
  CKorndStateSave() = default;  // an empty entry
  // An entry holding the document's current head.
  explicit CKorndStateSave(CKorndDoc* doc);
  void CopyFrom(const CKorndStateSave& other) {
    owner = other.owner;
    head = other.head;
  }
  bool Empty() const { return owner == nullptr; }
  // Copies the head of a block in, or out into a block.
  void Take(const channel::KRwinblock& block);
  void Give(channel::KRwinblock& block) const;

  CKorndDoc* owner = nullptr;
  std::array<std::uint8_t, channel::Head_Size> head{};
};
