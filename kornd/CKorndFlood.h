// CKorndFlood.h - drawing object type 17: fills the connected area of the colour at its point with the current brush.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndFlood : public CKorndTool {
 public:
  CKorndFlood() : CKorndTool(17, 0x2) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  KRpoint point;
};
