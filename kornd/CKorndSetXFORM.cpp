// CKorndSetXFORM.cpp - see CKorndSetXFORM.h.
#include "kornd/CKorndSetXFORM.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndSetXFORM::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  env.xform = xform;
  env.xform_active = !(xform.eM11 == 1 && xform.eM12 == 0 && xform.eM21 == 0 && xform.eM22 == 1 &&
                       xform.eDx == 0 && xform.eDy == 0);
  dc.SetTransform(env.xform_active ? &env.xform : nullptr);
  return 0;
}
