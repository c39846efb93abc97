// CKorndImage.h - drawing object type 13: one of the document's bitmaps put into its
// rectangle with a ternary raster operation, mirrored when asked; a positive put mode first
// restores the background the bitmap's last put covered (0x4), saves what it will cover (0x2)
// and draws only with 0x1 - on the window itself, never into copies of the picture.
#pragma once

#include <cstdint>

#include "kornd/CKorndTool.h"

class CKorndImage : public CKorndTool {
 public:
  CKorndImage() : CKorndTool(13, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  int bitmap = 0;
  std::uint32_t rop = 0xCC0020;  // ternary raster operation
  int put_mode = 0;
  bool mirror_x = false, mirror_y = false;
};
