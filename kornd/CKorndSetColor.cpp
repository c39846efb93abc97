// CKorndSetColor.cpp - see CKorndSetColor.h.
#include "kornd/CKorndSetColor.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndSetColor::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc&, std::uint32_t) {
  std::int32_t c = colour < -1 ? env.Role(-colour - 1) : colour;
  if (slot >= 1 && slot <= CKorndGC::Roles) env.SetRole(slot, c);
  else if (slot >= 20 && slot <= 35) env.palette[static_cast<std::size_t>(slot - 20)] = c;
  return 0;
}
