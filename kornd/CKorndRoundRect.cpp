// CKorndRoundRect.cpp - see CKorndRoundRect.h.
#include "kornd/CKorndRoundRect.h"

#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndRoundRect::Draw(CKorndGC&, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  dc.RoundRect(rect_, corner_width, corner_height);
  return 1;
}
