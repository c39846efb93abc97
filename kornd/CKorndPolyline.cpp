// CKorndPolyline.cpp - see CKorndPolyline.h.
#include "kornd/CKorndPolyline.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndPolyline::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  dc.Polyline(points.data(), points.size());
  env.current_point = last;
  // The surface's position follows too, so a later Line starts at the same place on the
  // screen and in every replay.
  dc.MoveTo(last.x, last.y);
  return 1;
}
