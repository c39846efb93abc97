// CKorndLine.h - drawing object type 20: draws a line from the pen position to its end point.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndLine : public CKorndTool {
 public:
  CKorndLine() : CKorndTool(20, 0x206) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;
  bool EndPoint(KRpoint& p) const override { p = end; return true; }

  KRpoint end;
};
