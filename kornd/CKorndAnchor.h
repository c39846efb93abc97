// CKorndAnchor.h - drawing object type 1: a mark in the object list (always segment 0) that
// keeps the drawing environment as it was when the anchor was set, so that the picture can be
// shown as it was at that point.
#pragma once

#include <memory>

#include "kornd/CKorndGC.h"
#include "kornd/CKorndTool.h"

class CKorndAnchor : public CKorndTool {
 public:
  CKorndAnchor() : CKorndTool(1, Not_Repainted) {}
  // Keeps a copy of the environment.
  void Capture(const CKorndGC& env) { saved_ = std::make_unique<CKorndGC>(env); }
  const CKorndGC* Saved() const { return saved_.get(); }
  // The saved environment continues drawing from the anchor's own place in the list.
  void SetReplayPosition(ToolList::iterator at) {
    if (saved_) saved_->replay_position = at;
  }

 private:
  std::unique_ptr<CKorndGC> saved_;
};
