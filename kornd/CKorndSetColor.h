// CKorndSetColor.h - drawing object type 5: sets one colour role (1-11) or custom colour (20-35) of the environment.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndSetColor : public CKorndTool {
 public:
  CKorndSetColor() : CKorndTool(5, 0x0) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  int slot = 0;
  std::int32_t colour = 0;  // a colour value, or -k below -1 for role k - 1
};
