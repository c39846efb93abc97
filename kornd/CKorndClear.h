// CKorndClear.h - drawing object type 18: fills the whole picture with one colour.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndClear : public CKorndTool {
 public:
  CKorndClear() : CKorndTool(18, 0x2) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  std::int32_t colour = 0;  // colour value, or -k for role k - 1
};
