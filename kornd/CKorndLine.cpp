// CKorndLine.cpp - see CKorndLine.h.
#include "kornd/CKorndLine.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndLine::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  dc.LineTo(end.x, end.y);
  env.current_point = end;
  return 1;
}
