// CKorndChord.cpp - see CKorndChord.h.
#include "kornd/CKorndChord.h"

#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndChord::Draw(CKorndGC&, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  dc.Chord(rect_, start, end);
  return 1;
}
