// CKorndEllipse.cpp - see CKorndEllipse.h.
#include "kornd/CKorndEllipse.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndEllipse::Draw(CKorndGC&, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  dc.Ellipse(rect_);
  return 1;
}
