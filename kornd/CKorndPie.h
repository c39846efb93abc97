// CKorndPie.h - drawing object type 27: a pie of an ellipse between two radial points.
#pragma once

#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"

class CKorndPie : public CKorndTool {
 public:
  CKorndPie() : CKorndTool(27, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  KRpoint start, end;  // radial points
};
