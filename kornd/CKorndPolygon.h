// CKorndPolygon.h - drawing object type 28: draws a filled polygon with the current pen and brush.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndPolygon : public CKorndTool {
 public:
  CKorndPolygon() : CKorndTool(28, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  int fill_mode = 1;  // 1 alternate, 2 winding, negative: keep the surface's mode
  std::vector<KRpoint> points;
};
