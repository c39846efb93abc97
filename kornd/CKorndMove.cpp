// CKorndMove.cpp - see CKorndMove.h.
#include "kornd/CKorndMove.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndMove::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  dc.MoveTo(point.x, point.y);
  env.current_point = point;
  return 1;
}
