// CKorndSymbol.h - drawing object type 16: one character of the symbol font at its point.
#pragma once

#include <cstdint>
#include <string>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndSymbol : public CKorndTool {
 public:
  CKorndSymbol() : CKorndTool(16, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  KRpoint point;
  unsigned char character = 158;
};
