// CKorndPolyline.h - drawing object type 30: draws connected lines through its points.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndPolyline : public CKorndTool {
 public:
  CKorndPolyline() : CKorndTool(30, 0x206) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;
  bool EndPoint(KRpoint& p) const override { p = last; return true; }

  std::vector<KRpoint> points;
  KRpoint last;
};
