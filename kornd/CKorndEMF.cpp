// CKorndEMF.cpp - see CKorndEMF.h.
#include "kornd/CKorndEMF.h"

#include <utility>  // std::swap

#include "kornd/CKREMF.h"
#include "kornd/CKorndDoc.h"
#include "kornd/KRdc.h"

int CKorndEMF::Draw(CKorndGC&, CKorndDoc* doc, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip) || doc == nullptr) return 0;
  KRrect r = rect_;
  if (mirror_x) std::swap(r.left, r.right);
  if (mirror_y) std::swap(r.top, r.bottom);
  const CKREMF* s = doc->Symbol(symbol);
  if (s && s->HasMetafile()) s->Play(dc, r);
  return 1;
}
