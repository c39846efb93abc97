// CKorndSetRgn.h - drawing object type 8: sets (rectangle) or removes (empty rectangle) the clip; the rectangle is the clip.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndSetRgn : public CKorndTool {
 public:
  CKorndSetRgn() : CKorndTool(8, 0x2) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  int mode = 5;  // region combine code: 1 and, 2 or, 3 xor, 4 difference, 5 copy
};
