// CKorndSetText.h - drawing object type 9: text font, colour, background and alignment.
#pragma once

#include <cstdint>
#include <string>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndSetText : public CKorndTool {
 public:
  CKorndSetText() : CKorndTool(9, 0x0) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  KRlogfont logfont;
  std::int32_t colour = 0;
  std::int32_t background = -1;  // -1 transparent
  int align = 1;
  int font_valid = 0;            // 0: only alignment and background are carried
};
