// CKorndChord.h - drawing object type 26: a chord of an ellipse between two radial points.
#pragma once

#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"

class CKorndChord : public CKorndTool {
 public:
  CKorndChord() : CKorndTool(26, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  KRpoint start, end;  // radial points
};
