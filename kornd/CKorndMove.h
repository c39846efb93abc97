// CKorndMove.h - drawing object type 11: moves the pen position.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndMove : public CKorndTool {
 public:
  CKorndMove() : CKorndTool(11, 0x202) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;
  bool EndPoint(KRpoint& p) const override { p = point; return true; }

  KRpoint point;
};
