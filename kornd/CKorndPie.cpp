// CKorndPie.cpp - see CKorndPie.h.
#include "kornd/CKorndPie.h"

#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndPie::Draw(CKorndGC&, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  dc.Pie(rect_, start, end);
  return 1;
}
