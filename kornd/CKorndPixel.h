// CKorndPixel.h - drawing object type 19: sets one pixel in the environment's pixel colour (role 11).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndPixel : public CKorndTool {
 public:
  CKorndPixel() : CKorndTool(19, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  std::int32_t colour = 0;
};
