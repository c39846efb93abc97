// CKorndEMF.h - drawing object type 12: one of the document's user symbols played into its
// rectangle, mirrored when asked.
#pragma once

#include <cstdint>

#include "kornd/CKorndTool.h"

class CKorndEMF : public CKorndTool {
 public:
  CKorndEMF() : CKorndTool(12, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  int symbol = 0;
  bool mirror_x = false, mirror_y = false;
};
