// CKorndArc.cpp - see CKorndArc.h.
#include "kornd/CKorndArc.h"

#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndArc::Draw(CKorndGC&, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  dc.Arc(rect_, start, end);
  return 1;
}
