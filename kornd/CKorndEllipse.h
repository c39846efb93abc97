// CKorndEllipse.h - drawing object type 24: draws an ellipse in its bounding box with the current pen and brush.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndEllipse : public CKorndTool {
 public:
  CKorndEllipse() : CKorndTool(24, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
};
