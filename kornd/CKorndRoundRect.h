// CKorndRoundRect.h - drawing object type 23: a rectangle with rounded corners.
#pragma once

#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"

class CKorndRoundRect : public CKorndTool {
 public:
  CKorndRoundRect() : CKorndTool(23, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  int corner_width = 0, corner_height = 0;
};
