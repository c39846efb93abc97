// CKorndRect.h - drawing object type 21: draws a rectangle with the current pen and brush.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndRect : public CKorndTool {
 public:
  CKorndRect() : CKorndTool(21, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
};
