// CKorndSetRgn.cpp - see CKorndSetRgn.h.
#include "kornd/CKorndSetRgn.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndSetRgn::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  if (rect_.IsEmpty()) {
    env.clip = {};
    dc.SetClip(nullptr);
    return 0;
  }
  env.clip = rect_;
  const KRrect* old = dc.Clip();
  KRrect c = CKorndGC::DeviceClip(dc, rect_);
  // Rectangle regions: "and" intersects with the old clip; the other modes take the new one,
  // the nearest rectangle to their result.
  if (mode == 1 && old)
    c = {std::max(c.left, old->left), std::max(c.top, old->top), std::min(c.right, old->right),
         std::min(c.bottom, old->bottom)};
  dc.SetClip(&c);
  return 0;
}
