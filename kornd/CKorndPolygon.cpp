// CKorndPolygon.cpp - see CKorndPolygon.h.
#include "kornd/CKorndPolygon.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndPolygon::Draw(CKorndGC&, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  if (fill_mode >= 0) dc.SetPolyFillMode(fill_mode);
  dc.Polygon(points.data(), points.size());
  return 1;
}
