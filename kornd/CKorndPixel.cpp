// CKorndPixel.cpp - see CKorndPixel.h.
#include "kornd/CKorndPixel.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndPixel::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  env.SetRole(11, colour);
  if (colour == -1) return 0;
  int saved = dc.GetROP2();
  dc.SetROP2(env.mix_mode);
  dc.SetPixel(rect_.left, rect_.top, static_cast<std::uint32_t>(colour));
  dc.SetROP2(saved);
  return 1;
}
