// CKorndSleep.h - drawing object types 3 and 4: a timed pause when drawn (type 3: for its
// milliseconds from now; type 4: until the environment's base tick plus its milliseconds, or
// it sets the base tick when its milliseconds are 0 or negative). Ordinary repaints pass over it.
#pragma once

#include <cstdint>

#include "kornd/CKorndTool.h"

class CKorndSleep : public CKorndTool {
 public:
  explicit CKorndSleep(int type) : CKorndTool(type, 0x18) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  std::int32_t milliseconds = 0;
};
