// CKorndBezier.h - drawing object type 29: cubic Bezier curves through 3k + 1 points.
#pragma once

#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"

class CKorndBezier : public CKorndTool {
 public:
  CKorndBezier() : CKorndTool(29, 0x206) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;
  bool EndPoint(KRpoint& p) const override { p = last; return true; }

  std::vector<KRpoint> points;
  KRpoint last;
};
