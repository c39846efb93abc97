// CKorndSetXFORM.h - drawing object type 7: sets the world transform of the environment and of the drawing surface.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndSetXFORM : public CKorndTool {
 public:
  CKorndSetXFORM() : CKorndTool(7, 0x2) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  KRxform xform;
};
