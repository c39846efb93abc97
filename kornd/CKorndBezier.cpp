// CKorndBezier.cpp - see CKorndBezier.h.
#include "kornd/CKorndBezier.h"

#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndBezier::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  dc.PolyBezier(points.data(), points.size());
  env.current_point = last;
  dc.MoveTo(last.x, last.y);  // as Polyline: the same start for a later Line everywhere
  return 1;
}
