// CKorndReset.h - drawing object type 2: resets the window's drawing state and the environment to their defaults.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class CKorndReset : public CKorndTool {
 public:
  CKorndReset() : CKorndTool(2, 0x12) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
};
