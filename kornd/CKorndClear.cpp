// CKorndClear.cpp - see CKorndClear.h.
#include "kornd/CKorndClear.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndClear::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  std::int32_t c = colour < -1 ? env.Role(-colour - 1) : colour;
  if (c < 0) return 1;
  const QImage* s = dc.Surface();
  dc.FillSolidRect({0, 0, std::max(rect_.right, s->width()), std::max(rect_.bottom, s->height())},
                   static_cast<std::uint32_t>(c));
  return 1;
}
