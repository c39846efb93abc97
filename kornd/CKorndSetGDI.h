// CKorndSetGDI.h - drawing object type 6: changes pen, brush, mix mode and marker by its change mask.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndSetGDI : public CKorndTool {
 public:
  CKorndSetGDI() : CKorndTool(6, 0x2) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  std::uint32_t mask = 0;
  KRlogpen pen;
  KRlogbrush brush;
  std::array<std::int32_t, 6> marker{};  // kind, size, outline, colour, background, mix
  int rop2 = 13;
};
