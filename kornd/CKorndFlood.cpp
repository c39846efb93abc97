// CKorndFlood.cpp - see CKorndFlood.h.
#include "kornd/CKorndFlood.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndFlood::Draw(CKorndGC&, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  return dc.FloodFill(point.x, point.y) ? 1 : 0;
}
