// CKorndArc.h - drawing object type 25: an elliptic arc between two radial points.
#pragma once

#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"

class CKorndArc : public CKorndTool {
 public:
  CKorndArc() : CKorndTool(25, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  KRpoint start, end;  // radial points
};
