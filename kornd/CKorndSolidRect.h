// CKorndSolidRect.h - drawing object type 22: fills a rectangle with one colour (-1: the window's background).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndSolidRect : public CKorndTool {
 public:
  CKorndSolidRect() : CKorndTool(22, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  std::int32_t colour = 0;  // colour value, -1 background, -k role k - 1
};
