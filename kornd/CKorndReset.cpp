// CKorndReset.cpp - see CKorndReset.h.
#include "kornd/CKorndReset.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndReset::Draw(CKorndGC& env, CKorndDoc* doc, CKorndView*, KRdc& dc, std::uint32_t mask) {
  if (Skipped(mask) || doc == nullptr) return 0;
  doc->SetColors(0, 0, -1, -1);
  env.SetDefaults(*doc);
  env.Apply(dc);
  return 0;
}
